// Reads Markdown (CommonMark with GitHub's tables and strikethrough) into the
// document model: cmark-gfm writes it as HTML, which the HTML reader reads.
#pragma once

#include <string_view>

#include "richtext/formats/html_reader.h"

namespace quillet {

// UTF-8 (a byte-order mark is dropped), or Windows-1252 when not valid UTF-8.
// HTML written in the Markdown is read as HTML.
HtmlDocument ReadMarkdown(std::string_view bytes);

}  // namespace quillet
