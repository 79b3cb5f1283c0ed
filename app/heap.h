// The command-line program's heap, made ready for a big book.
#pragma once

#include <cstddef>

namespace quillet::app {

// Grows the heap by about `bytes` in one step and asks the kernel to back it
// with 2 MB pages, as glibc's glibc.malloc.hugetlb=1 setting does for a whole
// process: a big book's document is made of many small pieces, and faulting
// them in 4 KB at a time was a quarter of reading one. Below a few MB, and
// where the allocator is not glibc's, nothing is done. The heap is then kept
// at that size until the program ends, so only short runs call this.
void ReadyHeapFor(std::size_t bytes);

}  // namespace quillet::app
