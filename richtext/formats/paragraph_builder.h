// Builds the paragraphs of a document from markup text (HTML, FB2), whose
// white space collapses: a run of spaces, tabs and line ends is one space, and
// none starts a line or ends a paragraph.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "richtext/document.h"

namespace quillet {

class ParagraphBuilder {
 public:
  explicit ParagraphBuilder(Document& document) : document_(document) {}

  // True once the open paragraph has content (or a line break).
  bool started() const { return started_; }
  // Units of text in the open paragraph so far.
  std::size_t Length() const { return length_; }
  // Opens the paragraph for content, so that its alignment and bullet can be set.
  Paragraph& Start();
  // Text with its white space collapsing; opens the paragraph when any of it is visible.
  void Text(std::u16string_view text, const CharFormat& format);
  // Text kept as it is (preformatted text, a list number); control characters but the tab dropped.
  void Verbatim(std::u16string_view text, const CharFormat& format);
  // A line break, or tabs between table cells: no space before, none collapsed after.
  void Separator(std::u16string_view separator, const CharFormat& format);
  // Ends the open paragraph, if it was started; a line break at its end shows nothing.
  void End();

  static bool IsWhiteSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
  }

 private:
  void TrimTrailingSpace();

  Document& document_;
  Paragraph paragraph_;
  bool started_ = false;
  bool line_start_ = true;
  bool trailing_space_ = false;
  std::size_t length_ = 0;
  std::u16string collapsed_;
};

}  // namespace quillet
