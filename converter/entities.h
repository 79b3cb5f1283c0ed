// What stands in the page for each byte of a hexadecimal character escape.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quillet {

struct Entity {
  std::string_view text;
  bool rtf = false;  // `text` is RTF, translated in the escape's place
};

// Indexed by the Windows-1252 byte: a named entity or decimal reference, the
// character itself for printable ASCII (markup characters as references), a
// piece of RTF, or "" for codes that are no character.
extern const std::array<Entity, 256> kEntities;

// The entity of an escape's two hexadecimal digits, in either case; nullptr
// when `hex` is anything else.
const Entity* EntityForHex(std::string_view hex);

// EntityForHex's text, "" for no entity. Kept only for the whole-book test
// (tests/builder), which reads pages back through it; it goes with that use.
std::string LookupEntity(std::string_view hex);

}  // namespace quillet
