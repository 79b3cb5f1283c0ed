// An iterator over a sequence whose elements are made when asked for (a run
// of a paragraph, an entry of a code list): it keeps a position and hands out
// `sequence[position]` by value, as there is no element in memory to point at.
#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>
#include <utility>

namespace quillet {

// `Sequence` is what the iterator keeps: a small view, by value, so that the
// iterator outlives a view made for one loop, or a pointer to a container.
template <typename Sequence>
decltype(auto) ElementAt(const Sequence& sequence, std::size_t position) {
  if constexpr (std::is_pointer_v<Sequence>) {
    return (*sequence)[position];
  } else {
    return sequence[position];
  }
}

template <typename Sequence>
class PositionIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = decltype(ElementAt(std::declval<const Sequence&>(), 0));
  using difference_type = std::ptrdiff_t;
  using pointer = void;
  using reference = value_type;

  PositionIterator(Sequence sequence, std::size_t position)
      : sequence_(std::move(sequence)), position_(position) {}
  reference operator*() const { return ElementAt(sequence_, position_); }
  PositionIterator& operator++() {
    ++position_;
    return *this;
  }
  bool operator==(const PositionIterator& other) const { return position_ == other.position_; }

 private:
  Sequence sequence_;
  std::size_t position_;
};

}  // namespace quillet
