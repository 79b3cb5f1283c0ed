// Small text helpers of the converter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

// Replaces every occurrence of `find`, left to right; replaced text is never
// searched again. An empty `find` leaves the text unchanged.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// The converter's one digit test: "0" to "9".
constexpr bool IsDigitChar(char c) {
  return c >= '0' && c <= '9';
}

// Removes leading and trailing spaces (U+0020 only).
std::string_view TrimSpaces(std::string_view s);

// Reads a control word parameter: an optional sign and digits with at most one
// decimal point, rounded half to even. nullopt when `s` is not such a number.
// A number that does not fit 32 bits is reported as `overflow`.
struct DecimalParameter {
  std::int32_t value = 0;
  bool overflow = false;
};
std::optional<DecimalParameter> ParseDecimalParameter(std::string_view s);

// Every bare LF and bare CR of a text becomes CR LF; CR LF stays.
std::string CrLfLineBreaks(std::string_view text);

// Writes "&", "<" and ">" of a text as character entities.
std::string EscapeMarkup(std::string_view text);

// Length of the first character of an escaped text: an entity that
// EscapeMarkup wrote is one character of the document. 0 for "".
std::size_t EscapedCharacterLength(std::string_view text);

}  // namespace quillet
