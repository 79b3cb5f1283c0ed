// The reader is one pass over the bytes: braces open and close groups, whose
// states stack; control words go through one table of {word, handler} rows
// (rtf_words.cpp); text bytes are decoded in the code page of their font and
// appended to the paragraph being built. Footnotes and text boxes interrupt
// that paragraph with paragraphs of their own (a flow), which go to the note
// or, for a box, in front of the paragraph that anchors it.
#include "richtext/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "richtext/ascii.h"
#include "richtext/rtf_reader_impl.h"

namespace quillet {

namespace rtf {

Document Reader::Read() {
  while (position_ < data_.size()) {
    const auto c = static_cast<unsigned char>(data_[position_]);
    switch (c) {
      case '{':
        ++position_;
        OpenGroup();
        break;
      case '}':
        ++position_;
        CloseGroup();
        break;
      case '\\':
        ReadControl();
        break;
      case '\r':
      case '\n':
        ++position_;
        break;
      default:
        if (state().destination == Destination::kText && skip_count_ == 0) {
          TextRun();
        } else {
          ++position_;
          TextByte(c);
        }
        break;
    }
  }
  FlushBytes();
  // Notes and boxes that the input left open end with it.
  while (!flows_.empty()) EndFlow();
  if (ParagraphHasContent()) EndParagraph(false);
  own_notes_.Recover(document_);
  GatherNotes();
  return std::move(document_);
}

void Reader::OpenGroup() {
  FlushBytes();
  skip_count_ = 0;
  after_star_ = false;
  if (stack_.size() >= kMaxDepth) {
    ++overflow_depth_;
    return;
  }
  stack_.push_back(state());
}

void Reader::CloseGroup() {
  FlushBytes();
  skip_count_ = 0;
  after_star_ = false;
  if (overflow_depth_ > 0) {
    --overflow_depth_;
    return;
  }
  if (stack_.size() <= 1) return;  // an unbalanced "}"
  const Destination closed = state().destination;
  stack_.pop_back();
  GroupClosed(closed, state().destination);
  while (!flows_.empty() && flows_.back().depth > stack_.size()) EndFlow();
}

// What ends with a group: a table entry, a list marker, a part of the list table.
void Reader::GroupClosed(Destination closed, Destination parent) {
  // Each entry of the font table may be a group of its own.
  if (closed == Destination::kFontTable) fonts_.CommitFont();
  if (closed == parent) return;
  switch (closed) {
    case Destination::kListMarker:
      FinishListMarker();
      break;
    case Destination::kOldNumbering:
      if (parent == Destination::kText) state().old_numbering = lists_.EndOldNumbering();
      break;
    default:
      lists_.EndPart(closed);
      break;
  }
}

void Reader::ReadControl() {
  ++position_;  // the backslash
  if (position_ >= data_.size()) return;
  const auto first = static_cast<unsigned char>(data_[position_]);
  if (!IsAsciiLetter(static_cast<char>(first))) {
    ++position_;
    if (first == '\'') {
      ReadHexEscape();
    } else {
      HandleSymbol(first);
    }
    return;
  }
  const std::size_t name_start = position_;
  std::uint32_t hash = kNameHashStart;
  std::size_t name_end = name_start;  // a local index stays in a register
  while (name_end < data_.size() && IsAsciiLetter(data_[name_end])) {
    hash = NameHashStep(hash, data_[name_end]);
    ++name_end;
  }
  position_ = name_end;
  // Names longer than RTF allows are consumed whole but match nothing.
  const std::size_t length = position_ - name_start;
  const WordRow* row = length <= 32 ? FindWord(data_.substr(name_start, length), hash) : nullptr;
  bool negative = false;
  WordCall call;
  if (position_ + 1 < data_.size() && data_[position_] == '-' &&
      IsAsciiDigit(data_[position_ + 1])) {
    negative = true;
    ++position_;
  }
  while (position_ < data_.size() && IsAsciiDigit(data_[position_])) {
    call.has_parameter = true;
    call.parameter =
        std::min<std::int64_t>(call.parameter * 10 + (data_[position_] - '0'), INT32_MAX);
    ++position_;
  }
  if (negative) call.parameter = -call.parameter;
  if (position_ < data_.size() && data_[position_] == ' ') ++position_;
  HandleWord(row, call);
}

// "\'" and two hexadecimal digits; with fewer digits the escape is dropped.
void Reader::ReadHexEscape() {
  int value = 0;
  int digits = 0;
  while (digits < 2 && position_ < data_.size()) {
    const int digit = HexDigitValue(data_[position_]);
    if (digit < 0) break;
    value = value * 16 + digit;
    ++digits;
    ++position_;
  }
  if (digits == 2) EscapedByte(static_cast<unsigned char>(value));
}

void Reader::HandleSymbol(unsigned char symbol) {
  const Destination destination = state().destination;
  after_star_ = false;
  if (destination == Destination::kSkip) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  FlushBytes();
  switch (symbol) {
    case '\\':
    case '{':
    case '}':
      EscapedByte(symbol);
      break;
    case '~':
      EmitCharacter(u'\u00A0');
      break;
    case '_':
      EmitCharacter(u'\u2011');
      break;
    case '-':
      EmitCharacter(u'\u00AD');
      break;
    case '*':
      if (stack_.size() > 1) {
        before_star_ = destination;
        after_star_ = true;
        state().destination = Destination::kSkip;
      }
      break;
    case '\r':
    case '\n':
      // TextEdit ends paragraphs with a backslash before the line end.
      if (destination == Destination::kText) EndParagraph(true);
      break;
    case '\t':
      EmitCharacter(u'\t');
      break;
    default:
      break;
  }
}

void Reader::HandleWord(const WordRow* row, WordCall call) {
  // A destination after "\*" that the reader knows is read after all.
  if (after_star_ && row != nullptr && row->read_after_star) state().destination = before_star_;
  after_star_ = false;
  if (row == nullptr) return;
  call.argument = row->argument;
  // Binary data is skipped wherever it stands, even inside a skipped group.
  if (row->handler == &Reader::SkipBinary) {
    SkipBinary(call);
    return;
  }
  if (state().destination == Destination::kSkip) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  FlushBytes();
  (this->*row->handler)(call);
}

}  // namespace rtf

Document ReadRtf(std::string_view rtf) {
  if (rtf.starts_with(kUtf8ByteOrderMark)) rtf.remove_prefix(kUtf8ByteOrderMark.size());
  // White space in front of the document's group is no text of it.
  const std::size_t start = rtf.find_first_not_of(" \t\r\n");
  if (start != std::string_view::npos && rtf[start] == '{') rtf.remove_prefix(start);
  return rtf::Reader(rtf).Read();
}

bool LooksLikeRtf(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && text.substr(start).starts_with("{\\rtf");
}

}  // namespace quillet
