#include "richtext/formats/paragraph_builder.h"

#include <utility>

namespace quillet {

Paragraph& ParagraphBuilder::Start() {
  started_ = true;
  return paragraph_;
}

void ParagraphBuilder::Text(std::u16string_view text, const CharFormat& format) {
  collapsed_.clear();
  for (char16_t c : text) {
    if (IsWhiteSpace(c)) {
      if (line_start_ || trailing_space_) continue;
      collapsed_ += u' ';
      trailing_space_ = true;
    } else if (c >= 0x20) {
      collapsed_ += c;
      trailing_space_ = false;
      line_start_ = false;
    }
  }
  if (collapsed_.empty()) return;
  started_ = true;
  AppendText(paragraph_, collapsed_, format);
  length_ += collapsed_.size();
}

void ParagraphBuilder::Verbatim(std::u16string_view text, const CharFormat& format) {
  collapsed_.clear();
  for (char16_t c : text) {
    if (c >= 0x20 || c == u'\t') collapsed_ += c;
  }
  if (collapsed_.empty()) return;
  started_ = true;
  AppendText(paragraph_, collapsed_, format);
  length_ += collapsed_.size();
  line_start_ = false;
  trailing_space_ = false;
}

void ParagraphBuilder::Separator(std::u16string_view separator, const CharFormat& format) {
  started_ = true;
  TrimTrailingSpace();
  AppendText(paragraph_, separator, format);
  length_ += separator.size();
  line_start_ = true;
}

void ParagraphBuilder::End() {
  TrimTrailingSpace();
  if (started_) {
    if (!paragraph_.Runs().empty() && paragraph_.Runs().back().text.ends_with(kLineBreak)) {
      paragraph_.EraseBack(1);
      if (paragraph_.Runs().back().text.empty()) paragraph_.PopBack();
    }
    document_.paragraphs.push_back(std::move(paragraph_));
  }
  paragraph_ = Paragraph{};
  started_ = false;
  line_start_ = true;
  length_ = 0;
}

void ParagraphBuilder::TrimTrailingSpace() {
  if (!trailing_space_) return;
  trailing_space_ = false;
  if (paragraph_.Runs().empty()) return;
  if (paragraph_.Runs().back().text.ends_with(u' ')) {
    paragraph_.EraseBack(1);
    --length_;
  }
  if (paragraph_.Runs().back().text.empty()) paragraph_.PopBack();
}

}  // namespace quillet
