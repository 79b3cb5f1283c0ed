// Cutting RTF into lines and tokens.
//
// The rules are simpler than the RTF grammar: a control word runs up to a
// space, a backslash, a brace or the end of its line, so a control token
// carries its parameter and whatever else stands before that point. The
// translation is written against exactly these tokens.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

// Trims spaces from both ends once, then strips CR and LF from both ends.
std::string_view NormalizeEnds(std::string_view s);

// Cuts the brace group around `pos` (the offset of a control word inside it)
// out of `body`, returns it, and then turns every doubled CR LF of the body
// into one. Unbalanced braces only move the group's boundaries.
std::string ExtractGroup(std::string& body, std::size_t pos);

// Hands out the lines of a body one by one. Runs of line breaks give no line;
// every line loses its leading spaces; only the last also loses trailing ones.
class BodyReader {
 public:
  explicit BodyReader(std::string_view body) : body_(body), end_(body.size()) {}
  bool empty() const { return pos_ >= end_; }
  std::string NextLine();

 private:
  void TrimRest();
  std::string_view body_;
  std::size_t pos_ = 0;
  std::size_t end_;
};

// The rest of one line, cut into tokens. Text put back in front of it goes to a
// small push-back buffer, so putting back never copies the rest of the line.
class LineReader {
 public:
  LineReader() = default;
  explicit LineReader(std::string line) : line_(std::move(line)) {}

  bool empty() const { return size() == 0; }
  std::size_t size() const { return pushed_.size() + line_.size() - pos_; }
  char at(std::size_t i) const {
    return i < pushed_.size() ? pushed_[pushed_.size() - 1 - i] : line_[pos_ + i - pushed_.size()];
  }
  bool StartsWith(std::string_view prefix) const;
  // Length of the character at `i`, an escaped "&", "<" or ">" counting as one.
  std::size_t CharacterLength(std::size_t i) const;

  // Cuts the next token; `tookSpace` tells whether a delimiter space was eaten.
  std::string NextToken(bool* tookSpace = nullptr);
  void PutBack(std::string_view text);
  void Drop(std::size_t count);

 private:
  std::string pushed_;  // reversed: its last character comes first
  std::string line_;
  std::size_t pos_ = 0;
};

}  // namespace quillet
