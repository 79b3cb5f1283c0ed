// The committed elements of the converter, innermost first, indexed by closing
// tag and kind, so that what the translation asks before every token costs the
// same however many elements are open.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/position_iterator.h"

namespace quillet {

// The state of a committed element.
enum class CodeKind {
  kPendingInline,  // inline element, opening tag not written yet
  kPendingBlock,   // block element (list item, alignment table), opening tag not written yet
  kOpenInline,     // inline element, open
  kOpenBlock,      // block element, open; survives a group end and "\plain"
  kKilled,         // to be closed before the next text, then removed
};
// The short name the debug trace shows: "P", "PG", "A", "G" or "K".
std::string_view KindName(CodeKind kind);

// A set of kinds, one bit per kind.
class KindSet {
 public:
  constexpr KindSet() = default;
  constexpr KindSet(std::initializer_list<CodeKind> kinds) {
    for (CodeKind kind : kinds) bits_ |= Bit(kind);
  }
  static constexpr KindSet All() {
    return KindSet({CodeKind::kPendingInline, CodeKind::kPendingBlock, CodeKind::kOpenInline,
                    CodeKind::kOpenBlock, CodeKind::kKilled});
  }
  constexpr bool Has(CodeKind kind) const { return (bits_ & Bit(kind)) != 0; }
  constexpr KindSet Without(CodeKind kind) const {
    KindSet rest = *this;
    rest.bits_ &= static_cast<std::uint8_t>(~Bit(kind));
    return rest;
  }

 private:
  static constexpr std::uint8_t Bit(CodeKind kind) {
    return static_cast<std::uint8_t>(1U << static_cast<unsigned>(kind));
  }
  std::uint8_t bits_ = 0;
};

// One committed element: its closing tag (the element's identity), its opening
// tag and its kind.
struct CodeEntry {
  std::string code;
  std::string begCode;
  CodeKind kind = CodeKind::kPendingInline;
  bool operator==(const CodeEntry&) const = default;
};

// Entries are numbered in the order they were committed, which is their
// nesting order: a higher number is further in. Each closing tag keeps its
// entries in five buckets, one per kind, each a sorted vector of numbers.
// Changing the kind of every entry of a tag merges buckets, the smaller into
// the larger, and the larger just takes the new kind's name: only the smaller
// one's entries are renamed, and the merge is one pass over plain numbers.
class CodeList {
 public:
  using Id = std::uint64_t;

 private:
  struct Slot {
    std::size_t group;
    std::size_t bucket;
    std::string begCode;
  };
  // Numbers only grow, so a vector in commit order stays sorted: lookups are
  // binary searches and a push costs no node allocation.
  using Slots = std::vector<std::pair<Id, Slot>>;
  using Bucket = std::vector<Id>;  // sorted

 public:
  // Reading, innermost first, as a list of entries.
  using const_iterator = PositionIterator<const CodeList*>;
  using iterator = const_iterator;

  CodeList() = default;
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }
  std::size_t size() const { return slots_.size(); }
  bool empty() const { return slots_.empty(); }
  CodeEntry operator[](std::size_t index) const {  // from the innermost
    return EntryOf(slots_[slots_.size() - 1 - index].first);
  }
  CodeEntry back() const { return EntryOf(slots_.begin()->first); }  // the outermost
  void clear();
  // Changes whenever an entry comes or goes (not when a kind changes), to a
  // number no other change of any list had: lists with the same number hold
  // the same entries.
  std::uint64_t Membership() const { return membership_; }

  // Questions.
  bool Has(std::string_view code, KindSet kinds) const;
  // Asked before nearly every text, always of a constant set: inline, it folds to a few additions.
  std::size_t Count(KindSet kinds) const {
    std::size_t count = 0;
    for (std::size_t kind = 0; kind < kindCounts_.size(); ++kind) {
      if (kinds.Has(static_cast<CodeKind>(kind))) count += kindCounts_[kind];
    }
    return count;
  }
  std::optional<Id> Outermost(KindSet kinds) const;
  std::optional<Id> OutermostOf(std::string_view code) const;
  std::optional<Id> InnermostOf(std::string_view code) const;
  CodeEntry EntryOf(Id id) const;
  CodeKind KindOf(Id id) const { return KindOf(SlotOf(id)); }
  const std::string& CodeOf(Id id) const { return groups_[SlotOf(id).group].code; }
  const std::string& BegCodeOf(Id id) const { return SlotOf(id).begCode; }
  // Entries further in than `bound` (all with none) whose kind is in `kinds`,
  // innermost first, at most `limit` of them. They replace what `ids` held, so
  // a caller that asks often keeps one vector's room.
  void InnerThan(std::optional<Id> bound, KindSet kinds, std::size_t limit,
                 std::vector<Id>& ids) const;
  // Every entry from the innermost out to `outermost`, innermost first, into `ids`.
  void From(Id outermost, std::vector<Id>& ids) const;

  // Changes.
  void PushInnermost(std::string code, std::string begCode, CodeKind kind);
  void SetKind(Id id, CodeKind kind);
  // Every entry of `code` ("*": of every code) whose kind is in `from` becomes `to`.
  void Relabel(std::string_view code, KindSet from, CodeKind to);
  void EraseKind(CodeKind kind);

 private:
  struct Group {
    std::string code;
    std::array<Bucket, 5> buckets;
    std::array<CodeKind, 5> kindOfBucket;
    std::array<std::size_t, 5> bucketOfKind;
  };
  const Slot& SlotOf(Id id) const;
  Slot& SlotOf(Id id);
  static Bucket& Members(Group& group, CodeKind kind);
  static const Bucket& Members(const Group& group, CodeKind kind);
  const Group* GroupOf(std::string_view code) const;
  Group* GroupOf(std::string_view code);
  // The outermost or the innermost entry of `code`.
  template <bool kInnermost>
  std::optional<Id> EndOf(std::string_view code) const;
  CodeKind KindOf(const Slot& slot) const;
  void MoveKind(Group& group, CodeKind from, CodeKind to);
  void InnerThanByBuckets(std::optional<Id> bound, KindSet kinds, std::size_t limit,
                          std::vector<Id>& ids) const;

  Slots slots_;
  // One group per closing tag: the translation uses a handful of them.
  std::vector<Group> groups_;
  std::array<std::size_t, 5> kindCounts_{};
  Id next_ = 1;
  std::uint64_t membership_ = 0;
  void MembershipChanged();
};

}  // namespace quillet
