#include "builder/reader/reader_book.h"

#include <algorithm>
#include <optional>

#include "builder/reader/balancer.h"
#include "builder/reader/cutter.h"
#include "builder/reader/part_headings.h"

namespace quillet::reader {
namespace {

constexpr std::size_t kKilobyte = 1024;
// Beyond any book's size: the search for a budget that fits stops here.
constexpr std::size_t kLargestKb = std::size_t{1} << 40;

// The notes apart from the body, and where the body cites them.
class PartNotes {
 public:
  explicit PartNotes(BookNotes notes) : notes_(std::move(notes)) {
    const std::size_t count = notes_.notes.size();
    cited_.headingBytes = notes_.heading.size();
    for (std::size_t at = 0; at < notes_.places.size() && at < notes_.cited.size(); ++at) {
      // Citations of notes the section lacks are left out.
      if (notes_.cited[at] >= count) continue;
      cited_.bytesBefore.push_back(bytes_);
      cited_.anchors.push_back(notes_.places[at]);
      notesOf_.push_back(notes_.cited[at]);
      bytes_ += notes_.notes[notes_.cited[at]].size();
    }
    cited_.bytesBefore.push_back(bytes_);
  }

  const CitedNotes& Cited() const { return cited_; }

  // The heading and the notes cited in the part, in the section's order.
  std::string For(Span part) const {
    const auto& anchors = cited_.anchors;
    const auto first = std::lower_bound(anchors.begin(), anchors.end(), part.begin);
    const auto last = std::lower_bound(first, anchors.end(), part.end);
    if (first == last) return "";
    std::vector<std::size_t> notes(notesOf_.begin() + (first - anchors.begin()),
                                   notesOf_.begin() + (last - anchors.begin()));
    std::sort(notes.begin(), notes.end());
    notes.erase(std::unique(notes.begin(), notes.end()), notes.end());
    std::string block = notes_.heading;
    for (std::size_t note : notes) block += notes_.notes[note];
    return block;
  }

 private:
  BookNotes notes_;
  CitedNotes cited_;
  std::vector<std::size_t> notesOf_;  // by citation
  std::size_t bytes_ = 0;
};

class ReaderBookMaker {
 public:
  ReaderBookMaker(BookBody book, const BookNames& names, const ReaderOptions& options)
      : body_(std::move(book.body)),
        composer_(names, options.navigation, options.titledIndex),
        options_(options) {
    rules_.pageBytes = static_cast<std::size_t>(options.maxKb) * kKilobyte;
    rules_.frameBytes = composer_.MaxFrameBytes();
    rules_.partCount = options.partCount;
    rules_.maxParts = kMaxParts;
    rules_.cleanCuts = options.cleanCuts;
    if (book.notes) {
      notes_.emplace(std::move(*book.notes));
      rules_.notes = &notes_->Cited();
    }
  }

  ReaderResult Make() const;

 private:
  bool Fits(const std::vector<Span>& parts, std::size_t pageBytes) const;
  std::size_t SmallestKb() const;
  ReaderBook Pages(const std::vector<Span>& parts) const;

  BalancedBody body_;
  std::optional<PartNotes> notes_;
  PageComposer composer_;
  ReaderOptions options_;
  CutRules rules_;
};

ReaderResult ReaderBookMaker::Make() const {
  if (Status status = CheckPartCount(options_.partCount, true); !status.ok()) return {{}, status};
  if (rules_.pageBytes > 0 && rules_.pageBytes <= rules_.frameBytes) {
    return {{},
            Failure(StatusKind::kNoRoomForFrame, options_.maxKb,
                    static_cast<std::int64_t>(rules_.frameBytes))};
  }
  const std::optional<std::vector<Span>> parts = Cutter(body_, rules_).Cut();
  if (!parts || !Fits(*parts, rules_.pageBytes)) {
    return {{},
            Failure(StatusKind::kTooManyParts, options_.maxKb,
                    static_cast<std::int64_t>(SmallestKb()))};
  }
  ReaderBook book = Pages(*parts);
  for (const std::string& page : book.parts) {
    // The cutter reckons with the largest frame, so this never happens.
    if (rules_.pageBytes > 0 && page.size() > rules_.pageBytes) {
      return {{},
              Failure(StatusKind::kTooManyParts, options_.maxKb,
                      static_cast<std::int64_t>(SmallestKb()))};
    }
  }
  return {std::move(book), {}};
}

bool ReaderBookMaker::Fits(const std::vector<Span>& parts, std::size_t pageBytes) const {
  const int count = static_cast<int>(parts.size());
  return pageBytes == 0 || count == 1 || composer_.IndexFits(count, pageBytes);
}

// The smallest budget in KB under which the book fits in kMaxParts parts.
std::size_t ReaderBookMaker::SmallestKb() const {
  auto fits = [this](std::size_t kb) {
    CutRules rules = rules_;
    rules.pageBytes = kb * kKilobyte;
    if (rules.pageBytes <= rules.frameBytes) return false;
    const std::optional<std::vector<Span>> parts = Cutter(body_, rules).Greedy();
    return parts && Fits(*parts, rules.pageBytes);
  };
  std::size_t low = static_cast<std::size_t>(options_.maxKb);  // does not fit
  std::size_t high = low * 2 + 1;
  // One page holding everything always fits; doubling reaches it.
  while (!fits(high) && high < kLargestKb) {
    low = high;
    high *= 2;
  }
  while (high - low > 1) {
    const std::size_t middle = low + (high - low) / 2;
    (fits(middle) ? high : low) = middle;
  }
  return high;
}

ReaderBook ReaderBookMaker::Pages(const std::vector<Span>& parts) const {
  const int count = static_cast<int>(parts.size());
  ReaderBook book;
  std::vector<IndexEntry> entries;
  for (int part = 1; part <= count; ++part) {
    const Span span = parts[part - 1];
    const std::string heading = options_.titledIndex ? PartHeading(body_, span) : "";
    std::string body = body_.Standalone(span);
    if (notes_) body += notes_->For(span);
    book.parts.push_back(composer_.PartPage(part, count, heading, body));
    entries.push_back({heading, book.parts.back().size()});
  }
  if (count > 1) book.index = composer_.IndexPage(entries, rules_.pageBytes);
  return book;
}

}  // namespace

ReaderResult MakeReaderBook(BookBody book, const BookNames& names, const ReaderOptions& options) {
  return ReaderBookMaker(std::move(book), names, options).Make();
}

ReaderResult MakeReaderBook(std::string_view body, const BookNames& names,
                            const ReaderOptions& options) {
  return MakeReaderBook(BookBody{Balance(body, kBodyFontSize), std::nullopt}, names, options);
}

}  // namespace quillet::reader
