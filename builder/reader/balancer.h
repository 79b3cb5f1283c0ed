// The balancer: the converter's body made well-formed in one pass, with what
// the cutter needs to close a page anywhere and open the next one.
//
// Stray end tags are dropped; an end tag that meets elements opened after its
// own closes them and opens them again behind it; an element is written only
// once text comes (so none is empty) and one nested in an identical open
// element is not written again; formatting open around a table or list item
// is closed before it and opened again inside; runs of list items get a list
// around them. The text, its order and its formatting stay as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "builder/reader/body_tokens.h"

namespace quillet::reader {

// A stretch of the balanced body, as byte offsets.
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// A stretch of visible text, and whether a line break or blank text stands
// between it and the text before it.
struct TextRun {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool spaceBefore = false;
};

struct BalancedBody {
  // Elements open at some point of the body, as a tree: a state is its
  // parent with one more element inside.
  struct State {
    std::uint32_t parent = 0;
    std::uint32_t tag = 0;
    std::size_t openBytes = 0;   // length of the start tags from the outermost in
    std::size_t closeBytes = 0;  // length of the end tags from the innermost out
  };
  // Every written tag that opens or closes an element: from `tagEnd` on, until
  // the next change, the elements of `state` are open.
  struct Change {
    std::size_t tagStart = 0;
    std::size_t tagEnd = 0;
    std::uint32_t state = 0;
  };

  std::string html;
  std::vector<Change> changes;
  std::vector<State> states{State{}};  // states[0]: nothing open
  std::vector<std::string> startTags;  // by State::tag
  std::vector<Element> tagElements;    // by State::tag
  // Short paragraphs that are bold, larger than the body text or centred.
  std::vector<Span> headings;
  // One past the last visible character; nothing but markup follows it.
  std::size_t textEnd = 0;
  // Every stretch of visible text, in order: what titles are made of.
  std::vector<TextRun> texts;

  // The state at a position between tags: the last change at or before it.
  std::uint32_t StateAt(std::size_t position) const;
  // Start tags that open the elements of a state, the outermost first.
  std::string OpeningTags(std::uint32_t state) const;
  // End tags that close them, the innermost first.
  std::string ClosingTags(std::uint32_t state) const;
  // A stretch as markup of its own: what is open at its start opened again,
  // what is open at its end closed.
  std::string Standalone(Span span) const;
};

// Balances a body as its tokens come. Font sizes above `defaultFontSize` (the
// size the converter leaves unwritten) count as larger than the body text.
class Balancer {
 public:
  Balancer(std::size_t expectedBytes, int defaultFontSize);
  ~Balancer();
  Balancer(const Balancer&) = delete;
  Balancer& operator=(const Balancer&) = delete;

  void Add(const BodyToken& token);
  // Bytes of the balanced body so far, and one past its last visible character.
  std::size_t Size() const;
  std::size_t TextEnd() const;
  BalancedBody Finish();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// A body written as HTML, balanced: for bodies that come as text (tests, benchmarks).
BalancedBody Balance(std::string_view body, int defaultFontSize);

}  // namespace quillet::reader
