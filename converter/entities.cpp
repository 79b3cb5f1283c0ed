#include "entities.h"

#include <array>
#include <charconv>
#include <utility>

namespace quillet {
namespace {

using Row = std::pair<std::string_view, std::string_view>;

// The converter's own table, searched first, in this order.
constexpr std::array<Row, 96> kEntityTable{{
    {"00", "&nbsp;"},
    {"a9", "&copy;"},
    {"b4", "&acute;"},
    {"ab", "&laquo;"},
    {"bb", "&raquo;"},
    {"a1", "&iexcl;"},
    {"bf", "&iquest;"},
    {"c0", "&Agrave;"},
    {"e0", "&agrave;"},
    {"c1", "&Aacute;"},
    {"e1", "&aacute;"},
    {"c2", "&Acirc;"},
    {"e2", "&acirc;"},
    {"c3", "&Atilde;"},
    {"e3", "&atilde;"},
    {"c4", "&Auml;"},
    {"99", "<rtf>:\\super TM\\nosupersub"},
    {"c5", "&Aring;"},
    {"e5", "&aring;"},
    {"c6", "&AElig;"},
    {"e6", "&aelig;"},
    {"c7", "&Ccedil;"},
    {"e7", "&ccedil;"},
    {"d0", "&ETH;"},
    {"f0", "&eth;"},
    {"c8", "&Egrave;"},
    {"e8", "&egrave;"},
    {"c9", "&Eacute;"},
    {"e9", "&eacute;"},
    {"ca", "&Ecirc;"},
    {"ea", "&ecirc;"},
    {"cb", "&Euml;"},
    {"eb", "&euml;"},
    {"cc", "&Igrave;"},
    {"ec", "&igrave;"},
    {"cd", "&Iacute;"},
    {"ed", "&iacute;"},
    {"ce", "&Icirc;"},
    {"ee", "&icirc;"},
    {"cf", "&Iuml;"},
    {"ef", "&iuml;"},
    {"d1", "&Ntilde;"},
    {"f1", "&ntilde;"},
    {"d2", "&Ograve;"},
    {"f2", "&ograve;"},
    {"d3", "&Oacute;"},
    {"f3", "&oacute;"},
    {"d4", "&Ocirc;"},
    {"f4", "&ocirc;"},
    {"d5", "&Otilde;"},
    {"f5", "&otilde;"},
    {"d6", "&Ouml;"},
    {"f6", "&ouml;"},
    {"d8", "&Oslash;"},
    {"f8", "&oslash;"},
    {"d9", "&Ugrave;"},
    {"f9", "&ugrave;"},
    {"da", "&Uacute;"},
    {"fa", "&uacute;"},
    {"db", "&Ucirc;"},
    {"fb", "&ucirc;"},
    {"dc", "&Uuml;"},
    {"fc", "&uuml;"},
    {"dd", "&Yacute;"},
    {"fd", "&yacute;"},
    {"ff", "&yuml;"},
    {"de", "&THORN;"},
    {"fe", "&thorn;"},
    {"df", "&szlig;"},
    {"a7", "&sect;"},
    {"b6", "&para;"},
    {"b5", "&micro;"},
    {"a6", "&brvbar;"},
    {"b1", "&plusmn;"},
    {"b7", "&middot;"},
    {"a8", "&uml;"},
    {"b8", "&cedil;"},
    {"aa", "&ordf;"},
    {"ba", "&ordm;"},
    {"ac", "&not;"},
    {"ad", "&shy;"},
    {"af", "&macr;"},
    {"b0", "&deg;"},
    {"b9", "&sup1;"},
    {"b2", "&sup2;"},
    {"b3", "&sup3;"},
    {"bc", "&frac14;"},
    {"bd", "&frac12;"},
    {"be", "&frac34;"},
    {"d7", "&times;"},
    {"f7", "&divide;"},
    {"a2", "&cent;"},
    {"a3", "&pound;"},
    {"a4", "&curren;"},
    {"a5", "&yen;"},
    {"85", "..."},
}};

// Windows-1252 codes 0x80 to 0x9F; "" where the code page defines no character.
constexpr std::array<std::string_view, 32> kWindows1252High{
    "&euro;",  "",         "&sbquo;",  "&fnof;",   "&bdquo;", "&hellip;", "&dagger;", "&Dagger;",
    "&circ;",  "&permil;", "&Scaron;", "&lsaquo;", "&OElig;", "",         "&#381;",   "",
    "",        "&lsquo;",  "&rsquo;",  "&ldquo;",  "&rdquo;", "&bull;",   "&ndash;",  "&mdash;",
    "&tilde;", "&trade;",  "&scaron;", "&rsaquo;", "&oelig;", "",         "&#382;",   "&Yuml;",
};

std::string PrintableAscii(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '\\':
      return "&#92;";
    case '{':
      return "&#123;";
    case '}':
      return "&#125;";
    default:
      return std::string(1, c);
  }
}

// Codes the table leaves out: the rest of Windows-1252, by its own rules.
std::string CodePageCharacter(unsigned code) {
  if (code >= 0x20 && code <= 0x7E) return PrintableAscii(static_cast<char>(code));
  if (code >= 0x80 && code <= 0x9F) return std::string(kWindows1252High[code - 0x80]);
  switch (code) {
    case 0xA0:
      return "&nbsp;";
    case 0xAE:
      return "&reg;";
    case 0xE4:
      return "&auml;";
    default:
      return {};  // control characters
  }
}

}  // namespace

std::string LookupEntity(std::string_view hex) {
  if (hex.size() != 2) return {};
  unsigned code = 0;
  const auto [end, error] = std::from_chars(hex.data(), hex.data() + 2, code, 16);
  if (error != std::errc() || end != hex.data() + 2) return {};
  constexpr char kDigits[] = "0123456789abcdef";
  const char lower[2] = {kDigits[code >> 4], kDigits[code & 0xF]};
  const std::string_view key(lower, 2);
  for (const auto& [rowCode, replacement] : kEntityTable) {
    if (rowCode == key) return std::string(replacement);
  }
  return CodePageCharacter(code);
}

}  // namespace quillet
