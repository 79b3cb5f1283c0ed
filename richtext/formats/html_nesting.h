// Bounds what an HTML document asks of an HTML5 tree builder before it parses.
//
// gumbo's tree builder scans its stack of open elements for most tags, compares
// every attribute of a tag with every other, and re-opens every unclosed
// formatting element (b, font, ...) in each new paragraph: 100,000 nested
// <div> take minutes, and a few hundred unclosed <font> tags followed by short
// paragraphs take gigabytes. This pass copies the document, dropping the start
// tags (with their end tags) that would open more than `max_depth` elements or
// leave more than `max_formatting` formatting elements open, and the attributes
// of a tag past `max_attributes`. Text is never dropped. It follows the HTML5
// tokenizer closely enough to find tags, comments and raw text, in one pass
// linear in the input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

struct HtmlLimits {
  std::size_t max_depth = 256;
  std::size_t max_formatting = 24;
  std::size_t max_attributes = 64;
  // XHTML (EPUB): "<a id='x'/>" is an empty element, written out as "<a id='x'></a>".
  bool xml_empty_tags = false;
};

std::string BoundHtmlNesting(std::string_view html, const HtmlLimits& limits);

}  // namespace quillet
