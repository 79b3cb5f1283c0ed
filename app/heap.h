// The command-line program's heap, made ready for reading a big book.
#pragma once

#include <cstddef>

namespace quillet::app {

// While it lives, the heap has grown by about `bytes` in one step and the
// kernel is asked to back that with 2 MB pages, as glibc's own
// glibc.malloc.hugetlb=1 setting does for a whole process (that one is only
// read when a process starts). A big book's document is made of many small
// pieces, and faulting them in 4 KB at a time was a quarter of reading one.
// When it ends, the heap grows as before. Nothing is done below a few MB, or
// where glibc's allocator does not take the setting (another allocator, a
// sanitizer's).
class HeapForBook {
 public:
  explicit HeapForBook(std::size_t bytes);
  ~HeapForBook();
  HeapForBook(const HeapForBook&) = delete;
  HeapForBook& operator=(const HeapForBook&) = delete;

 private:
  bool padded_ = false;
};

}  // namespace quillet::app
