// A book with footnotes or endnotes made ready for parts that each end with
// the notes cited in them: its text and its notes section apart, with a
// kNoteAnchorCharacter where each note is cited and where each note starts.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "richtext/document.h"

namespace quillet::reader {

struct SplitBook {
  Document text;     // the paragraphs before the notes section
  Document section;  // the notes section: its heading, then every note
  // For each anchor in `text`, in order, the note it cites (an index into
  // the document's notes, which is also the note's place in `section`).
  std::vector<std::size_t> cited;
};

// Nothing for a document without notes, whose notes do not fit it, or with
// text after its notes section.
std::optional<SplitBook> SplitNotes(const Document& document);

}  // namespace quillet::reader
