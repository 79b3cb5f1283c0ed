#include "converter/entities.h"

#include <charconv>

namespace quillet {
namespace {

constexpr bool kRtf = true;

}  // namespace

// Where the converter's own entities and the rest of Windows-1252 differ, the
// converter's win: "..." for the ellipsis, a superscript "TM" for the trade
// mark, "&nbsp;" for the NUL byte.
// clang-format off
const std::array<Entity, 256> kEntities{{
    /* 0x00 */ {"&nbsp;"}, {}, {}, {},
    /* 0x04 */ {}, {}, {}, {},
    /* 0x08 */ {}, {}, {}, {},
    /* 0x0C */ {}, {}, {}, {},
    /* 0x10 */ {}, {}, {}, {},
    /* 0x14 */ {}, {}, {}, {},
    /* 0x18 */ {}, {}, {}, {},
    /* 0x1C */ {}, {}, {}, {},
    /* 0x20 */ {" "}, {"!"}, {"\""}, {"#"},
    /* 0x24 */ {"$"}, {"%"}, {"&amp;"}, {"'"},
    /* 0x28 */ {"("}, {")"}, {"*"}, {"+"},
    /* 0x2C */ {","}, {"-"}, {"."}, {"/"},
    /* 0x30 */ {"0"}, {"1"}, {"2"}, {"3"},
    /* 0x34 */ {"4"}, {"5"}, {"6"}, {"7"},
    /* 0x38 */ {"8"}, {"9"}, {":"}, {";"},
    /* 0x3C */ {"&lt;"}, {"="}, {"&gt;"}, {"?"},
    /* 0x40 */ {"@"}, {"A"}, {"B"}, {"C"},
    /* 0x44 */ {"D"}, {"E"}, {"F"}, {"G"},
    /* 0x48 */ {"H"}, {"I"}, {"J"}, {"K"},
    /* 0x4C */ {"L"}, {"M"}, {"N"}, {"O"},
    /* 0x50 */ {"P"}, {"Q"}, {"R"}, {"S"},
    /* 0x54 */ {"T"}, {"U"}, {"V"}, {"W"},
    /* 0x58 */ {"X"}, {"Y"}, {"Z"}, {"["},
    /* 0x5C */ {"&#92;"}, {"]"}, {"^"}, {"_"},
    /* 0x60 */ {"`"}, {"a"}, {"b"}, {"c"},
    /* 0x64 */ {"d"}, {"e"}, {"f"}, {"g"},
    /* 0x68 */ {"h"}, {"i"}, {"j"}, {"k"},
    /* 0x6C */ {"l"}, {"m"}, {"n"}, {"o"},
    /* 0x70 */ {"p"}, {"q"}, {"r"}, {"s"},
    /* 0x74 */ {"t"}, {"u"}, {"v"}, {"w"},
    /* 0x78 */ {"x"}, {"y"}, {"z"}, {"&#123;"},
    /* 0x7C */ {"|"}, {"&#125;"}, {"~"}, {},
    /* 0x80 */ {"&euro;"}, {}, {"&sbquo;"}, {"&fnof;"},
    /* 0x84 */ {"&bdquo;"}, {"..."}, {"&dagger;"}, {"&Dagger;"},
    /* 0x88 */ {"&circ;"}, {"&permil;"}, {"&Scaron;"}, {"&lsaquo;"},
    /* 0x8C */ {"&OElig;"}, {}, {"&#381;"}, {},
    /* 0x90 */ {}, {"&lsquo;"}, {"&rsquo;"}, {"&ldquo;"},
    /* 0x94 */ {"&rdquo;"}, {"&bull;"}, {"&ndash;"}, {"&mdash;"},
    /* 0x98 */ {"&tilde;"}, {"\\super TM\\nosupersub", kRtf}, {"&scaron;"}, {"&rsaquo;"},
    /* 0x9C */ {"&oelig;"}, {}, {"&#382;"}, {"&Yuml;"},
    /* 0xA0 */ {"&nbsp;"}, {"&iexcl;"}, {"&cent;"}, {"&pound;"},
    /* 0xA4 */ {"&curren;"}, {"&yen;"}, {"&brvbar;"}, {"&sect;"},
    /* 0xA8 */ {"&uml;"}, {"&copy;"}, {"&ordf;"}, {"&laquo;"},
    /* 0xAC */ {"&not;"}, {"&shy;"}, {"&reg;"}, {"&macr;"},
    /* 0xB0 */ {"&deg;"}, {"&plusmn;"}, {"&sup2;"}, {"&sup3;"},
    /* 0xB4 */ {"&acute;"}, {"&micro;"}, {"&para;"}, {"&middot;"},
    /* 0xB8 */ {"&cedil;"}, {"&sup1;"}, {"&ordm;"}, {"&raquo;"},
    /* 0xBC */ {"&frac14;"}, {"&frac12;"}, {"&frac34;"}, {"&iquest;"},
    /* 0xC0 */ {"&Agrave;"}, {"&Aacute;"}, {"&Acirc;"}, {"&Atilde;"},
    /* 0xC4 */ {"&Auml;"}, {"&Aring;"}, {"&AElig;"}, {"&Ccedil;"},
    /* 0xC8 */ {"&Egrave;"}, {"&Eacute;"}, {"&Ecirc;"}, {"&Euml;"},
    /* 0xCC */ {"&Igrave;"}, {"&Iacute;"}, {"&Icirc;"}, {"&Iuml;"},
    /* 0xD0 */ {"&ETH;"}, {"&Ntilde;"}, {"&Ograve;"}, {"&Oacute;"},
    /* 0xD4 */ {"&Ocirc;"}, {"&Otilde;"}, {"&Ouml;"}, {"&times;"},
    /* 0xD8 */ {"&Oslash;"}, {"&Ugrave;"}, {"&Uacute;"}, {"&Ucirc;"},
    /* 0xDC */ {"&Uuml;"}, {"&Yacute;"}, {"&THORN;"}, {"&szlig;"},
    /* 0xE0 */ {"&agrave;"}, {"&aacute;"}, {"&acirc;"}, {"&atilde;"},
    /* 0xE4 */ {"&auml;"}, {"&aring;"}, {"&aelig;"}, {"&ccedil;"},
    /* 0xE8 */ {"&egrave;"}, {"&eacute;"}, {"&ecirc;"}, {"&euml;"},
    /* 0xEC */ {"&igrave;"}, {"&iacute;"}, {"&icirc;"}, {"&iuml;"},
    /* 0xF0 */ {"&eth;"}, {"&ntilde;"}, {"&ograve;"}, {"&oacute;"},
    /* 0xF4 */ {"&ocirc;"}, {"&otilde;"}, {"&ouml;"}, {"&divide;"},
    /* 0xF8 */ {"&oslash;"}, {"&ugrave;"}, {"&uacute;"}, {"&ucirc;"},
    /* 0xFC */ {"&uuml;"}, {"&yacute;"}, {"&thorn;"}, {"&yuml;"},
}};
// clang-format on

const Entity* EntityForHex(std::string_view hex) {
  unsigned code = 0;
  const char* end = hex.data() + hex.size();
  if (hex.size() != 2 || std::from_chars(hex.data(), end, code, 16).ptr != end) return nullptr;
  return &kEntities[code];
}

std::string LookupEntity(std::string_view hex) {
  const Entity* entity = EntityForHex(hex);
  return entity == nullptr ? std::string() : std::string(entity->text);
}

}  // namespace quillet
