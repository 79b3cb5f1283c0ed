#include "richtext/notes.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace quillet {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\u00A0' || c == kLineBreak;
}

bool IsBlankParagraph(const Paragraph& paragraph) {
  const std::u16string_view text = paragraph.Text();
  return std::all_of(text.begin(), text.end(), IsBlank);
}

// Drops the blank paragraphs and the white space in front of the note's text.
void TrimFront(std::vector<Paragraph>& paragraphs) {
  const auto text = std::find_if_not(paragraphs.begin(), paragraphs.end(), IsBlankParagraph);
  paragraphs.erase(paragraphs.begin(), text);
  if (paragraphs.empty()) return;
  Paragraph& paragraph = paragraphs.front();
  while (!paragraph.Runs().empty()) {
    const std::u16string_view text = paragraph.Runs().front().text;
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    paragraph.EraseFront(static_cast<std::size_t>(first - text.begin()));
    if (!paragraph.Runs().front().text.empty()) break;
    paragraph.PopFront();
  }
}

bool IsAlphanumeric(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The first paragraph of a note: its mark, then its text.
void PutMark(Paragraph& paragraph, const std::u16string& mark) {
  CharFormat format = paragraph.Runs().empty() ? CharFormat{} : paragraph.Runs().front().format;
  format.vertical = VerticalPosition::kBaseline;
  std::u16string lead = mark;
  if (!mark.empty()) lead += IsAlphanumeric(mark.back()) ? u". " : u" ";
  if (lead.empty()) return;
  Paragraph marked;
  marked.alignment = paragraph.alignment;
  marked.bullet = paragraph.bullet;
  AppendText(marked, lead, format);
  for (const RunView run : paragraph.Runs()) AppendText(marked, run.text, run.format);
  paragraph = std::move(marked);
}

// New notes join the document's notes section when it ends the document and
// they are all cited before it.
bool JoinsTheSection(const Document& document, const std::vector<FoundNote>& notes) {
  if (document.notes.empty()) return false;
  const Note& last = document.notes.back();
  const std::size_t heading = document.notes.front().first_paragraph - 1;
  return last.first_paragraph + last.paragraph_count == document.paragraphs.size() &&
         std::all_of(notes.begin(), notes.end(),
                     [&](const FoundNote& note) { return note.reference_paragraph < heading; });
}

}  // namespace

void AppendNotes(Document& document, std::vector<FoundNote> notes) {
  if (notes.empty()) return;
  if (!JoinsTheSection(document, notes)) {
    document.notes.clear();
    CharFormat bold;
    bold.bold = true;
    Paragraph& heading = document.paragraphs.emplace_back();
    AppendText(heading, kNotesHeading, bold);
  }
  std::stable_partition(notes.begin(), notes.end(),
                        [](const FoundNote& note) { return note.kind == NoteKind::kFootnote; });
  for (FoundNote& found : notes) {
    TrimFront(found.paragraphs);
    if (found.paragraphs.empty()) found.paragraphs.emplace_back();
    PutMark(found.paragraphs.front(), found.mark);
    Note& note = document.notes.emplace_back();
    note.kind = found.kind;
    note.mark = std::move(found.mark);
    note.reference_paragraph = found.reference_paragraph;
    note.reference_offset = found.reference_offset;
    note.first_paragraph = document.paragraphs.size();
    note.paragraph_count = found.paragraphs.size();
    std::move(found.paragraphs.begin(), found.paragraphs.end(),
              std::back_inserter(document.paragraphs));
  }
}

}  // namespace quillet
