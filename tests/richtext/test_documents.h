// Small builders for documents in tests.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "richtext/document.h"

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

inline Document D(std::initializer_list<Paragraph> paragraphs) {
  return Document{paragraphs};
}

}  // namespace quillet::testing
