// Finds where a run of plain text of an RTF document ends. Internal to the RTF
// reader.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quillet::rtf {

// Bytes that stand for themselves in the text: no brace, backslash, line break
// or other control character.
inline constexpr std::array<bool, 256> kPlainText = [] {
  std::array<bool, 256> plain{};
  for (int byte = 0x20; byte < 0x100; ++byte) plain[static_cast<std::size_t>(byte)] = true;
  plain['{'] = plain['}'] = plain['\\'] = false;
  plain['\t'] = true;
  return plain;
}();

// Eight bytes at a time (little-endian), the top bit of each byte that equals
// `c`, or that is below `n` (at most 0x80). A bit above a set one may be wrong,
// so only the lowest set bit counts.
inline constexpr std::uint64_t kEveryByte = 0x0101010101010101U;
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
  const std::uint64_t x = word ^ (kEveryByte * c);
  return (x - kEveryByte) & ~x & (kEveryByte << 7);
}
constexpr std::uint64_t BytesBelow(std::uint64_t word, unsigned char n) {
  return (word - kEveryByte * n) & ~word & (kEveryByte << 7);
}

// Where the plain text from `from` on ends: long runs of text between controls
// are most of a document, and eight bytes are looked at in a few steps.
inline std::size_t PlainTextEnd(std::string_view data, std::size_t from) {
  std::size_t at = from;
  if constexpr (std::endian::native == std::endian::little) {
    while (at + 8 <= data.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, data.data() + at, sizeof word);
      const std::uint64_t stops = BytesEqual(word, '{') | BytesEqual(word, '}') |
                                  BytesEqual(word, '\\') | BytesBelow(word, 0x20);
      if (stops == 0) {
        at += 8;
        continue;
      }
      at += static_cast<std::size_t>(std::countr_zero(stops)) / 8;
      if (data[at] != '\t') return at;
      ++at;  // a tab is text, whatever its byte
    }
  }
  while (at < data.size() && kPlainText[static_cast<unsigned char>(data[at])]) ++at;
  return at;
}

}  // namespace quillet::rtf
