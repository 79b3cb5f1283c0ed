// The pages of a reader book around their bodies: head with a title that
// names the part, links to the previous part, the index and the next part,
// and the index that names every part. Plain HTML that an old browser
// follows, in the shape of the default pages (CR LF lines).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::reader {

// How the pages name the book, made by the builder's rules for the prefix.
struct BookNames {
  std::string titlePrefix;  // as page titles show it
  std::string linkPrefix;   // as links name the files
  std::string shownPrefix;  // as link texts show it
};

// A part's number as its file name and title carry it: two digits, three
// when the book has more than 99 parts.
std::string PartNumberText(int part, int partCount);

struct IndexEntry {
  std::string heading;  // plain page text; "" for none
  std::size_t pageBytes = 0;
};

class PageComposer {
 public:
  PageComposer(BookNames names, bool navigation, bool titles)
      : names_(std::move(names)), navigation_(navigation), titles_(titles) {}

  // The page of part `part` (1-based) of `partCount` around a balanced body.
  std::string PartPage(int part, int partCount, std::string_view heading,
                       std::string_view body) const;
  // The most a part page holds besides its body, for any book of up to 999 parts.
  std::size_t MaxFrameBytes() const;

  // The index of a book of `entries.size()` parts. With titles, headings are
  // shortened so that the page keeps to `pageBytes` (0: no limit).
  std::string IndexPage(const std::vector<IndexEntry>& entries, std::size_t pageBytes) const;
  // True when the index of `partCount` parts, each page `pageBytes` long, can
  // keep to `pageBytes`.
  bool IndexFits(int partCount, std::size_t pageBytes) const;

 private:
  std::string Navigation(int part, int partCount) const;
  std::string PartFile(int part, int partCount) const;
  std::string IndexLine(int part, int partCount, std::string_view heading,
                        std::size_t pageBytes) const;

  BookNames names_;
  bool navigation_;
  bool titles_;
};

}  // namespace quillet::reader
