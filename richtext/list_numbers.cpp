#include "richtext/list_numbers.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace quillet {

namespace {

std::u16string Ascii(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

// Letters count on past z as aa, ab, ... (bijective base 26), as HTML lists do.
std::u16string Letters(int number, char16_t a) {
  std::u16string text;
  for (int n = number; n > 0; n = (n - 1) / 26) text += static_cast<char16_t>(a + (n - 1) % 26);
  std::reverse(text.begin(), text.end());
  return text;
}

std::u16string Roman(int number, bool upper) {
  constexpr std::pair<int, std::string_view> kRoman[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
  std::u16string text;
  for (int n = number; n > 0;) {
    for (const auto& [value, digits] : kRoman) {
      if (n < value) continue;
      text += Ascii(digits);
      n -= value;
      break;
    }
  }
  if (upper) {
    for (char16_t& c : text) c = static_cast<char16_t>(c - 32);
  }
  return text;
}

std::u16string Ordinal(int number) {
  const int tens = number % 100;
  const int units = number % 10;
  std::string_view suffix = "th";
  if (tens < 11 || tens > 13) {
    if (units == 1) suffix = "st";
    if (units == 2) suffix = "nd";
    if (units == 3) suffix = "rd";
  }
  return Ascii(std::to_string(number)) + Ascii(suffix);
}

// Footnote symbols, each doubled, then tripled, on the next rounds.
std::u16string Symbols(int number) {
  constexpr char16_t kSymbols[] = {u'*', u'\u2020', u'\u2021', u'\u00A7'};
  constexpr int kLongest = 16;
  const int round = std::min((number - 1) / 4 + 1, kLongest);
  return std::u16string(static_cast<std::size_t>(round), kSymbols[(number - 1) % 4]);
}

}  // namespace

std::u16string FormatNumber(int number, NumberStyle style) {
  const bool positive = number > 0;
  switch (style) {
    case NumberStyle::kLowerLetter:
    case NumberStyle::kUpperLetter:
      if (positive) return Letters(number, style == NumberStyle::kLowerLetter ? u'a' : u'A');
      break;
    case NumberStyle::kLowerRoman:
    case NumberStyle::kUpperRoman:
      if (positive && number < 4000) return Roman(number, style == NumberStyle::kUpperRoman);
      break;
    case NumberStyle::kOrdinal:
      if (positive) return Ordinal(number);
      break;
    case NumberStyle::kSymbols:
      if (positive) return Symbols(number);
      break;
    case NumberStyle::kDecimalZero:
      if (number >= 0 && number < 10) return u"0" + Ascii(std::to_string(number));
      break;
    default:
      break;
  }
  return Ascii(std::to_string(number));
}

NumberStyle LevelNumberStyle(int level_format) {
  switch (level_format) {
    case 1:
      return NumberStyle::kUpperRoman;
    case 2:
      return NumberStyle::kLowerRoman;
    case 3:
      return NumberStyle::kUpperLetter;
    case 4:
      return NumberStyle::kLowerLetter;
    case 5:
      return NumberStyle::kOrdinal;
    case 22:
      return NumberStyle::kDecimalZero;
    case 23:
      return NumberStyle::kBullet;
    case 255:
      return NumberStyle::kNone;
    default:  // decimal, and the scripts' own numbers, which are read as decimal
      return NumberStyle::kDecimal;
  }
}

void ListNumbering::AddList(int list_id, std::vector<ListLevel> levels) {
  if (levels.size() > kListLevels) levels.resize(kListLevels);
  lists_[list_id] = List{std::move(levels), {}, {}};
}

void ListNumbering::AddOverride(int override_number, int list_id,
                                std::vector<std::pair<int, int>> starts) {
  overrides_[override_number] = Override{list_id, std::move(starts), false};
}

ListMarker ListNumbering::Next(int override_number, int level) {
  const auto override_found = overrides_.find(override_number);
  if (override_found == overrides_.end()) return {};
  Override& override = override_found->second;
  const auto list_found = lists_.find(override.list_id);
  if (list_found == lists_.end() || list_found->second.levels.empty()) return {};
  List& list = list_found->second;
  const auto at =
      static_cast<std::size_t>(std::clamp(level, 0, static_cast<int>(list.levels.size()) - 1));
  if (!override.used) {
    override.used = true;
    for (const auto& [restarted, start] : override.starts) {
      if (restarted < 0 || restarted >= kListLevels) continue;
      list.numbers[static_cast<std::size_t>(restarted)] = start == INT_MIN ? start : start - 1;
      list.started[static_cast<std::size_t>(restarted)] = true;
    }
  }
  int& number = list.numbers[at];
  number = !list.started[at] ? list.levels[at].start : number < INT_MAX ? number + 1 : number;
  list.started[at] = true;
  for (std::size_t deeper = at + 1; deeper < kListLevels; ++deeper) {
    if (deeper >= list.levels.size() || list.levels[deeper].restarts) list.started[deeper] = false;
  }
  const ListLevel& format = list.levels[at];
  if (format.style == NumberStyle::kBullet) return {ListMarker::Kind::kBullet, {}};
  if (format.style == NumberStyle::kNone) return {ListMarker::Kind::kNone, {}};
  return {ListMarker::Kind::kNumber, Text(list, format) + format.follow};
}

std::u16string ListNumbering::Text(const List& list, const ListLevel& level) const {
  std::u16string text;
  for (char16_t c : level.text) {
    if (c >= kListLevels) {
      text += c;
      continue;
    }
    const bool defined = c < list.levels.size();
    const int number = list.started[c] ? list.numbers[c] : defined ? list.levels[c].start : 1;
    NumberStyle style = defined ? list.levels[c].style : NumberStyle::kDecimal;
    if (style == NumberStyle::kBullet || style == NumberStyle::kNone) style = NumberStyle::kDecimal;
    text += FormatNumber(number, style);
  }
  return text;
}

}  // namespace quillet
