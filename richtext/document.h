// The document model of the rich-text engine: paragraphs of formatted runs.
//
// Text is UTF-16. A position counts one per UTF-16 unit inside a paragraph and
// one per paragraph break, so "ab" + break + "c" is four positions long. A line
// break inside a paragraph is U+2028 and a tab is U+0009; both are text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

inline constexpr char16_t kLineBreak = u'\u2028';
// RTF's default size, and the size the converter does not write out.
inline constexpr int kDefaultSizeHalfPoints = 24;

struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Color&) const = default;
};

enum class VerticalPosition : std::uint8_t { kBaseline, kSuperscript, kSubscript };
enum class Alignment : std::uint8_t { kLeft, kCenter, kRight, kJustified };

struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  VerticalPosition vertical = VerticalPosition::kBaseline;
  std::optional<Color> color;  // none: the automatic colour
  int size_half_points = kDefaultSizeHalfPoints;
  std::string font;  // UTF-8 face name; empty: the document's default face
  bool operator==(const CharFormat&) const = default;
};

struct Run {
  CharFormat format;
  std::u16string text;
  bool operator==(const Run&) const = default;
};

struct Paragraph {
  Alignment alignment = Alignment::kLeft;
  bool bullet = false;
  std::vector<Run> runs;

  std::size_t Length() const;
  bool operator==(const Paragraph&) const = default;
};

enum class NoteKind : std::uint8_t { kFootnote, kEndnote };

// The line over the notes gathered at the end of a document.
inline constexpr std::u16string_view kNotesHeading = u"Notas / Notes";

// A footnote or endnote. Its text is held as ordinary paragraphs in the notes
// section at the end of the document (the heading paragraph, then every note's
// paragraphs, its mark in front of the first), so that whatever knows only
// paragraphs, the converter among them, shows the notes gathered there; the
// mark stays in the text where the note is cited. A book cut into parts can
// end each part with the notes cited in it instead: the notes whose
// reference_paragraph falls in the part, their paragraphs taken from the
// section, and the section itself left out of the parts.
struct Note {
  NoteKind kind = NoteKind::kFootnote;
  std::u16string mark;                  // "1", "ii", or the document's own ("*")
  std::size_t reference_paragraph = 0;  // where the mark stands in the text,
  std::size_t reference_offset = 0;     // in UTF-16 units from the paragraph's start
  std::size_t first_paragraph = 0;      // the note's paragraphs
  std::size_t paragraph_count = 1;
  bool operator==(const Note&) const = default;
};

// An empty paragraph list is the empty document; a document of one empty
// paragraph has the same (empty) text.
struct Document {
  std::vector<Paragraph> paragraphs;
  // In the order of the notes section: footnotes, then endnotes. Empty for a
  // document without notes, and in a slice.
  std::vector<Note> notes;

  // Number of positions: the text length plus one per paragraph break.
  std::size_t Length() const;
  // Paragraphs joined by "\n".
  std::u16string PlainText() const;
  // The range [start, start + length), clamped to the document, as a document
  // of its own: PlainText() of the slice is the same range of PlainText().
  Document Slice(std::size_t start, std::size_t length) const;
  bool operator==(const Document&) const = default;
};

// True when `document.notes` describes the document: the notes' paragraphs
// follow one another straight after a heading paragraph, and each note is cited
// at a place in a paragraph before that heading.
bool NotesFit(const Document& document);

// Where each paragraph of a document starts, so that a range is found by
// binary search instead of walking the document from its first paragraph.
struct ParagraphIndex {
  explicit ParagraphIndex(const Document& document);
  std::vector<std::size_t> starts;  // one per paragraph
  std::size_t length = 0;           // Document::Length()
};

// Document::Slice for a document whose index is already known.
Document Slice(const Document& document, const ParagraphIndex& index, std::size_t start,
               std::size_t length);

// Appends text to the paragraph, merging it into the last run when the formats match.
void AppendText(Paragraph& paragraph, std::u16string_view text, const CharFormat& format);

}  // namespace quillet
