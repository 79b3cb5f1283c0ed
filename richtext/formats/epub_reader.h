// Reads an EPUB book: the ZIP through libzip, META-INF/container.xml and the
// OPF package through libxml2, and the spine's XHTML documents in order through
// the HTML reader. Each chapter starts a new paragraph and its first heading
// stays a heading (bold, larger); images leave their alt text; the notes of
// every chapter end the book. A book whose spine documents are encrypted (DRM)
// is refused, as are ZIP bombs.
#pragma once

#include <string>
#include <string_view>

#include "richtext/formats/book_formats.h"

namespace quillet {

LoadResult ReadEpub(std::string_view bytes, const LoadOptions& options);

// A path inside the archive for an href found in `from` (a path inside the
// archive): percent-escapes decoded, the fragment dropped, "." and ".." resolved.
std::string ResolveHref(std::string_view from, std::string_view href);

}  // namespace quillet
