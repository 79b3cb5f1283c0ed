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
#include "richtext/rtf_text_scan.h"

namespace quillet {

namespace rtf {

namespace {

// Compared letter by letter: a call to memcmp costs more than these few letters.
constexpr bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

// Flattened: the steps of the loop in this file fold into it, which does 8 %
// fewer instructions than calling them (callgrind, the reader benchmark).
[[gnu::flatten]] Document Reader::Read() {
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

const Reader::WordRow* Reader::FindWord(std::string_view name, std::uint32_t hash) const {
  for (std::size_t slot = hash % kWordSlots; word_slots_[slot].row != nullptr;
       slot = (slot + 1) % kWordSlots) {
    if (SameName(word_slots_[slot].name, name)) return word_slots_[slot].row;
  }
  return nullptr;
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

// A run of plain bytes of the document's text, taken in one piece: what
// TextByte does byte by byte, once for the run.
void Reader::TextRun() {
  const std::size_t start = position_;
  position_ = PlainTextEnd(data_, start);
  if (position_ == start) {
    ++position_;
    TextByte(static_cast<unsigned char>(data_[start]));
    return;
  }
  const std::string_view bytes = data_.substr(start, position_ - start);
  if (run_takes_text_) {
    text_decoder_->Decode(bytes, open_.run_text);
    return;
  }
  const CodePage& code_page = CurrentDecoder();
  if (code_page.plain_stays_plain()) {
    DecodeText(bytes, code_page);
  } else {
    QueueBytes(bytes);
  }
}

void Reader::TextByte(unsigned char byte) {
  switch (state().destination) {
    case Destination::kSkip:
      return;
    case Destination::kColorTable:
      if (byte == ';') fonts_.EndColor();
      return;
    case Destination::kFontTable:
      if (byte == ';') {
        fonts_.CommitFont();
        return;
      }
      break;
    default:
      break;
  }
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  if (byte < 0x20 && byte != '\t') return;
  EscapedByte(byte);
}

void Reader::EscapedByte(unsigned char byte) {
  if (run_takes_text_) {
    // A control character is no text: the byte is dropped, as a flush would drop it.
    if (byte >= 0x20 || byte == '\t') open_.run_text += text_decoder_->Character(byte);
    return;
  }
  const Destination destination = state().destination;
  if (destination == Destination::kSkip || destination == Destination::kColorTable) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  if (destination != Destination::kText && TableByte(destination, byte)) return;
  const char c = static_cast<char>(byte);
  if (destination == Destination::kText) {
    const CodePage& code_page = CurrentDecoder();
    if (code_page.plain_stays_plain()) {
      if (byte >= 0x20 || byte == '\t') DecodeText(std::string_view(&c, 1), code_page);
      return;
    }
  }
  QueueBytes(std::string_view(&c, 1));
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
