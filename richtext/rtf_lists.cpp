#include "richtext/rtf_lists.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "richtext/ascii.h"

namespace quillet::rtf {

namespace {

// Texts that go in front of every paragraph of a list are short: a longer one
// is cut, so that no list can repeat a long text in front of each paragraph.
void AppendShort(std::u16string& to, std::u16string_view text) {
  constexpr std::size_t kLongest = 64;
  to.append(text.substr(0, kLongest - std::min(to.size(), kLongest)));
}

}  // namespace

bool IsNumberMarker(std::u16string_view marker) {
  while (!marker.empty() && (marker.back() == u'\t' || marker.back() == u' ')) {
    marker.remove_suffix(1);
  }
  if (marker.empty()) return false;
  if (marker.back() == u'.' || marker.back() == u')') return true;
  return std::any_of(marker.begin(), marker.end(),
                     [](char16_t c) { return c < 0x80 && IsAsciiDigit(static_cast<char>(c)); });
}

Destination Lists::PartParent(Destination part) {
  switch (part) {
    case Destination::kListTable:
      return Destination::kText;
    case Destination::kList:
    case Destination::kListOverride:
      return Destination::kListTable;
    case Destination::kListLevel:
      return Destination::kList;
    case Destination::kLevelText:
    case Destination::kLevelNumbers:
      return Destination::kListLevel;
    case Destination::kOverrideLevel:
      return Destination::kListOverride;
    default:
      return Destination::kSkip;
  }
}

void Lists::StartPart(Destination part) {
  switch (part) {
    case Destination::kList:
      list_id_ = 0;
      list_levels_.clear();
      break;
    case Destination::kListLevel:
      list_level_ = ListLevel{};
      level_text_.clear();
      level_numbers_.clear();
      break;
    case Destination::kLevelText:
      level_text_.clear();
      break;
    case Destination::kLevelNumbers:
      level_numbers_.clear();
      break;
    case Destination::kListOverride:
      list_id_ = override_number_ = override_levels_ = 0;
      override_starts_.clear();
      break;
    case Destination::kOverrideLevel:
      override_restarts_ = false;
      override_start_ = 1;
      break;
    default:
      break;
  }
}

void Lists::EndPart(Destination part) {
  switch (part) {
    case Destination::kListLevel:
      CommitListLevel();
      break;
    case Destination::kList:
      lists_.AddList(list_id_, std::move(list_levels_));
      list_levels_.clear();
      break;
    case Destination::kOverrideLevel:
      CommitOverrideLevel();
      break;
    case Destination::kListOverride:
      lists_.AddOverride(override_number_, list_id_, std::move(override_starts_));
      override_starts_.clear();
      break;
    default:
      break;
  }
}

void Lists::SetListId(Destination where, int id) {
  if (where == Destination::kList || where == Destination::kListOverride) list_id_ = id;
}

void Lists::SetLevelStyle(Destination where, int level_format) {
  if (where == Destination::kListLevel) list_level_.style = LevelNumberStyle(level_format);
}

void Lists::SetLevelStart(Destination where, int start) {
  if (where == Destination::kListLevel) list_level_.start = start;
  if (where == Destination::kOverrideLevel) override_start_ = start;
}

void Lists::SetLevelFollow(Destination where, int follow) {
  if (where != Destination::kListLevel) return;
  list_level_.follow = follow == 1 ? u" " : follow == 2 ? u"" : u"\t";
}

void Lists::SetLevelNoRestart(Destination where, bool no_restart) {
  if (where == Destination::kListLevel) list_level_.restarts = !no_restart;
}

void Lists::SetOverrideStarts(Destination where) {
  if (where == Destination::kOverrideLevel) override_restarts_ = true;
}

void Lists::AppendLevelByte(Destination where, char16_t unit) {
  AppendShort(where == Destination::kLevelText ? level_text_ : level_numbers_, {&unit, 1});
}

void Lists::AppendText(Destination where, std::u16string_view text) {
  switch (where) {
    case Destination::kNumberBefore:
      AppendShort(old_numbering_.before, text);
      return;
    case Destination::kNumberAfter:
      AppendShort(old_numbering_.after, text);
      return;
    case Destination::kLevelText:
      AppendShort(level_text_, text);
      return;
    default:
      return;
  }
}

int Lists::EndOldNumbering() {
  old_numberings_.push_back(std::move(old_numbering_));
  return static_cast<int>(old_numberings_.size() - 1);
}

ListMarker Lists::Next(const ListProperties& list) {
  if (list.list_override > 0) {
    ListMarker marker = lists_.Next(list.list_override, list.list_level);
    if (marker.kind != ListMarker::Kind::kUnknown) {
      old_sequence_.numbering = -1;
      return marker;
    }
  }
  if (list.old_numbering >= 0) return NextOldNumber(list.old_numbering);
  old_sequence_.numbering = -1;
  return {};
}

// Old-style numbers count on over paragraphs numbered alike, and start again
// after any other paragraph but a continuation of an item.
ListMarker Lists::NextOldNumber(int numbering) {
  const OldNumbering& format = old_numberings_[static_cast<std::size_t>(numbering)];
  switch (format.level) {
    case OldNumbering::Level::kBullet:
      old_sequence_.numbering = -1;
      return {ListMarker::Kind::kBullet, {}};
    case OldNumbering::Level::kContinue:
      return {ListMarker::Kind::kNone, {}};
    case OldNumbering::Level::kNone:
      old_sequence_.numbering = -1;
      return {};
    case OldNumbering::Level::kBody:
      break;
  }
  const bool counts_on =
      old_sequence_.numbering >= 0 &&
      old_numberings_[static_cast<std::size_t>(old_sequence_.numbering)].SameNumbers(format);
  int& number = old_sequence_.number;
  number = !counts_on ? format.start : number < INT_MAX ? number + 1 : number;
  old_sequence_.numbering = numbering;
  return {ListMarker::Kind::kNumber,
          format.before + FormatNumber(number, format.style) + format.after + u"\t"};
}

// A level's text is its length, then characters and placeholders; \levelnumbers
// says where the placeholders stand (from 1, past the length). Without it, every
// unit below kListLevels is one.
void Lists::CommitListLevel() {
  ListLevel& level = list_level_;
  const auto index = static_cast<char16_t>(list_levels_.size());
  if (level_text_.empty()) {
    level.text = std::u16string(1, index) + u".";
  } else {
    const std::size_t length = std::min<std::size_t>(level_text_[0], level_text_.size() - 1);
    std::vector<bool> placeholders(length + 1, false);
    for (char16_t position : level_numbers_) {
      if (position <= length) placeholders[position] = true;
    }
    level.text.clear();
    for (std::size_t i = 1; i <= length; ++i) {
      const char16_t c = level_text_[i];
      const bool placeholder = level_numbers_.empty() ? c < kListLevels : placeholders[i];
      if (placeholder ? c < kListLevels : c >= 0x20 || c == u'\t') level.text += c;
    }
  }
  if (list_levels_.size() < kListLevels) list_levels_.push_back(std::move(level));
  list_level_ = ListLevel{};
  level_text_.clear();
  level_numbers_.clear();
}

// The \lfolevel groups of an override stand for its levels in order.
void Lists::CommitOverrideLevel() {
  if (override_restarts_) override_starts_.emplace_back(override_levels_, override_start_);
  override_restarts_ = false;
  override_start_ = 1;
  ++override_levels_;
}

}  // namespace quillet::rtf
