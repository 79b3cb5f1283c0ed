// An HTML5 parse tree from gumbo, with the input's nesting bounded first (see
// html_nesting.h) and the parser's memory limited.
#pragma once

#include <gumbo.h>

#include <csetjmp>
#include <cstddef>
#include <string>
#include <string_view>

#include "richtext/formats/html_nesting.h"

namespace quillet {

class GumboTree {
 public:
  // `utf8` need not outlive the tree.
  GumboTree(std::string_view utf8, const HtmlLimits& limits);
  ~GumboTree();
  GumboTree(const GumboTree&) = delete;
  GumboTree& operator=(const GumboTree&) = delete;

  // The document node; nullptr when parsing needed more memory than the input's
  // size allows, which only crafted input does.
  const GumboNode* document() const { return document_; }

 private:
  struct Block;
  static void* Allocate(void* self, std::size_t size);
  static void Release(void* self, void* pointer);
  const GumboNode* Parse();

  std::string html_;  // gumbo's nodes point into it
  Block* blocks_ = nullptr;
  std::size_t live_bytes_ = 0;
  std::size_t budget_ = 0;
  std::jmp_buf out_of_budget_;
  const GumboNode* document_ = nullptr;
};

}  // namespace quillet
