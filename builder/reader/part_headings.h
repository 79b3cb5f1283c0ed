// What the index and the titles call a part: its first heading, else its
// first words, as plain page text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "builder/reader/balancer.h"

namespace quillet::reader {

// About this many characters of a heading or of a part's first words.
inline constexpr std::size_t kHeadingCharacters = 60;
// A heading never takes more bytes than this (references are long).
inline constexpr std::size_t kHeadingBytes = 320;

// Page text gathered for a title: every run of white space (no-break spaces
// too) one space, no space at the ends; references stay as they are. Full
// once it has more than `characters`.
class TitleText {
 public:
  explicit TitleText(std::size_t characters) : characters_(characters) {}
  bool Full() const { return count_ > characters_; }
  // A line break or blank text: a space before the next character.
  void Space() { space_ = true; }
  // Clean page text: no tags, "&" only in references.
  void Add(std::string_view text);
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
  std::size_t characters_;
  std::size_t count_ = 0;
  bool space_ = false;  // white space seen since the last character
};

// The text a reader sees in a stretch of a balanced body, as TitleText gathers it.
std::string PlainText(const BalancedBody& body, Span span, std::size_t characters);

// The text cut after a whole word to at most `characters` characters and
// `bytes` bytes; a single word longer than that is cut between characters.
std::string ShortenAtWord(std::string_view text, std::size_t characters, std::size_t bytes);

// The part's first heading, else its first words.
std::string PartHeading(const BalancedBody& body, Span part);

}  // namespace quillet::reader
