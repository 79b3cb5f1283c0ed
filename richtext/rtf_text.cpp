// Text bytes on their way into the document: plain runs are decoded straight
// into the open paragraph's last run; escaped bytes and bytes of a double-byte
// code page wait to be decoded together at the next control.
#include <algorithm>

#include "richtext/rtf_reader_impl.h"

namespace quillet::rtf {

// Bytes decoded together when flushed: those of a double-byte code page, whose
// characters may span escapes, and those of the groups that are no text.
void Reader::QueueBytes(std::string_view bytes) {
  const int code_page = CurrentCodePage();
  if (!bytes_.empty() && code_page != bytes_code_page_) FlushBytes();
  bytes_code_page_ = code_page;
  bytes_.append(bytes);
}

// Plain bytes of the document's text (from 0x20 up, or tabs), in a code page
// where they stay plain, decoded straight into the open run: what queueing them
// and flushing them at the next control would give, without the copies.
void Reader::DecodeText(std::string_view bytes, const CodePage& code_page) {
  if (!run_takes_text_) {
    FlushBytes();
    if (state().format.hidden) return;
    OpenRunText();
    run_takes_text_ = true;
    text_decoder_ = &code_page;
  }
  code_page.Decode(bytes, open_.run_text);
}

// A byte of a font name or a list level's text, which are not decoded as text is.
bool Reader::TableByte(Destination destination, unsigned char byte) {
  if (destination == Destination::kFontTable) {
    fonts_.AddNameByte(byte);
    return true;
  }
  // A level's text holds its length and its placeholders as bytes below 0x20.
  if ((destination == Destination::kLevelText || destination == Destination::kLevelNumbers) &&
      byte < 0x80) {
    FlushBytes();
    lists_.AppendLevelByte(destination, byte);
    return true;
  }
  return false;
}

void Reader::DecodeQueuedBytes() {
  decoded_.clear();
  fonts_.CodePageFor(bytes_code_page_).Decode(bytes_, decoded_);
  bytes_.clear();
  // Control characters other than the tab are no text.
  std::erase_if(decoded_, [](char16_t c) { return c < 0x20 && c != u'\t'; });
  Emit(decoded_);
}

void Reader::Emit(std::u16string_view text) {
  if (text.empty()) return;
  switch (state().destination) {
    case Destination::kText:
      if (!state().format.hidden) EmitText(text);
      return;
    case Destination::kListMarker:
      marker_text_ += text;
      return;
    case Destination::kNoteMark:
      open_.role_mark += text;
      return;
    case Destination::kNumberBefore:
    case Destination::kNumberAfter:
    case Destination::kLevelText:
      lists_.AppendText(state().destination, text);
      return;
    default:
      return;
  }
}

// The open paragraph's last run, in the group's format, ready for text of the
// document: what waits to go in front of that text is in it.
std::u16string& Reader::OpenRunText() {
  const GroupState& s = state();
  pending_number_mark_ = false;
  if (!(s.format == open_.run_format)) {
    FlushRun();
    open_.run_format = s.format;
  }
  if (open_.pending_cells > 0) {
    open_.run_text.append(static_cast<std::size_t>(open_.pending_cells), u'\t');
    open_.pending_cells = 0;
  } else if (open_.cell_line_break) {
    open_.run_text += kLineBreak;
  }
  open_.cell_line_break = false;
  open_.paragraph.alignment = s.alignment;
  if (s.in_list) open_.paragraph.bullet = true;
  open_.list = s.List();
  return open_.run_text;
}

void Reader::FlushRun() {
  if (open_.run_text.empty()) return;
  AppendText(open_.paragraph, open_.run_text, fonts_.ToCharFormat(open_.run_format));
  open_.length += open_.run_text.size();
  open_.run_text.clear();
}

}  // namespace quillet::rtf
