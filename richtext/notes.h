// Gathers the footnotes and endnotes a reader found into the notes section at
// the end of a document (see Note in document.h). Every reader that finds notes
// (RTF, HTML, EPUB) hands them here, so that they all come out in one shape.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "richtext/document.h"

namespace quillet {

// A note as a reader finds it: its kind and mark, where it is cited, and its
// own paragraphs.
struct FoundNote {
  NoteKind kind = NoteKind::kFootnote;
  std::u16string mark;
  std::size_t reference_paragraph = 0;
  std::size_t reference_offset = 0;
  std::vector<Paragraph> paragraphs;  // its text, without its mark
};

// Appends the notes to the document, footnotes first, each kind in the order
// given, and records them in `document.notes`. A document whose notes section
// ends it, and cites the new notes before it, has them added to that section;
// any other gets the heading paragraph first (and loses what it knew of notes
// it had). White space and empty paragraphs in front of
// a note's text are dropped; its first paragraph then opens with the mark,
// followed by ". " when the mark ends in a letter or digit, else by " ", in the
// format of the text after it.
void AppendNotes(Document& document, std::vector<FoundNote> notes);

}  // namespace quillet
