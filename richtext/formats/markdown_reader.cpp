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

// A table's delimiter row ("|---|:-:|"): its number of columns, 0 for any other line.
std::size_t DelimiterColumns(std::string_view line) {
  if (line.find('-') == std::string_view::npos) return 0;
  if (line.find_first_not_of(" \t|:-\r") != std::string_view::npos) return 0;
  std::size_t columns = 0;
  bool inCell = false;
  for (const char c : line) {
    if (c == '|') {
      inCell = false;
    } else if (c == '-' && !inCell) {
      inCell = true;
      ++columns;
    }
  }
  return columns;
}

// A line without the block quote and list markers a table may stand inside.
std::string_view WithoutContainers(std::string_view line) {
  for (;;) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    line.remove_prefix(start);
    if (line.front() == '>') {
      line.remove_prefix(1);
    } else if (line.size() > 1 && (line[0] == '-' || line[0] == '*' || line[0] == '+') &&
               (line[1] == ' ' || line[1] == '\t')) {
      line.remove_prefix(2);
    } else if (const std::size_t digits = line.find_first_not_of("0123456789");
               digits > 0 && digits != std::string_view::npos && digits + 1 < line.size() &&
               (line[digits] == '.' || line[digits] == ')') &&
               (line[digits + 1] == ' ' || line[digits + 1] == '\t')) {
      line.remove_prefix(digits + 2);
    } else {
      return line;
    }
  }
}

// How many cells the tables of `markdown` come to once every row is padded
// to its header's width, as the table parser pads them. Lines end at LF, CR
// or both, as the parser ends them.
std::size_t PaddedTableCells(std::string_view markdown) {
  std::size_t cells = 0;
  std::size_t columns = 0;  // of the table being read, 0 outside one
  while (!markdown.empty()) {
    const std::size_t end = markdown.find_first_of("\r\n");
    const std::string_view line = WithoutContainers(markdown.substr(0, end));
    const bool crlf = end != std::string_view::npos && markdown[end] == '\r' &&
                      end + 1 < markdown.size() && markdown[end + 1] == '\n';
    markdown =
        end == std::string_view::npos ? std::string_view() : markdown.substr(end + (crlf ? 2 : 1));
    if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
      columns = 0;
    } else if (const std::size_t delimiter = DelimiterColumns(line); delimiter > 0) {
      columns = delimiter;
      cells += 2 * columns;  // the header and the delimiter row
    } else {
      cells += columns;
    }
  }
  return cells;
}

std::string MarkdownToHtml(std::string_view utf8) {
  // Raw HTML goes through: it is read by our HTML reader, never shown by a browser.
  constexpr int kOptions = CMARK_OPT_UNSAFE;
  // Padding a table's rows to its header's width can turn a few KB into
  // millions of cells; past this many cells per byte of text the tables are
  // read as the text they are written in.
  constexpr std::size_t kCellsPerByte = 16;
  constexpr std::size_t kCellsAnyway = 100'000;
  const bool tables = PaddedTableCells(utf8) <= kCellsAnyway + kCellsPerByte * utf8.size();
  cmark_gfm_core_extensions_ensure_registered();
  const std::unique_ptr<cmark_parser, ParserDeleter> parser(cmark_parser_new(kOptions));
  for (const char* name : {"table", "strikethrough"}) {
    if (!tables && std::string_view(name) == "table") continue;
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
