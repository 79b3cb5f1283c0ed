#include "converter/code_list.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <utility>

namespace quillet {
namespace {

constexpr std::array<CodeKind, 5> kKinds{CodeKind::kPendingInline, CodeKind::kPendingBlock,
                                         CodeKind::kOpenInline, CodeKind::kOpenBlock,
                                         CodeKind::kKilled};

std::size_t Index(CodeKind kind) {
  return static_cast<std::size_t>(kind);
}

// How far the walk from the innermost entry goes before the buckets are asked
// instead: what was committed last is nearly always what is looked for.
constexpr std::size_t kShortWalk = 16;

}  // namespace

std::string_view KindName(CodeKind kind) {
  constexpr std::array<std::string_view, kKinds.size()> kNames{"P", "PG", "A", "G", "K"};
  return kNames[Index(kind)];
}

CodeList::Bucket& CodeList::Members(Group& group, CodeKind kind) {
  return group.buckets[group.bucketOfKind[Index(kind)]];
}

const CodeList::Bucket& CodeList::Members(const Group& group, CodeKind kind) {
  return group.buckets[group.bucketOfKind[Index(kind)]];
}

const CodeList::Group* CodeList::GroupOf(std::string_view code) const {
  for (const Group& group : groups_) {
    if (group.code == code) return &group;
  }
  return nullptr;
}

CodeList::Group* CodeList::GroupOf(std::string_view code) {
  return const_cast<Group*>(std::as_const(*this).GroupOf(code));
}

const CodeList::Slot& CodeList::SlotOf(Id id) const {
  const auto at =
      std::lower_bound(slots_.begin(), slots_.end(), id,
                       [](const auto& entry, Id wanted) { return entry.first < wanted; });
  if (at == slots_.end() || at->first != id) throw std::out_of_range("no code list entry");
  return at->second;
}

CodeList::Slot& CodeList::SlotOf(Id id) {
  return const_cast<Slot&>(std::as_const(*this).SlotOf(id));
}

CodeKind CodeList::KindOf(const Slot& slot) const {
  return groups_[slot.group].kindOfBucket[slot.bucket];
}

void CodeList::MembershipChanged() {
  static std::atomic<std::uint64_t> changes{0};
  membership_ = ++changes;
}

void CodeList::clear() {
  slots_.clear();
  groups_.clear();
  kindCounts_ = {};
  MembershipChanged();
}

bool CodeList::Has(std::string_view code, KindSet kinds) const {
  const Group* group = GroupOf(code);
  if (group == nullptr) return false;
  return std::any_of(kKinds.begin(), kKinds.end(), [&](CodeKind kind) {
    return kinds.Has(kind) && !Members(*group, kind).empty();
  });
}

std::optional<CodeList::Id> CodeList::Outermost(KindSet kinds) const {
  std::optional<Id> outermost;
  for (CodeKind kind : kKinds) {
    if (!kinds.Has(kind) || kindCounts_[Index(kind)] == 0) continue;
    for (const Group& group : groups_) {
      const Bucket& members = Members(group, kind);
      if (!members.empty() && (!outermost || *members.begin() < *outermost)) {
        outermost = *members.begin();
      }
    }
  }
  return outermost;
}

// The lowest or the highest number in the buckets of `code`.
template <bool kInnermost>
std::optional<CodeList::Id> CodeList::EndOf(std::string_view code) const {
  const Group* group = GroupOf(code);
  std::optional<Id> end;
  if (group == nullptr) return end;
  for (const Bucket& members : group->buckets) {
    if (members.empty()) continue;
    const Id id = kInnermost ? *members.rbegin() : *members.begin();
    if (!end || (kInnermost ? id > *end : id < *end)) end = id;
  }
  return end;
}

std::optional<CodeList::Id> CodeList::OutermostOf(std::string_view code) const {
  return EndOf<false>(code);
}

std::optional<CodeList::Id> CodeList::InnermostOf(std::string_view code) const {
  return EndOf<true>(code);
}

CodeEntry CodeList::EntryOf(Id id) const {
  const Slot& slot = SlotOf(id);
  return {groups_[slot.group].code, slot.begCode, KindOf(slot)};
}

void CodeList::InnerThan(std::optional<Id> bound, KindSet kinds, std::size_t limit,
                         std::vector<Id>& ids) const {
  ids.clear();
  const std::size_t matching = Count(kinds);
  if (matching == 0) return;
  std::size_t walked = 0;
  for (auto at = slots_.rbegin(); at != slots_.rend(); ++at) {
    if (ids.size() == limit || ids.size() == matching || (bound && at->first <= *bound)) return;
    if (++walked > kShortWalk) {
      ids.clear();
      InnerThanByBuckets(bound, kinds, limit, ids);
      return;
    }
    if (kinds.Has(KindOf(at->second))) ids.push_back(at->first);
  }
}

void CodeList::InnerThanByBuckets(std::optional<Id> bound, KindSet kinds, std::size_t limit,
                                  std::vector<Id>& ids) const {
  // One cursor per matching bucket, each running from its innermost entry
  // outward; the innermost of all cursors goes next.
  struct Cursor {
    Bucket::const_reverse_iterator at;
    Bucket::const_reverse_iterator end;
  };
  std::vector<Cursor> cursors;
  for (const Group& group : groups_) {
    for (CodeKind kind : kKinds) {
      if (!kinds.Has(kind)) continue;
      const Bucket& members = Members(group, kind);
      const auto stop = std::make_reverse_iterator(
          bound ? std::upper_bound(members.begin(), members.end(), *bound) : members.begin());
      if (members.rbegin() != stop) cursors.push_back({members.rbegin(), stop});
    }
  }
  while (ids.size() < limit) {
    Cursor* next = nullptr;
    for (Cursor& cursor : cursors) {
      if (cursor.at != cursor.end && (next == nullptr || *cursor.at > *next->at)) next = &cursor;
    }
    if (next == nullptr) break;
    ids.push_back(*next->at);
    ++next->at;
  }
}

void CodeList::From(Id outermost, std::vector<Id>& ids) const {
  ids.clear();
  for (auto at = slots_.rbegin(); at != slots_.rend() && at->first >= outermost; ++at) {
    ids.push_back(at->first);
  }
}

void CodeList::PushInnermost(std::string code, std::string begCode, CodeKind kind) {
  const Id id = next_++;
  std::size_t group = 0;
  while (group < groups_.size() && groups_[group].code != code) ++group;
  if (group == groups_.size()) {
    groups_.push_back({std::move(code), {}, kKinds, {0, 1, 2, 3, 4}});
  }
  const std::size_t bucket = groups_[group].bucketOfKind[Index(kind)];
  groups_[group].buckets[bucket].push_back(id);  // the highest number yet
  ++kindCounts_[Index(kind)];
  slots_.emplace_back(id, Slot{group, bucket, std::move(begCode)});
  MembershipChanged();
}

void CodeList::SetKind(Id id, CodeKind kind) {
  Slot& slot = SlotOf(id);
  Group& group = groups_[slot.group];
  const std::size_t target = group.bucketOfKind[Index(kind)];
  if (slot.bucket == target) return;
  --kindCounts_[Index(KindOf(slot))];
  ++kindCounts_[Index(kind)];
  Bucket& source = group.buckets[slot.bucket];
  source.erase(std::lower_bound(source.begin(), source.end(), id));
  Bucket& members = group.buckets[target];
  members.insert(std::upper_bound(members.begin(), members.end(), id), id);
  slot.bucket = target;
}

void CodeList::MoveKind(Group& group, CodeKind from, CodeKind to) {
  std::size_t source = group.bucketOfKind[Index(from)];
  std::size_t target = group.bucketOfKind[Index(to)];
  const std::size_t moved = group.buckets[source].size();
  if (moved == 0 || source == target) return;
  kindCounts_[Index(from)] -= moved;
  kindCounts_[Index(to)] += moved;
  if (group.buckets[source].size() > group.buckets[target].size()) {
    // The larger bucket stays where it is and takes the new kind's name.
    std::swap(group.bucketOfKind[Index(from)], group.bucketOfKind[Index(to)]);
    group.kindOfBucket[source] = to;
    group.kindOfBucket[target] = from;
    std::swap(source, target);
  }
  for (Id id : group.buckets[source]) SlotOf(id).bucket = target;
  Bucket& members = group.buckets[target];
  const auto middle =
      members.insert(members.end(), group.buckets[source].begin(), group.buckets[source].end());
  std::inplace_merge(members.begin(), middle, members.end());
  group.buckets[source].clear();
}

void CodeList::Relabel(std::string_view code, KindSet from, CodeKind to) {
  const bool every = code == "*";
  Group* const only = every ? nullptr : GroupOf(code);
  if (!every && only == nullptr) return;
  for (CodeKind kind : kKinds) {
    if (kind == to || !from.Has(kind) || kindCounts_[Index(kind)] == 0) continue;
    if (every) {
      for (Group& group : groups_) {
        if (!Members(group, kind).empty()) MoveKind(group, kind, to);
      }
    } else {
      MoveKind(*only, kind, to);
    }
  }
}

void CodeList::EraseKind(CodeKind kind) {
  if (kindCounts_[Index(kind)] == 0) return;
  // Only the entries from the outermost one erased on move down.
  const Id outermost = *Outermost({kind});
  const auto first =
      std::lower_bound(slots_.begin(), slots_.end(), outermost,
                       [](const auto& entry, Id wanted) { return entry.first < wanted; });
  slots_.erase(std::remove_if(first, slots_.end(),
                              [&](const auto& entry) { return KindOf(entry.second) == kind; }),
               slots_.end());
  for (Group& group : groups_) Members(group, kind).clear();
  kindCounts_[Index(kind)] = 0;
  MembershipChanged();
}

}  // namespace quillet
