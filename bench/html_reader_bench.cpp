// Reading HTML: a book-like page in MB/s, and nesting ever deeper, whose time per
// MB stays flat when reading is linear in depth.
#include <benchmark/benchmark.h>

#include <string>

#include "richtext/formats/html_reader.h"

namespace {

// Paragraphs with inline formatting, entities, headings, a list and a table row now and then.
std::string MakeBook(std::size_t target_bytes) {
  std::string html =
      "<!DOCTYPE html><html><head><meta charset='utf-8'><title>Libro</title>"
      "<style>p { margin: 0 }</style></head><body>\n";
  for (std::size_t i = 0; html.size() < target_bytes; ++i) {
    if (i % 50 == 0) html += "<h2>Capítulo " + std::to_string(i / 50 + 1) + "</h2>\n";
    html +=
        "<p style='text-align: justify'>Era una noche oscura y tormentosa; <b>de pronto</b> "
        "sonó un disparo &mdash; &laquo;¿quién está ahí?&raquo; <span style='color: "
        "#c00000; font-size: 14pt'>preguntó</span> la criada, y el eco dijo <i>αβγ</i>.</p>\n";
    if (i % 20 == 7) html += "<ul><li>uno</li><li>dos <em>tres</em></li></ul>\n";
    if (i % 30 == 11) html += "<table><tr><td>uno</td><td>1</td></tr></table>\n";
  }
  return html + "</body></html>\n";
}

// Reads `html` once per iteration.
void Read(benchmark::State& state, const std::string& html) {
  for (auto _ : state) {
    const quillet::HtmlDocument read = quillet::ReadHtml(html);
    benchmark::DoNotOptimize(read.document.paragraphs.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(html.size() * state.iterations()));
}

void BM_ReadHtmlBook(benchmark::State& state) {
  Read(state, MakeBook(4u << 20));
}
BENCHMARK(BM_ReadHtmlBook)->Unit(benchmark::kMillisecond);

// `depth` elements nested, then closed; the bytes per second should not fall as it grows.
void ReadNested(benchmark::State& state, const std::string& open, const std::string& close) {
  const auto depth = static_cast<std::size_t>(state.range(0));
  std::string html;
  html.reserve(depth * (open.size() + close.size()) + 8);
  for (std::size_t i = 0; i < depth; ++i) html += open;
  html += "deep";
  for (std::size_t i = 0; i < depth; ++i) html += close;
  Read(state, html);
}

// From a hundred elements to a million.
void Counts(benchmark::internal::Benchmark* benchmark) {
  benchmark->RangeMultiplier(10)->Range(100, 1000000)->Unit(benchmark::kMillisecond);
}

void BM_ReadHtmlNestedBold(benchmark::State& state) {
  ReadNested(state, "<b>", "</b>");
}
BENCHMARK(BM_ReadHtmlNestedBold)->Apply(Counts);

void BM_ReadHtmlNestedDivs(benchmark::State& state) {
  ReadNested(state, "<div>", "</div>");
}
BENCHMARK(BM_ReadHtmlNestedDivs)->Apply(Counts);

void BM_ReadHtmlNestedLists(benchmark::State& state) {
  ReadNested(state, "<ul><li>", "</li></ul>");
}
BENCHMARK(BM_ReadHtmlNestedLists)->Apply(Counts);

// The same elements side by side instead of nested, for comparison.
void BM_ReadHtmlSiblingBold(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  std::string html;
  for (std::size_t i = 0; i < count; ++i) html += "<b>x</b>";
  Read(state, html);
}
BENCHMARK(BM_ReadHtmlSiblingBold)->Apply(Counts);

}  // namespace
BENCHMARK_MAIN();
