// Plain text into the document model: one paragraph per line.
#pragma once

#include <string_view>

#include "richtext/document.h"

namespace quillet {

// Bytes in UTF-8 (a leading byte-order mark is dropped), or Windows-1252 when
// they are not valid UTF-8. Lines end at CR LF, LF or CR; a line end at the very
// end of the text makes no empty last paragraph.
Document ReadPlainText(std::string_view bytes);

// Text already decoded; the same line rules.
Document DocumentFromText(std::u16string_view text);

}  // namespace quillet
