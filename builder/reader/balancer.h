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
  // Where each kNoteAnchor stood, in order: before the start tags of the text
  // that followed it.
  std::vector<std::size_t> anchors;

  // The state at a position between tags: the last change at or before it.
  std::uint32_t StateAt(std::size_t position) const;
  // Start tags that open the elements of a state, the outermost first.
  std::string OpeningTags(std::uint32_t state) const;
  // End tags that close them, the innermost first.
  std::string ClosingTags(std::uint32_t state) const;
};

// A character that no book holds (a Unicode noncharacter, as the converter
// writes it), put into a book to mark places the balancer reports and drops.
inline constexpr std::string_view kNoteAnchor = "&#64976;";
inline constexpr char16_t kNoteAnchorCharacter = u'\uFDD0';

// Font sizes above `defaultFontSize` (the size the converter leaves unwritten)
// count as larger than the body text.
BalancedBody Balance(std::string_view body, int defaultFontSize);

}  // namespace quillet::reader
