// Small builders for documents in tests.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>

#include "richtext/document.h"
#include "richtext/text_encoding.h"

namespace quillet::testing {

inline CharFormat Plain() {
  return {};
}
inline CharFormat Bold() {
  CharFormat format;
  format.bold = true;
  return format;
}
inline CharFormat Italic() {
  CharFormat format;
  format.italic = true;
  return format;
}
inline CharFormat Colored(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  CharFormat format;
  format.color = Color{red, green, blue};
  return format;
}
inline CharFormat Sized(int half_points) {
  CharFormat format;
  format.size_half_points = half_points;
  return format;
}

inline Run R(std::u16string text, CharFormat format = {}) {
  return Run{std::move(format), std::move(text)};
}

inline Paragraph P(std::initializer_list<Run> runs, Alignment alignment = Alignment::kLeft,
                   bool bullet = false) {
  Paragraph paragraph;
  paragraph.alignment = alignment;
  paragraph.bullet = bullet;
  for (const Run& run : runs) AppendText(paragraph, run.text, run.format);
  return paragraph;
}

inline Paragraph Bullet(std::initializer_list<Run> runs) {
  return P(runs, Alignment::kLeft, true);
}

// A complete RTF document around `body`, with an Arial and a Symbol font.
inline std::string RtfDocument(const std::string& header, const std::string& body) {
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
         "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n" +
         header + "\r\n" + body + "}";
}

inline Document D(std::initializer_list<Paragraph> paragraphs) {
  Document document;
  document.paragraphs = paragraphs;
  return document;
}

}  // namespace quillet::testing

namespace quillet {

// Documents print as their paragraphs, one a line ("•" for a bullet, "|" for
// another alignment than left), then their notes, so that a failing test shows them.
inline void PrintTo(const Document& document, std::ostream* out) {
  for (const Paragraph& paragraph : document.paragraphs) {
    *out << "\n  " << (paragraph.bullet ? "• " : "")
         << (paragraph.alignment != Alignment::kLeft ? "| " : "") << "\"";
    for (const RunView run : paragraph.Runs()) *out << ToUtf8(run.text);
    *out << "\"";
  }
  for (const Note& note : document.notes) {
    *out << "\n  note " << ToUtf8(note.mark) << (note.kind == NoteKind::kEndnote ? " (end)" : "")
         << " cited at " << note.reference_paragraph << ":" << note.reference_offset
         << ", paragraphs " << note.first_paragraph << "+" << note.paragraph_count;
  }
}

}  // namespace quillet
