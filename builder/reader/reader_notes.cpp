#include "builder/reader/reader_notes.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "builder/reader/balancer.h"

namespace quillet::reader {
namespace {

constexpr std::u16string_view kAnchor(&kNoteAnchorCharacter, 1);

// The paragraph with an anchor before each of `offsets` (ascending), each in
// the format of the character it stands before, so that the converter writes
// no tag for it. Built afresh in one walk, however many anchors it takes.
Paragraph WithAnchors(const Paragraph& paragraph, const std::vector<std::size_t>& offsets) {
  Paragraph out;
  out.alignment = paragraph.alignment;
  out.bullet = paragraph.bullet;
  std::size_t next = 0;
  std::size_t position = 0;
  CharFormat last;
  for (const RunView run : paragraph.Runs()) {
    const std::u16string_view text = run.text;
    std::size_t taken = 0;
    for (; next < offsets.size() && offsets[next] < position + text.size(); ++next) {
      const std::size_t at = std::max(offsets[next], position + taken) - position;
      AppendText(out, text.substr(taken, at - taken), run.format);
      AppendText(out, kAnchor, run.format);
      taken = at;
    }
    AppendText(out, text.substr(taken), run.format);
    position += text.size();
    last = run.format;
  }
  for (; next < offsets.size(); ++next) AppendText(out, kAnchor, last);
  return out;
}

}  // namespace

std::optional<SplitBook> SplitNotes(const Document& document) {
  const std::vector<Note>& notes = document.notes;
  if (notes.empty() || !NotesFit(document)) return std::nullopt;
  const std::size_t heading = notes.front().first_paragraph - 1;
  const Note& lastNote = notes.back();
  const std::size_t sectionEnd = lastNote.first_paragraph + lastNote.paragraph_count;
  // Paragraphs after the section would belong to no part: such a book is cut whole.
  if (sectionEnd != document.paragraphs.size()) return std::nullopt;

  // Citations in the order they stand in the text.
  std::vector<std::size_t> order(notes.size());
  for (std::size_t note = 0; note < notes.size(); ++note) order[note] = note;
  std::stable_sort(order.begin(), order.end(), [&notes](std::size_t a, std::size_t b) {
    return std::pair(notes[a].reference_paragraph, notes[a].reference_offset) <
           std::pair(notes[b].reference_paragraph, notes[b].reference_offset);
  });

  SplitBook book;
  book.cited = order;
  book.text.paragraphs.assign(document.paragraphs.begin(), document.paragraphs.begin() + heading);
  for (std::size_t at = 0; at < order.size();) {
    const std::size_t paragraph = notes[order[at]].reference_paragraph;
    std::vector<std::size_t> offsets;
    for (; at < order.size() && notes[order[at]].reference_paragraph == paragraph; ++at) {
      offsets.push_back(notes[order[at]].reference_offset);
    }
    book.text.paragraphs[paragraph] = WithAnchors(document.paragraphs[paragraph], offsets);
  }
  book.section.paragraphs.assign(document.paragraphs.begin() + heading,
                                 document.paragraphs.begin() + sectionEnd);
  for (const Note& note : notes) {
    Paragraph& first = book.section.paragraphs[note.first_paragraph - heading];
    first = WithAnchors(first, {0});
  }
  return book;
}

}  // namespace quillet::reader
