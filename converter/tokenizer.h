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

#include "converter/text_utils.h"

namespace quillet {

// Trims spaces from both ends once, then strips CR and LF from both ends.
std::string_view NormalizeEnds(std::string_view s);

// Hands out the lines of a body one by one, as views into it. Runs of line
// breaks give no line; every line loses its leading spaces; only the last also
// loses trailing ones.
class BodyReader {
 public:
  explicit BodyReader(std::string_view body) : body_(body), end_(body.size()) {}
  bool empty() const { return pos_ >= end_; }
  std::string_view NextLine();

 private:
  void TrimRest();
  std::string_view body_;
  std::size_t pos_ = 0;
  std::size_t end_;
};

// The rest of one line, cut into tokens. The line is a view: whoever starts a
// line keeps its text alive until the next one. Text put back in front of it
// goes to a small push-back buffer, so putting back never copies the rest of
// the line.
class LineReader {
 public:
  LineReader() = default;
  explicit LineReader(std::string_view line) { Start(line); }

  // Reads `line` from its start, forgetting what was put back; buffers keep their room.
  void Start(std::string_view line);
  bool empty() const { return size() == 0; }
  std::size_t size() const { return pushed_.size() + line_.size() - pos_; }
  char at(std::size_t i) const {
    return i < pushed_.size() ? pushed_[pushed_.size() - 1 - i] : line_[pos_ + i - pushed_.size()];
  }
  bool StartsWith(std::string_view prefix) const;
  // Length of the character at `i`, an escaped "&", "<" or ">" counting as one.
  std::size_t CharacterLength(std::size_t i) const;

  // Cuts the next token; `tookSpace` tells whether a delimiter space was eaten.
  // The view stays valid until the next token is cut or the next line starts.
  std::string_view NextToken(bool* tookSpace = nullptr);
  // Drops the next token as NextToken would cut it, leaving the last token's view intact.
  void SkipToken();
  void PutBack(std::string_view text);
  void Drop(std::size_t count);

 private:
  // The next token is [0, end); after it, a delimiter space goes with it when `takesSpace`.
  struct Cut {
    std::size_t end;
    bool takesSpace;
  };
  Cut NextCut() const;
  std::size_t ScanTokenEnd(std::size_t length) const;
  // The first backslash or brace of the line at or after `from`, or npos.
  std::size_t NextTextStop(std::size_t from) const;

  std::string pushed_;  // reversed: its last character comes first
  std::string_view line_;
  std::size_t pos_ = 0;
  std::string token_;  // a token that starts in pushed-back text is copied here
};

}  // namespace quillet
