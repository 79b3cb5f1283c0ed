// What one Generate makes, whichever pages it writes: the default pages
// (default_book/) or reader mode's (reader/). The request's checks are
// passed before either runs.
#pragma once

#include <string>
#include <vector>

#include "builder/book_request.h"
#include "builder/page_files.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"
#include "richtext/status.h"

namespace quillet {

struct Generation {
  RunValues values;                 // as the window keeps them
  PageSet pages;                    // in place once the run succeeded
  std::vector<Status> warnings;     // what the user should know
  std::vector<std::string> opened;  // the pages handed to the viewer
};

// Writes a Generate's pages into run.pages and puts them in place together.
using GenerateBook = Status (*)(RichTextBox& box, Converter& converter, const BookRequest& request,
                                const GenerateProgress& progress, Generation& run);

}  // namespace quillet
