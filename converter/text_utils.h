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

// The position of the first character of `text` that is one of `set`, or npos.
// Written out because std::string_view::find_first_of runs a search of the set
// per character of the text.
std::size_t FindAnyOf(std::string_view text, std::string_view set);

// Finds the characters of a small set in one text, left to right: each
// character's next place is found with memchr and kept until it is passed, so
// the whole text is searched once per character of the set.
class CharacterFinder {
 public:
  CharacterFinder() = default;
  // `set` is kept as a view: a literal or a constant.
  CharacterFinder(std::string_view text, std::string_view set);
  std::string_view text() const { return text_; }
  // The first place at or after `from` of a character of the set, or npos.
  // `from` never goes back.
  std::size_t Next(std::size_t from);

 private:
  static constexpr std::size_t kMaxSet = 4;
  std::string_view text_;
  std::string_view set_;
  std::size_t next_[kMaxSet] = {};
};

// Where `word` first stands in `text`, or npos. glibc's memmem, several times
// faster on RTF than std::string::find, which stops at every backslash.
std::size_t FindWord(std::string_view text, std::string_view word);

// Every bare LF and bare CR of a text becomes CR LF; CR LF stays.
std::string CrLfLineBreaks(std::string_view text);
// The same, taking the text over: one that has only CR LF already comes back
// as it is, so the usual case costs one scan and no copy.
std::string CrLfLineBreaksInPlace(std::string text);

// Appends a text to `out` with its "&", "<" and ">" written as character entities.
void AppendEscapedMarkup(std::string& out, std::string_view text);
// The characters AppendEscapedMarkup writes as entities.
inline constexpr std::string_view kMarkupCharacters = "&<>";

// Length of the first character of an escaped text: an entity that
// AppendEscapedMarkup wrote is one character of the document. 0 for "".
std::size_t EscapedCharacterLength(std::string_view text);

}  // namespace quillet
