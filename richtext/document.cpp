#include "richtext/document.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace quillet {

RunView RunList::at(std::size_t index) const {
  if (index >= size()) throw std::out_of_range("RunList::at");
  return (*this)[index];
}

void Paragraph::Append(std::u16string_view text, const CharFormat& format) {
  if (text.empty()) return;
  text_ += text;
  if (!spans_.empty() && spans_.back().format == format) {
    spans_.back().end = text_.size();
  } else {
    spans_.push_back(FormatSpan{format, text_.size()});
  }
}

void Paragraph::EraseFront(std::size_t count) {
  text_.erase(0, count);
  for (FormatSpan& span : spans_) span.end -= count;
}

void Paragraph::EraseBack(std::size_t count) {
  text_.resize(text_.size() - count);
  spans_.back().end -= count;
}

void Paragraph::InsertFront(std::u16string_view text) {
  text_.insert(0, text);
  for (FormatSpan& span : spans_) span.end += text.size();
}

void Paragraph::PopFront() {
  EraseFront(spans_.front().end);
  spans_.erase(spans_.begin());
}

void Paragraph::PopBack() {
  spans_.pop_back();
  text_.resize(spans_.empty() ? 0 : spans_.back().end);
}

void Paragraph::Clear() {
  alignment = Alignment::kLeft;
  bullet = false;
  text_.clear();
  spans_.clear();
}

std::size_t Document::Length() const {
  if (paragraphs.empty()) return 0;
  std::size_t length = paragraphs.size() - 1;
  for (const Paragraph& paragraph : paragraphs) length += paragraph.Length();
  return length;
}

std::u16string Document::PlainText() const {
  std::u16string text;
  text.reserve(Length());
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    if (i > 0) text += u'\n';
    text += paragraphs[i].Text();
  }
  return text;
}

namespace {

// Copies the part [from, to) of the paragraph's text, with its formats, into `out`.
void CopyRange(const Paragraph& paragraph, std::size_t from, std::size_t to, Paragraph& out) {
  std::size_t offset = 0;
  for (const RunView run : paragraph.Runs()) {
    const std::size_t run_end = offset + run.text.size();
    const std::size_t a = std::max(from, offset);
    const std::size_t b = std::min(to, run_end);
    if (a < b) AppendText(out, run.text.substr(a - offset, b - a), run.format);
    offset = run_end;
    if (offset >= to) break;
  }
}

}  // namespace

ParagraphIndex::ParagraphIndex(const Document& document) {
  starts.reserve(document.paragraphs.size());
  std::size_t position = 0;
  for (const Paragraph& paragraph : document.paragraphs) {
    starts.push_back(position);
    position += paragraph.Length() + 1;  // past the break
  }
  length = position == 0 ? 0 : position - 1;
}

Document Document::Slice(std::size_t start, std::size_t length) const {
  return quillet::Slice(*this, ParagraphIndex(*this), start, length);
}

Document Slice(const Document& document, const ParagraphIndex& index, std::size_t start,
               std::size_t length) {
  Document slice;
  const std::size_t total = index.length;
  if (length == 0 || start >= total) return slice;
  const std::size_t end = start + std::min(length, total - start);
  // The paragraph that holds `start`: the last one starting at or before it.
  const auto first = std::upper_bound(index.starts.begin(), index.starts.end(), start) - 1;
  for (auto i = static_cast<std::size_t>(first - index.starts.begin());
       i < document.paragraphs.size(); ++i) {
    const Paragraph& paragraph = document.paragraphs[i];
    const std::size_t begin = index.starts[i];
    const std::size_t finish = i + 1 < index.starts.size() ? index.starts[i + 1] - 1 : index.length;
    Paragraph& part = slice.paragraphs.emplace_back();
    part.alignment = paragraph.alignment;
    part.bullet = paragraph.bullet;
    CopyRange(paragraph, std::max(start, begin) - begin, std::min(end, finish) - begin, part);
    if (end <= finish) break;
  }
  return slice;
}

bool NotesFit(const Document& document) {
  const std::vector<Note>& notes = document.notes;
  if (notes.empty()) return true;
  if (notes.front().first_paragraph == 0) return false;
  const std::size_t heading = notes.front().first_paragraph - 1;
  const std::size_t count = document.paragraphs.size();
  std::size_t next = heading + 1;
  for (const Note& note : notes) {
    if (note.first_paragraph != next || note.paragraph_count == 0 ||
        note.paragraph_count > count - std::min(next, count) ||
        note.reference_paragraph >= heading) {
      return false;
    }
    next += note.paragraph_count;
  }
  // Each cited paragraph's length, measured once however many notes it cites.
  std::vector<std::size_t> lengths(heading, SIZE_MAX);
  for (const Note& note : notes) {
    std::size_t& length = lengths[note.reference_paragraph];
    if (length == SIZE_MAX) length = document.paragraphs[note.reference_paragraph].Length();
    if (note.reference_offset > length) return false;
  }
  return true;
}

}  // namespace quillet
