#include "builder/window/qt_note_marks.h"

#include <QString>
#include <algorithm>
#include <cstdint>

namespace quillet {
namespace {

// On the notes heading's block.
constexpr int kNotesHeadingProperty = QTextFormat::UserProperty + 1;
// On every block of a note: its index in Document::notes, kind and mark.
constexpr int kNoteIndexProperty = QTextFormat::UserProperty + 2;
constexpr int kNoteKindProperty = QTextFormat::UserProperty + 3;
constexpr int kNoteMarkProperty = QTextFormat::UserProperty + 5;

constexpr std::size_t kUncited = SIZE_MAX;

bool Before(const CitedRange& a, const CitedRange& b) {
  return a.paragraph < b.paragraph || (a.paragraph == b.paragraph && a.start < b.start);
}

// A mark ends at the next citation and at its paragraph's end; one left
// without a character cannot be marked.
void ClipMarks(const Document& document, std::vector<CitedRange>& citations) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < citations.size(); ++i) {
    CitedRange& citation = citations[i];
    if (i == 0 || citations[i - 1].paragraph != citation.paragraph) {
      length = document.paragraphs[citation.paragraph].Length();
    }
    citation.end = std::min(citation.end, length);
    if (i + 1 < citations.size() && citations[i + 1].paragraph == citation.paragraph) {
      citation.end = std::min(citation.end, citations[i + 1].start);
    }
  }
  std::erase_if(citations,
                [](const CitedRange& citation) { return citation.end <= citation.start; });
}

}  // namespace

NoteMarksWriter::NoteMarksWriter(const Document& document) : document_(document) {
  const std::vector<Note>& notes = document.notes;
  if (notes.empty() || !NotesFit(document)) return;
  heading_ = notes.front().first_paragraph - 1;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const Note& note = notes[i];
    noteOf_.insert(noteOf_.end(), note.paragraph_count, i);
    const std::size_t length = std::max<std::size_t>(note.mark.size(), 1);
    citations_.push_back({note.reference_paragraph, note.reference_offset,
                          note.reference_offset + length, static_cast<qint64>(i)});
  }
  std::sort(citations_.begin(), citations_.end(), Before);
  ClipMarks(document, citations_);
}

void NoteMarksWriter::MarkBlock(std::size_t paragraph, QTextBlockFormat& format) const {
  if (heading_ == SIZE_MAX || paragraph < heading_) return;
  if (paragraph == heading_) {
    format.setProperty(kNotesHeadingProperty, true);
    return;
  }
  const std::size_t inSection = paragraph - heading_ - 1;
  if (inSection >= noteOf_.size()) return;
  const Note& note = document_.notes[noteOf_[inSection]];
  format.setProperty(kNoteIndexProperty, static_cast<qint64>(noteOf_[inSection]));
  format.setProperty(kNoteKindProperty, static_cast<int>(note.kind));
  format.setProperty(kNoteMarkProperty, QString::fromStdU16String(note.mark));
}

std::span<const CitedRange> NoteMarksWriter::CitationsIn(std::size_t paragraph) {
  while (next_ < citations_.size() && citations_[next_].paragraph < paragraph) ++next_;
  const std::size_t first = next_;
  while (next_ < citations_.size() && citations_[next_].paragraph == paragraph) ++next_;
  return {citations_.data() + first, next_ - first};
}

void NoteMarksReader::Block(const QTextBlockFormat& format, std::size_t paragraph) {
  if (format.boolProperty(kNotesHeadingProperty)) {
    // A later heading starts the section again: what came before it is text.
    broken_ = false;
    inSection_ = true;
    notes_.clear();
    noteAt_.clear();
    return;
  }
  if (!format.hasProperty(kNoteIndexProperty)) {
    // Text after the notes: the section no longer ends the document.
    if (inSection_ && !notes_.empty()) broken_ = true;
    inSection_ = false;
    return;
  }
  if (!inSection_) {
    broken_ = true;
    return;
  }
  const qint64 index = format.property(kNoteIndexProperty).toLongLong();
  if (!notes_.empty() && index == lastIndex_) {
    ++notes_.back().paragraph_count;
    return;
  }
  lastIndex_ = index;
  if (!noteAt_.emplace(index, notes_.size()).second) {
    broken_ = true;
    return;
  }
  Note& note = notes_.emplace_back();
  note.kind = format.intProperty(kNoteKindProperty) == static_cast<int>(NoteKind::kEndnote)
                  ? NoteKind::kEndnote
                  : NoteKind::kFootnote;
  const QString mark = format.stringProperty(kNoteMarkProperty);
  note.mark = mark.toStdU16String();
  note.reference_paragraph = kUncited;
  note.first_paragraph = paragraph;
}

void NoteMarksReader::Citation(qint64 note, std::size_t paragraph, std::size_t offset) {
  citations_.push_back({paragraph, offset, offset, note});
}

void NoteMarksReader::Finish(Document& document) {
  document.notes.clear();
  if (broken_ || notes_.empty()) return;
  // Every note cited once, and every citation of a note the section holds.
  for (const CitedRange& citation : citations_) {
    const auto found = noteAt_.find(citation.note);
    if (found == noteAt_.end()) return;
    Note& note = notes_[found->second];
    if (note.reference_paragraph != kUncited) return;
    note.reference_paragraph = citation.paragraph;
    note.reference_offset = citation.start;
  }
  if (std::any_of(notes_.begin(), notes_.end(),
                  [](const Note& note) { return note.reference_paragraph == kUncited; })) {
    return;
  }
  document.notes = std::move(notes_);
  if (!NotesFit(document)) document.notes.clear();
}

}  // namespace quillet
