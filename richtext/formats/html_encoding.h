// The character set of an HTML document, and its text in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The charset the document declares, as iconv names it: its byte-order mark, an
// XML declaration, or a <meta charset> or <meta http-equiv> near its start;
// "" when it declares none.
std::string DeclaredHtmlCharset(std::string_view bytes);

// The document in UTF-8, without a byte-order mark. Undeclared text is UTF-8
// when it is valid UTF-8, else Windows-1252.
std::string HtmlToUtf8(std::string_view bytes);

}  // namespace quillet
