// The document model of the rich-text engine: paragraphs of formatted runs.
//
// Text is UTF-16. A position counts one per UTF-16 unit inside a paragraph and
// one per paragraph break, so "ab" + break + "c" is four positions long. A line
// break inside a paragraph is U+2028 and a tab is U+0009; both are text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/position_iterator.h"

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

// Text in one format, as a paragraph is built from it.
struct Run {
  CharFormat format;
  std::u16string text;
  bool operator==(const Run&) const = default;
};

// A run of a paragraph as read: its format and its part of the paragraph's text.
struct RunView {
  const CharFormat& format;
  std::u16string_view text;
};

// How a paragraph holds a run: its format and where its text ends in the
// paragraph's text, the next run's text starting there.
struct FormatSpan {
  CharFormat format;
  std::size_t end = 0;
  bool operator==(const FormatSpan&) const = default;
};

// A paragraph's runs in order, read in place.
class RunList {
 public:
  using Iterator = PositionIterator<RunList>;

  RunList(std::u16string_view text, std::span<const FormatSpan> spans)
      : text_(text), spans_(spans) {}
  std::size_t size() const { return spans_.size(); }
  bool empty() const { return spans_.empty(); }
  RunView operator[](std::size_t index) const {
    const std::size_t start = index == 0 ? 0 : spans_[index - 1].end;
    return {spans_[index].format, text_.substr(start, spans_[index].end - start)};
  }
  RunView at(std::size_t index) const;  // throws std::out_of_range past the last run
  RunView front() const { return (*this)[0]; }
  RunView back() const { return (*this)[size() - 1]; }
  Iterator begin() const { return {*this, 0}; }
  Iterator end() const { return {*this, size()}; }

 private:
  std::u16string_view text_;
  std::span<const FormatSpan> spans_;
};

// A paragraph keeps its text in one string and its runs as formats over it, so
// that it costs two allocations however many runs it has. Runs are what their
// builders made them: `Append` merges text into a last run of the same format
// and never adds an empty one, but the edits below may leave a run empty or two
// alike side by side, as they stand.
class Paragraph {
 public:
  Alignment alignment = Alignment::kLeft;
  bool bullet = false;

  std::u16string_view Text() const { return text_; }
  std::size_t Length() const { return text_.size(); }
  RunList Runs() const { return {text_, spans_}; }

  // Adds text at the end, into the last run when the formats match.
  void Append(std::u16string_view text, const CharFormat& format);
  // Takes `count` units off the front of the first run, or the end of the last;
  // the run stays, even when emptied.
  void EraseFront(std::size_t count);
  void EraseBack(std::size_t count);
  // Puts text in front of the first run's, in its format.
  void InsertFront(std::u16string_view text);
  // Drops the first or the last run with its text.
  void PopFront();
  void PopBack();
  CharFormat& FormatOf(std::size_t run) { return spans_[run].format; }
  // Back to an empty left-aligned paragraph, keeping the memory for the next one.
  void Clear();

  // The same properties, and the same runs over the same text.
  bool operator==(const Paragraph&) const = default;

 private:
  std::u16string text_;
  std::vector<FormatSpan> spans_;
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
inline void AppendText(Paragraph& paragraph, std::u16string_view text, const CharFormat& format) {
  paragraph.Append(text, format);
}

}  // namespace quillet
