#include "richtext/document_box.h"

#include <algorithm>
#include <utility>

#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace quillet {
namespace {

// The document's plain text read in place: a paragraph's break is "\n".
class DocumentText final : public RichTextBox::TextReader {
 public:
  DocumentText(const Document& document, const ParagraphIndex& index)
      : paragraphs_(document.paragraphs), starts_(index.starts), length_(index.length) {}

  std::int64_t Length() const override { return static_cast<std::int64_t>(length_); }

  char16_t At(std::int64_t position) const override {
    auto [paragraph, offset] = Locate(static_cast<std::size_t>(position));
    const std::u16string_view text = paragraphs_[paragraph].Text();
    return offset < text.size() ? text[offset] : u'\n';
  }

  std::int64_t Find(char16_t unit, std::int64_t from) const override {
    if (from >= Length()) return -1;
    auto [paragraph, offset] = Locate(static_cast<std::size_t>(from));
    for (; paragraph < paragraphs_.size(); ++paragraph, offset = 0) {
      const std::u16string_view text = paragraphs_[paragraph].Text();
      const std::size_t at = text.find(unit, offset);
      if (at != std::u16string_view::npos) return Position(paragraph, at);
      const bool lastParagraph = paragraph + 1 == paragraphs_.size();
      if (unit == u'\n' && !lastParagraph) return Position(paragraph, text.size());
    }
    return -1;
  }

 private:
  // The paragraph holding `position` (its break included) and the offset in it.
  std::pair<std::size_t, std::size_t> Locate(std::size_t position) const {
    const auto next = std::upper_bound(starts_.begin(), starts_.end(), position);
    const auto paragraph = static_cast<std::size_t>(next - starts_.begin() - 1);
    return {paragraph, position - starts_[paragraph]};
  }
  std::int64_t Position(std::size_t paragraph, std::size_t offset) const {
    return static_cast<std::int64_t>(starts_[paragraph] + offset);
  }

  const std::vector<Paragraph>& paragraphs_;
  const std::vector<std::size_t>& starts_;
  const std::size_t length_;
};

}  // namespace

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

std::unique_ptr<const RichTextBox::TextReader> DocumentBox::ReadText() const {
  return std::make_unique<DocumentText>(document_, index_);
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
