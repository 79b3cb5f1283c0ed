#include "richtext/formats/markdown_reader.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm.h>

#include <memory>
#include <string>

#include "richtext/text_encoding.h"

namespace quillet {
namespace {

struct ParserDeleter {
  void operator()(cmark_parser* parser) const { cmark_parser_free(parser); }
};
struct NodeDeleter {
  void operator()(cmark_node* node) const { cmark_node_free(node); }
};

std::string MarkdownToHtml(std::string_view utf8) {
  // Raw HTML goes through: it is read by our HTML reader, never shown by a browser.
  constexpr int kOptions = CMARK_OPT_UNSAFE;
  cmark_gfm_core_extensions_ensure_registered();
  const std::unique_ptr<cmark_parser, ParserDeleter> parser(cmark_parser_new(kOptions));
  for (const char* name : {"table", "strikethrough"}) {
    if (cmark_syntax_extension* extension = cmark_find_syntax_extension(name)) {
      cmark_parser_attach_syntax_extension(parser.get(), extension);
    }
  }
  cmark_parser_feed(parser.get(), utf8.data(), utf8.size());
  const std::unique_ptr<cmark_node, NodeDeleter> document(cmark_parser_finish(parser.get()));
  char* html =
      cmark_render_html(document.get(), kOptions, cmark_parser_get_syntax_extensions(parser.get()));
  std::string result(html);
  cmark_get_default_mem_allocator()->free(html);
  return result;
}

}  // namespace

HtmlDocument ReadMarkdown(std::string_view bytes) {
  const std::string utf8 = Utf8OrWindows1252ToUtf8(SkipUtf8ByteOrderMark(bytes));
  return ReadHtml(MarkdownToHtml(utf8), {.utf8 = true});
}

}  // namespace quillet
