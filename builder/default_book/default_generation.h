// The default pages of a Generate: the box's text cut into the asked number
// of parts of about equal length, each part converted in turn through the
// builder's one converter and written as a page, then the index, all put in
// place together.
#pragma once

#include <string>

#include "builder/generation.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// The box's text cut into the asked number of parts of about equal length.
Status GenerateDefaultBook(RichTextBox& box, Converter& converter, const BookRequest& request,
                           const GenerateProgress& progress, Generation& run);

// Head, the converter's HtmlResult and foot as one page.
Status WriteConvertedPage(const std::string& path, const Converter& converter, PageSet* set);

// Whether a run may write into `folder`.
bool FolderExists(const std::string& folder);

}  // namespace quillet
