// Reads a FictionBook 2 file through libxml2: the bodies' sections with their
// titles as headings, paragraphs, poems, epigraphs and tables, with strong,
// emphasis, strikethrough, sub- and superscript. The description (metadata) and
// the binaries (images) are never text; an image leaves its alt text. The
// "• " that writers put in front of list items makes a bullet.
#pragma once

#include <string_view>

#include "richtext/formats/book_formats.h"

namespace quillet {

LoadResult ReadFb2(std::string_view bytes);

}  // namespace quillet
