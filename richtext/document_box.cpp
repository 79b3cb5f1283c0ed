#include "richtext/document_box.h"

#include <algorithm>
#include <utility>

#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace quillet {

std::string DocumentBox::TextRTF() const {
  return WriteRtf(document_);
}

void DocumentBox::SetTextRTF(std::string_view rtf) {
  Replace(LooksLikeRtf(rtf) ? ReadRtf(rtf) : ReadPlainText(rtf));
}

void DocumentBox::SetSelStart(std::int64_t position) {
  sel_start_ = std::clamp<std::int64_t>(position, 0, length_);
  sel_length_ = 0;
}

void DocumentBox::SetSelLength(std::int64_t length) {
  sel_length_ = std::clamp<std::int64_t>(length, 0, length_ - sel_start_);
}

Document DocumentBox::Selection() const {
  return Slice(document_, index_, static_cast<std::size_t>(sel_start_),
               static_cast<std::size_t>(sel_length_));
}

std::u16string DocumentBox::SelText() const {
  if (sel_length_ == 0) return {};
  return Selection().PlainText();
}

std::string DocumentBox::SelRTF() const {
  return RangeRTF(sel_start_, sel_length_);
}

// Clamped as SetSelStart and SetSelLength clamp; reads nothing a selection changes.
std::string DocumentBox::RangeRTF(std::int64_t start, std::int64_t length) const {
  start = std::clamp<std::int64_t>(start, 0, length_);
  length = std::clamp<std::int64_t>(length, 0, length_ - start);
  if (length == 0) return {};
  return WriteRtf(
      Slice(document_, index_, static_cast<std::size_t>(start), static_cast<std::size_t>(length)));
}

RichTextBox::RangeRtf DocumentBox::ConcurrentRangeRtf() const {
  return [this](std::int64_t start, std::int64_t length) { return RangeRTF(start, length); };
}

void DocumentBox::SetPlainText(std::string_view bytes) {
  Replace(ReadPlainText(bytes));
}

void DocumentBox::SetDocument(Document document) {
  Replace(std::move(document));
}

void DocumentBox::Replace(Document document) {
  document_ = std::move(document);
  index_ = ParagraphIndex(document_);
  length_ = static_cast<std::int64_t>(index_.length);
  sel_start_ = 0;
  sel_length_ = 0;
  NotifyChange();
}

}  // namespace quillet
