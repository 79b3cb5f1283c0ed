// Reads HTML into the document model, through gumbo's HTML5 parser.
//
// Keeps what the model holds: bold, italic, underline, strike, super- and
// subscript, colour, size and face from elements (b strong i em u s strike del
// sup sub font big small h1-h6 th) and from inline CSS (font-weight,
// font-style, text-decoration, color, font-size, font-family, vertical-align);
// paragraphs from blocks (p div h1-h6 li blockquote pre center dt dd ...) with
// their alignment (align, text-align, <center>); line breaks from <br> and
// preformatted text; bullets from <ul> items, numbers ("1.", a tab) written as
// text in front of <ol> items, as the RTF reader reads numbered lists; a table
// row as one paragraph with its cells separated by tabs. Images become their
// alt text; head, script, style, template, noscript, svg, form controls,
// comments and hidden elements are never text. Sizes are half-points, heading
// sizes those browsers and word processors use, so that a book reads the same
// as HTML and as the RTF a word processor makes of it.
//
// Notes: a link marked as a note reference (role doc-noteref, epub:type
// noteref, a footnote-ref class, data-footnote-ref) to an element of the same
// document that comes after it (an aside, a list item of a notes section...)
// makes that element's text a note, gathered at the end as the RTF reader
// gathers notes (see notes.h), its link back to the text left out; the
// reference stays in the text as its mark, raised.
//
// Reading never fails on malformed HTML and never recurses; time and memory are
// linear in the input.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "richtext/document.h"
#include "richtext/notes.h"

namespace quillet {

struct HtmlOptions {
  // XHTML, as EPUB chapters are: "<a id='x'/>" is an empty element.
  bool xhtml = false;
  // The bytes are UTF-8 already (Markdown's HTML); no charset is looked for.
  bool utf8 = false;
  // The notes are left in HtmlDocument::notes, for a book of many documents
  // (EPUB) to gather them once; otherwise they end the document.
  bool notes_apart = false;
};

struct HtmlDocument {
  Document document;
  // The paragraph that the first h1 to h6 starts, if any.
  std::optional<std::size_t> first_heading;
  // False when the parser would have needed more memory than the input's size
  // allows, which only crafted input does; the document is then empty.
  bool complete = true;
  // With HtmlOptions::notes_apart, the notes found.
  std::vector<FoundNote> notes = {};
};

// The bytes in the charset their byte-order mark, XML declaration or <meta>
// declares; undeclared, UTF-8 when valid, else Windows-1252.
HtmlDocument ReadHtml(std::string_view bytes, const HtmlOptions& options = {});

}  // namespace quillet
