// Replacements of hexadecimal character escapes.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The text that stands in the page for the Windows-1252 character whose code
// `hex` gives (two hexadecimal digits, either case): a named entity or decimal
// reference, the character itself for printable ASCII (markup characters as
// entities), a piece of RTF marked "<rtf>:", or "" for codes that are no
// character.
std::string LookupEntity(std::string_view hex);

}  // namespace quillet
