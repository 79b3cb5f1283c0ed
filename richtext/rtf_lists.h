// The numbers of RTF list paragraphs that the writer left to the reader, in
// both schemes: the list table (\listtable, \listoverridetable, and \ls with
// \ilvl on a paragraph), and old-style numbering (\pn on each paragraph).
// Internal to the RTF reader, which hands each part of these groups here along
// with the destination it stands in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "richtext/list_numbers.h"
#include "richtext/rtf_group_state.h"

namespace quillet::rtf {

// A list marker with a digit, or ending in "." or ")", numbers its item; any other marks a bullet.
bool IsNumberMarker(std::u16string_view marker);

class Lists {
 public:
  // Old-style paragraph numbering (\pn).
  struct OldNumbering {
    enum class Level : std::uint8_t { kNone, kBody, kBullet, kContinue };
    Level level = Level::kNone;
    NumberStyle style = NumberStyle::kDecimal;
    int start = 1;
    std::u16string before;  // \pntxtb
    std::u16string after;   // \pntxta
    bool SameNumbers(const OldNumbering& other) const {
      return style == other.style && before == other.before && after == other.after;
    }
  };
  // A run of numbered old-style paragraphs, which counts on while their numbers look alike.
  struct OldSequence {
    int numbering = -1;  // the last paragraph's, or -1 when the run is broken
    int number = 0;
  };

  // The group each part of the list table stands in.
  static Destination PartParent(Destination part);

  // A group of the list table opens (`part`) or closes.
  void StartPart(Destination part);
  void EndPart(Destination part);
  // Words inside the list table; each acts only in the part `where` it belongs to.
  void SetListId(Destination where, int id);
  void SetOverrideNumber(int number) { override_number_ = number; }
  void SetLevelStyle(Destination where, int level_format);
  void SetLevelStart(Destination where, int start);
  void SetLevelFollow(Destination where, int follow);
  void SetLevelNoRestart(Destination where, bool no_restart);
  void SetOverrideStarts(Destination where);
  // Text of a level (its bytes below 0x80 one by one), or before or after an old-style number.
  void AppendLevelByte(Destination where, char16_t unit);
  void AppendText(Destination where, std::u16string_view text);

  // An old-style numbering group opens, its words set it, and it closes into
  // the number that the paragraph format keeps.
  void StartOldNumbering() { old_numbering_ = OldNumbering{}; }
  void SetOldLevel(OldNumbering::Level level) { old_numbering_.level = level; }
  void SetOldStyle(NumberStyle style) { old_numbering_.style = style; }
  void SetOldStart(int start) { old_numbering_.start = start; }
  int EndOldNumbering();

  // The marker of the next paragraph of the list, counted.
  ListMarker Next(const ListProperties& list);

  // A note or a text box numbers its paragraphs apart from the text it interrupts.
  OldSequence TakeSequence() { return std::exchange(old_sequence_, {}); }
  void RestoreSequence(const OldSequence& sequence) { old_sequence_ = sequence; }

 private:
  ListMarker NextOldNumber(int numbering);
  void CommitListLevel();
  void CommitOverrideLevel();

  // The list table being read, and the numbers of its lists.
  ListNumbering lists_;
  int list_id_ = 0;
  std::vector<ListLevel> list_levels_;
  ListLevel list_level_;
  std::u16string level_text_;
  std::u16string level_numbers_;
  int override_number_ = 0;
  std::vector<std::pair<int, int>> override_starts_;
  int override_levels_ = 0;
  bool override_restarts_ = false;
  int override_start_ = 1;
  // Old-style numberings, the one being read, and the run being counted.
  std::vector<OldNumbering> old_numberings_;
  OldNumbering old_numbering_;
  OldSequence old_sequence_;
};

}  // namespace quillet::rtf
