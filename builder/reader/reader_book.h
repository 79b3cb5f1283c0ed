// Reader mode: a book made for reading on the handheld rather than as the
// default pages are. MakeReaderBook takes the page body the converter made
// for the whole book (one conversion) and returns every page: well-formed,
// each within a size budget, cut at clean places, linked to its neighbours
// and the index, titled with its part and heading. Each of these can be
// asked for alone. Pure: no files, no conversions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "builder/reader/reader_pages.h"

namespace quillet::reader {

struct ReaderOptions;
struct ReaderResult;
struct BookNotes;

// With `notes`, each part ends with the notes cited in it.
ReaderResult MakeReaderBook(std::string_view body, const BookNames& names,
                            const ReaderOptions& options, const BookNotes* notes = nullptr);

inline constexpr int kDefaultMaxKb = 100;
inline constexpr int kMaxParts = 999;
// The size the builder's conversions leave unwritten ("+F=3").
inline constexpr int kBodyFontSize = 3;

struct ReaderOptions {
  int maxKb = 0;             // every page, index too, at most this many KB; 0: no budget
  int partCount = 1;         // at least this many parts, about equal
  bool navigation = false;   // previous, index and next at the top and bottom
  bool titledIndex = false;  // titles and index lines name each part
  bool cleanCuts = false;    // cut at a paragraph end, a sentence end or a space

  // The whole mode with the default budget.
  static ReaderOptions All(int partCount = 1) {
    return {kDefaultMaxKb, partCount, true, true, true};
  }
};

// The footnotes and endnotes of a book whose body holds none of them.
struct BookNotes {
  // The converted notes section: its heading line, then every note, each
  // opening with kNoteAnchor (builder/reader/balancer.h).
  std::string section;
  // For each kNoteAnchor in the book's body, in order, the note it cites
  // (0-based); citations of notes the section lacks are left out.
  std::vector<std::size_t> cited;
};

struct ReaderBook {
  std::vector<std::string> parts;  // the page of part k at k - 1
  std::string index;               // "" for a book of one part
};

struct ReaderResult {
  ReaderBook book;
  std::string error;  // why nothing was made, in Spanish and English; "" on success
};

}  // namespace quillet::reader
