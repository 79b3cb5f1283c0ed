// Where the balanced body is cut into parts: under a page budget, into about
// equal parts, and at clean places (a paragraph end, else a sentence end, else
// a space) when asked.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "builder/reader/balancer.h"

namespace quillet::reader {

// The notes that end the parts: a part's page also holds `headingBytes` and
// the notes cited in it. Each citation counts, so a note cited twice in a part
// is reckoned twice: never more than the budget.
struct CitedNotes {
  std::vector<std::size_t> anchors;      // where each citation stands in the body, in order
  std::vector<std::size_t> bytesBefore;  // bytes of the notes cited before each, then the sum
  std::size_t headingBytes = 0;          // the line over a part's notes

  // What the notes cited in [begin, end) add to a page.
  std::size_t BytesIn(std::size_t begin, std::size_t end) const;
};

struct CutRules {
  std::size_t pageBytes = 0;   // every page at most this long; 0: no budget
  std::size_t frameBytes = 0;  // the most a page holds besides its body
  int partCount = 1;           // at least this many parts, about equal
  int maxParts = 999;
  bool cleanCuts = false;
  const CitedNotes* notes = nullptr;  // none: parts end with no notes
};

class Cutter {
 public:
  Cutter(const BalancedBody& body, const CutRules& rules) : body_(body), rules_(rules) {}

  // The parts the rules ask for: the fewest under the budget, at least
  // `partCount`, about equal. Fewer than `partCount` only when the text has
  // no more places to cut; nothing when no layout keeps to the budget within
  // `maxParts`.
  std::optional<std::vector<Span>> Cut() const;
  // Each part as long as the budget allows: the fewest parts.
  std::optional<std::vector<Span>> Greedy() const { return Layout(0); }

  // Bytes a part takes in its page: the elements opened again before it, its
  // stretch of the body, and the end tags that close it.
  std::size_t BodyBytes(Span part) const;

 private:
  // `count` parts of about equal length, or greedy ones for 0.
  std::optional<std::vector<Span>> Layout(int count) const;
  std::optional<std::size_t> MaxFit(std::size_t begin) const;
  std::optional<std::size_t> MaxFitWithNotes(std::size_t begin, std::size_t room,
                                             const CitedNotes& notes) const;
  std::optional<std::size_t> MaxFitInRoom(std::size_t begin, std::size_t room) const;
  std::optional<std::size_t> ChooseCut(std::size_t begin, std::size_t target,
                                       std::size_t hardEnd) const;
  std::optional<std::size_t> CleanCut(std::size_t begin, std::size_t visible, std::size_t target,
                                      std::size_t hardEnd) const;
  std::size_t ValidBefore(std::size_t position, std::size_t floor) const;
  std::size_t PastEndTags(std::size_t position) const;
  std::optional<std::size_t> FirstVisible(std::size_t from, std::size_t limit) const;

  const BalancedBody& body_;
  CutRules rules_;
};

}  // namespace quillet::reader
