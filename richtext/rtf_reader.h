// Reads RTF into the document model.
//
// Understands what word processors, pandoc, macOS TextEdit, rich-edit controls
// and our own writer produce: character and paragraph formatting, code pages,
// Unicode escapes, lists, field results and tables (a row becomes one
// paragraph, its cells separated by tabs). Reading never fails and never
// recurses: malformed input yields whatever text can be recovered, in time and
// memory linear in the input.
#pragma once

#include <string_view>

#include "richtext/document.h"

namespace quillet {

Document ReadRtf(std::string_view rtf);

// True when the text starts (after white space) like an RTF document.
bool LooksLikeRtf(std::string_view text);

}  // namespace quillet
