// Made-up books of any size for the whole-run tests and the benchmarks: an
// ordinary one with headings, bold, italic, colours, sizes, bullet items,
// accents and curly quotes, and a hostile one.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>

#include "richtext/document.h"
#include "richtext/rtf_writer.h"

namespace quillet::testing {

inline Document GeneratedBook(std::size_t targetLength) {
  static constexpr std::array<std::u16string_view, 6> kSentences{
      u"El farero subió los peldaños antes del alba. ",
      u"“¿Quién anota las mareas?”, preguntó Begoña. ",
      u"The keeper’s lamp turned all night over the bay. ",
      u"Niebla en Peña Alta — tres barcos y ningún albatros. ",
      u"¡Qué año de marejada! dijo Ramón, y cerró el cuaderno. ",
      u"Ángela kept the tea tin next to the compass. ",
  };
  Document book;
  std::size_t length = 0;
  for (int number = 1; length < targetLength; ++number) {
    Paragraph& heading = book.paragraphs.emplace_back();
    heading.alignment = Alignment::kCenter;
    CharFormat headingFormat;
    headingFormat.bold = true;
    headingFormat.size_half_points = 36;
    AppendText(heading, u"Capítulo " + std::u16string(1, char16_t(u'0' + number % 10)),
               headingFormat);
    length += heading.Length() + 1;  // before more paragraphs move it
    for (int p = 0; p < 8; ++p) {
      Paragraph& paragraph = book.paragraphs.emplace_back();
      paragraph.bullet = p == 7;
      for (int s = 0; s < 6; ++s) {
        CharFormat format;
        format.bold = (number + p + s) % 5 == 0;
        format.italic = (number + s) % 4 == 1;
        if ((p + s) % 6 == 2) format.color = Color{153, 0, 0};
        AppendText(paragraph, kSentences[(number + p * 3 + s) % kSentences.size()], format);
      }
      length += paragraph.Length() + 1;
    }
  }
  return book;
}

// The RTF of a generated book of about `megabytes` MB, made once per size.
inline const std::string& GeneratedBookRtf(int megabytes) {
  static std::map<int, std::string> books;
  std::string& rtf = books[megabytes];
  if (rtf.empty()) {
    // The generated book's RTF runs about 1.3 bytes per character of text.
    rtf = WriteRtf(GeneratedBook(static_cast<std::size_t>(megabytes) * 770'000));
  }
  return rtf;
}

// A hostile book: one paragraph of `length` letters without a single space,
// in runs of four that alternate between plain and bold.
inline Document RunsWithoutSpaces(std::size_t length) {
  Document book;
  Paragraph& paragraph = book.paragraphs.emplace_back();
  CharFormat bold;
  bold.bold = true;
  for (std::size_t run = 0; run * 4 < length; ++run) {
    AppendText(paragraph, u"abcd", run % 2 == 0 ? CharFormat{} : bold);
  }
  return book;
}

}  // namespace quillet::testing
