// Numbers as lists and notes show them, and the numbering of the paragraphs of
// an RTF list table, for documents whose writer left the numbers to the reader.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillet {

enum class NumberStyle : std::uint8_t {
  kDecimal,      // 1, 2, 3
  kDecimalZero,  // 01, 02, 03
  kLowerLetter,  // a, b, ... z, aa, ab
  kUpperLetter,  // A, B, ... Z, AA, AB
  kLowerRoman,   // i, ii, iii
  kUpperRoman,   // I, II, III
  kOrdinal,      // 1st, 2nd, 3rd
  kSymbols,      // *, †, ‡, §, **, ††, ...
  kBullet,       // no number: a bullet
  kNone,         // no number and no bullet
};

// The number in the style; letters and symbols from 1, roman numbers from 1 to
// 3999, decimal otherwise.
std::u16string FormatNumber(int number, NumberStyle style);

// The style of RTF's \levelnfc numbers (Word's number formats).
NumberStyle LevelNumberStyle(int level_format);

inline constexpr int kListLevels = 9;

// One level of an RTF list: how its paragraphs are numbered.
struct ListLevel {
  NumberStyle style = NumberStyle::kDecimal;
  int start = 1;
  // The level text: characters, with the units 0 to 8 standing for the
  // current number of that level ("\x00." is "1.", "\x00.\x01" is "1.2").
  std::u16string text = std::u16string(1, u'\0') + u".";
  std::u16string follow = u"\t";  // after the number: a tab, a space or nothing
  bool restarts = true;           // after a number of a level above it
};

// What goes in front of a list paragraph.
struct ListMarker {
  enum class Kind : std::uint8_t { kUnknown, kNone, kBullet, kNumber };
  Kind kind = Kind::kUnknown;
  std::u16string text;  // the number text, with what follows it
};

// The lists of an RTF document (\listtable), the overrides paragraphs name
// with \ls (\listoverridetable), and the numbers reached so far. Overrides of
// one list share its numbers, as in the word processors that write them; an
// override that starts a level at a number of its own restarts it there.
class ListNumbering {
 public:
  void AddList(int list_id, std::vector<ListLevel> levels);
  // `starts`: the levels the override starts anew, with their first numbers.
  void AddOverride(int override_number, int list_id, std::vector<std::pair<int, int>> starts = {});

  // The marker of the next paragraph of override \ls `override_number` at
  // level `level`, counted; kUnknown for an override or list not defined.
  ListMarker Next(int override_number, int level);

 private:
  struct List {
    std::vector<ListLevel> levels;
    std::array<int, kListLevels> numbers{};
    std::array<bool, kListLevels> started{};
  };
  struct Override {
    int list_id = 0;
    std::vector<std::pair<int, int>> starts;
    bool used = false;
  };
  std::u16string Text(const List& list, const ListLevel& level) const;

  std::unordered_map<int, List> lists_;
  std::unordered_map<int, Override> overrides_;
};

}  // namespace quillet
