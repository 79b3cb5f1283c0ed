// The default pages of a Generate: the box's text cut into the asked number
// of parts of about equal length, each part converted in turn through the
// builder's one converter and written as a page, then the index, all put in
// place together.
#pragma once

#include <string>

#include "builder/book_request.h"
#include "builder/page_files.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

class DefaultGeneration {
 public:
  DefaultGeneration(RichTextBox& box, Converter& converter, const BookRequest& request)
      : box_(box), converter_(converter), request_(request) {}

  // The request's checks are passed already.
  Status Run(const GenerateProgress& progress);

  RunValues values;
  PageSet pages;

 private:
  RichTextBox& box_;
  Converter& converter_;
  const BookRequest& request_;
};

// Head, the converter's HtmlResult and foot as one page.
Status WriteConvertedPage(const std::string& path, const Converter& converter, PageSet* set);

// Whether a run may write into `folder`.
bool FolderExists(const std::string& folder);

}  // namespace quillet
