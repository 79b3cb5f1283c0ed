// What an RTF group carries while it is read: where its text goes, and its
// character and paragraph format. Internal to the RTF reader.
#pragma once

#include <cstdint>

#include "richtext/document.h"

namespace quillet::rtf {

enum class Destination : std::uint8_t {
  kText,
  kSkip,  // ignored with everything nested in it
  kFontTable,
  kColorTable,
  kListMarker,  // \pntext or \listtext: the bullet or number in front of a list item
  // The list table: its lists, their levels with their texts, and the overrides.
  kListTable,
  kList,
  kListLevel,
  kLevelText,
  kLevelNumbers,
  kListOverride,
  kOverrideLevel,
  // \pn: a paragraph's old-style numbering, with the texts before and after the number.
  kOldNumbering,
  kNumberBefore,
  kNumberAfter,
  kNoteMark,  // our own note group: the mark of the note
};

// Character format as the reader tracks it: fonts and colours by table number.
struct TextFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  VerticalPosition vertical = VerticalPosition::kBaseline;
  int color = 0;
  int size = kDefaultSizeHalfPoints;
  int font = -1;  // -1: the document's default font
  bool operator==(const TextFormat&) const = default;
};

// How a paragraph's list number or bullet is found when no list text gives it.
struct ListProperties {
  int list_override = 0;
  int list_level = 0;
  int old_numbering = -1;
};

struct GroupState {
  Destination destination = Destination::kText;
  TextFormat format;
  int unicode_skip = 1;  // \uc: fallback characters that follow a \u
  Alignment alignment = Alignment::kLeft;
  bool in_list = false;    // \ls or \pnlvlblt in the paragraph format
  bool in_table = false;   // \intbl: paragraph ends inside a cell are line breaks
  int list_override = 0;   // \ls
  int list_level = 0;      // \ilvl
  int old_numbering = -1;  // \pn, as an index into the reader's old-style numberings

  ListProperties List() const { return {list_override, list_level, old_numbering}; }
};

}  // namespace quillet::rtf
