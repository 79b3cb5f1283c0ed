// Reader mode: a book made for reading on the handheld rather than as the
// default pages are. MakeReaderBook takes the balanced body of the whole book
// (one conversion, book_body.h) and returns every page: well-formed,
// each within a size budget, cut at clean places, linked to its neighbours
// and the index, titled with its part and heading. Each of these can be
// asked for alone. Pure: no files, no conversions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "builder/part_count.h"
#include "builder/reader/book_body.h"
#include "builder/reader/reader_pages.h"
#include "richtext/status.h"

namespace quillet::reader {

struct ReaderOptions;
struct ReaderBook;
// The pages, or why none were made.
using ReaderResult = Result<ReaderBook>;

// With notes apart, each part ends with the notes cited in it.
ReaderResult MakeReaderBook(BookBody book, const BookNames& names, const ReaderOptions& options);
// A body that comes as HTML text, balanced first.
ReaderResult MakeReaderBook(std::string_view body, const BookNames& names,
                            const ReaderOptions& options);

inline constexpr int kDefaultMaxKb = 100;
inline constexpr int kMaxParts = kMostReaderParts;
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

struct ReaderBook {
  std::vector<std::string> parts;  // the page of part k at k - 1
  std::string index;               // "" for a book of one part
};

}  // namespace quillet::reader
