// A document's footnotes and endnotes (Document::notes) as marks in a
// QTextDocument, so that they move with the text through the user's edits:
// user properties on the notes heading's block, on every block of a note (its
// index, kind and mark: a paragraph split off a note inherits them and stays
// in it) and on the characters of each citation's mark (the note's index).
#pragma once

#include <QTextFormat>
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "richtext/document.h"

namespace quillet {

// On a citation's characters: the index of the note it cites.
inline constexpr int kCitedNoteProperty = QTextFormat::UserProperty + 4;

// A stretch of a paragraph [start, end) that cites a note.
struct CitedRange {
  std::size_t paragraph = 0;
  std::size_t start = 0;
  std::size_t end = 0;
  qint64 note = 0;
};

// What DocumentToQt marks: nothing for a document without notes or whose
// notes do not fit it.
class NoteMarksWriter {
 public:
  explicit NoteMarksWriter(const Document& document);

  void MarkBlock(std::size_t paragraph, QTextBlockFormat& format) const;
  // The paragraph's citations, in order; paragraphs are asked for in order.
  std::span<const CitedRange> CitationsIn(std::size_t paragraph);

 private:
  const Document& document_;
  std::size_t heading_ = SIZE_MAX;
  std::vector<std::size_t> noteOf_;  // the note of each paragraph after the heading
  std::vector<CitedRange> citations_;
  std::size_t next_ = 0;
};

// Rebuilds Document::notes in one pass over the blocks, keeping them only
// while the marks still describe notes that fit: a heading, the notes' blocks
// straight after it up to the end, each note cited once before the heading.
class NoteMarksReader {
 public:
  void Block(const QTextBlockFormat& format, std::size_t paragraph);
  // A citation's first character; the ones after it in the same mark are not told.
  void Citation(qint64 note, std::size_t paragraph, std::size_t offset);
  // Sets document.notes, or leaves them empty when the marks no longer fit.
  void Finish(Document& document);

 private:
  bool broken_ = false;
  bool inSection_ = false;
  std::vector<Note> notes_;
  std::unordered_map<qint64, std::size_t> noteAt_;  // a mark's index to its place in notes_
  qint64 lastIndex_ = -1;
  std::vector<CitedRange> citations_;
};

}  // namespace quillet
