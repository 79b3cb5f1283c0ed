#include "app/heap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// glibc's allocator, and a kernel that takes advice on huge pages; the
// sanitizers bring an allocator of their own.
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE) && !defined(__SANITIZE_ADDRESS__)
#define QUILLET_HEAP_IN_HUGE_PAGES 1
#endif

namespace quillet::app {

#ifdef QUILLET_HEAP_IN_HUGE_PAGES
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;

std::uintptr_t Break() {
  return reinterpret_cast<std::uintptr_t>(::sbrk(0));
}

// Takes blocks small enough to come from the heap until the heap has to grow,
// which it then does by the block and the pad, and gives them back.
void GrowHeap() {
  constexpr std::size_t kBlock = std::size_t{64} << 10;  // below glibc's least mmap threshold
  std::array<void*, 64> blocks{};
  const std::uintptr_t before = Break();
  std::size_t taken = 0;
  while (taken < blocks.size() && Break() == before) {
    blocks[taken] = std::malloc(kBlock);
    if (blocks[taken++] == nullptr) break;
  }
  for (std::size_t i = 0; i < taken; ++i) std::free(blocks[i]);
}

}  // namespace
#endif

void ReadyHeapFor(std::size_t bytes) {
#ifdef QUILLET_HEAP_IN_HUGE_PAGES
  constexpr std::size_t kLeast = std::size_t{4} << 20;  // read in a few ms whatever its pages
  constexpr std::size_t kMost = std::size_t{1} << 30;
  if (bytes < kLeast) return;
  bytes = std::min(bytes, kMost);
  if (::mallopt(M_TOP_PAD, static_cast<int>(bytes)) == 0) return;
  if (::mallinfo2().keepcost < bytes) GrowHeap();
  // The free top of the heap, in whole 2 MB pages.
  const std::uintptr_t end = Break();
  const std::uintptr_t first = (end - ::mallinfo2().keepcost + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = end & ~(kHugePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)bytes;
#endif
}

}  // namespace quillet::app
