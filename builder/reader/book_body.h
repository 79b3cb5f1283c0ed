// A whole book converted once and balanced as the converter writes it. Where
// our RTF writer described the book's notes (a destination at each citation,
// at the notes section's heading and at the start of each note), the notes
// section comes apart from the text: the text is what is cut into parts, and
// each note is markup of its own that a part can end with.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "builder/reader/balancer.h"

namespace quillet {
class Converter;
}

namespace quillet::reader {

// The footnotes and endnotes of a book whose body holds none of them.
struct BookNotes {
  std::string heading;             // the line over the notes, standalone markup
  std::vector<std::string> notes;  // each note as standalone markup, in the section's order
  // Where the body cites a note, in order, and the note each place cites.
  std::vector<std::size_t> places;
  std::vector<std::size_t> cited;
};

struct BookBody {
  BalancedBody body;
  std::optional<BookNotes> notes;  // none: any notes stay where they stand
};

// Converts `rtf` on `converter` (whose kept state it uses and moves on, as a
// conversion does) and balances it.
BookBody ConvertBook(Converter& converter, std::string rtf, std::string_view options,
                     int defaultFontSize);

}  // namespace quillet::reader
