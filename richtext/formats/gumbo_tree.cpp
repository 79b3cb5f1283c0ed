#include "richtext/formats/gumbo_tree.h"

#include <cstddef>
#include <cstdlib>

namespace quillet {
namespace {

// gumbo needs a few dozen bytes per input byte on ordinary pages; what goes far
// beyond comes from the tree builder re-opening elements, which crafted input can
// make it do without end.
constexpr std::size_t kBudgetBase = std::size_t{64} << 20;
constexpr std::size_t kBudgetPerInputByte = 64;

}  // namespace

// Every block gumbo holds, linked so that all of them can be freed at once: after
// a parse abandoned half-way, and instead of gumbo's own recursive clean-up.
struct GumboTree::Block {
  Block* previous;
  Block* next;
  std::size_t size;
};

namespace {

// A block's header, rounded up so that what follows it is aligned like malloc's.
constexpr std::size_t kHeader =
    (sizeof(void*) * 2 + sizeof(std::size_t) + alignof(std::max_align_t) - 1) /
    alignof(std::max_align_t) * alignof(std::max_align_t);

}  // namespace

GumboTree::GumboTree(std::string_view utf8, const HtmlLimits& limits)
    : html_(BoundHtmlNesting(utf8, limits)),
      budget_(kBudgetBase + kBudgetPerInputByte * html_.size()) {
  document_ = Parse();
}

GumboTree::~GumboTree() {
  while (blocks_ != nullptr) {
    Block* next = blocks_->next;
    std::free(blocks_);
    blocks_ = next;
  }
}

const GumboNode* GumboTree::Parse() {
  GumboOptions options = kGumboDefaultOptions;
  options.allocator = &GumboTree::Allocate;
  options.deallocator = &GumboTree::Release;
  options.userdata = this;
  options.max_errors = 0;
  // gumbo cannot stop half-way by itself: going past the budget jumps back here,
  // through gumbo's C frames only, and the destructor frees what it held.
  if (setjmp(out_of_budget_) != 0) return nullptr;
  return gumbo_parse_with_options(&options, html_.data(), html_.size())->document;
}

void* GumboTree::Allocate(void* self, std::size_t size) {
  auto* tree = static_cast<GumboTree*>(self);
  if (size > tree->budget_ - tree->live_bytes_) std::longjmp(tree->out_of_budget_, 1);
  auto* block = static_cast<Block*>(std::malloc(kHeader + size));
  if (block == nullptr) std::longjmp(tree->out_of_budget_, 1);
  block->previous = nullptr;
  block->next = tree->blocks_;
  block->size = size;
  if (tree->blocks_ != nullptr) tree->blocks_->previous = block;
  tree->blocks_ = block;
  tree->live_bytes_ += size;
  return reinterpret_cast<char*>(block) + kHeader;
}

void GumboTree::Release(void* self, void* pointer) {
  if (pointer == nullptr) return;
  auto* tree = static_cast<GumboTree*>(self);
  auto* block = reinterpret_cast<Block*>(static_cast<char*>(pointer) - kHeader);
  if (block->previous != nullptr) {
    block->previous->next = block->next;
  } else {
    tree->blocks_ = block->next;
  }
  if (block->next != nullptr) block->next->previous = block->previous;
  tree->live_bytes_ -= block->size;
  std::free(block);
}

}  // namespace quillet
