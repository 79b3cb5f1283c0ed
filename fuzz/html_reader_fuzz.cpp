// Feeds arbitrary bytes to the HTML reader, as HTML and as XHTML, and to the
// nesting bound before it: nothing may crash, hang or grow without bound, and a
// read the reader gives up on leaves no document; the notes found fit the document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "richtext/formats/html_nesting.h"
#include "richtext/formats/html_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (const bool xhtml : {false, true}) {
    const quillet::HtmlDocument read = quillet::ReadHtml(input, {.xhtml = xhtml});
    if (!read.complete && !read.document.paragraphs.empty()) std::abort();
    if (read.first_heading && *read.first_heading >= read.document.paragraphs.size()) std::abort();
    if (!quillet::NotesFit(read.document)) std::abort();
    (void)read.document.Slice(size / 3, size / 2).PlainText();
    // Empty XHTML elements are written out open and closed: never more than twice the input.
    if (quillet::BoundHtmlNesting(input, {.xml_empty_tags = xhtml}).size() > 2 * size) std::abort();
  }
  return 0;
}
