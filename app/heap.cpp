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

#if defined(__GLIBC__) && defined(M_TOP_PAD) && defined(MADV_HUGEPAGE)
#define QUILLET_HEAP_IN_HUGE_PAGES 1
#endif

namespace quillet::app {

#ifdef QUILLET_HEAP_IN_HUGE_PAGES
namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{1} << 21;
constexpr int kDefaultTopPad = 128 << 10;  // glibc's own

std::uintptr_t Break() {
  return reinterpret_cast<std::uintptr_t>(::sbrk(0));
}

// Takes blocks small enough to come from the heap until the heap has to grow,
// which it then does by the block and the pad, and gives them back. The
// number of blocks bounds it where the heap does not grow by its break.
void GrowHeap() {
  constexpr std::size_t kBlock = std::size_t{64} << 10;  // below glibc's default mmap threshold
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

HeapForBook::HeapForBook(std::size_t bytes) {
#ifdef QUILLET_HEAP_IN_HUGE_PAGES
  constexpr std::size_t kLeast = std::size_t{4} << 20;  // a few ms of faults at most
  constexpr std::size_t kMost = std::size_t{1} << 30;
  if (bytes < kLeast) return;
  padded_ = ::mallopt(M_TOP_PAD, static_cast<int>(std::min(bytes, kMost))) != 0;
  if (!padded_) return;
  const std::uintptr_t before = Break();
  GrowHeap();
  // Only what the heap grew by, in whole 2 MB pages: a heap that did not grow
  // by its break (another allocator, a heap moved to mapped memory) is left alone.
  const std::uintptr_t first = (before + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t last = Break() & ~(kHugePage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)bytes;
#endif
}

HeapForBook::~HeapForBook() {
#ifdef QUILLET_HEAP_IN_HUGE_PAGES
  if (padded_) ::mallopt(M_TOP_PAD, kDefaultTopPad);
#endif
}

}  // namespace quillet::app
