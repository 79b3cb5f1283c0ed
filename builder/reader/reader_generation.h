// Generate in reader mode: the whole book converted once through the
// builder's converter, cut by the reader engine, and its pages put in place
// together like the default pages.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "builder/book_request.h"
#include "builder/page_files.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// One Generate in reader mode; the request's checks are already passed.
class ReaderGeneration {
 public:
  ReaderGeneration(RichTextBox& box, Converter& converter, const BookRequest& request)
      : box_(box), converter_(converter), request_(request) {}

  Status Run(const GenerateProgress& progress);

  RunValues values;
  PageSet pages;
  std::vector<std::string> warnings;
  std::string opened;  // the index, or the one page

 private:
  Status Write(const std::string& name, const std::string& page);

  RichTextBox& box_;
  Converter& converter_;
  const BookRequest& request_;
};

// Reader mode's part count for the box as it stands, from a conversion of its
// own: no converter's kept state is touched.
Result<int> CountReaderPartsOf(const RichTextBox& box, const BookRequest& request);

}  // namespace quillet
