// Converter throughput on generated rich-edit style books. The time per byte
// must stay flat from 1 MB to 20 MB: every step is linear in its input.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/word_count.h"
#include "converter/converter.h"
#include "converter/tokenizer.h"

namespace {

constexpr const char* kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\f0\\fs20 ";

// One paragraph of every kind a rich-edit control writes, about 1 KB.
constexpr const char* kFeatureParagraphs =
    "\\pard\\qc\\b\\fs32 Cap\\'edtulo del libro\\b0\\fs20\\par\r\n"
    "\\pard El \\i caf\\'e9\\i0  estaba \\cf1 rojo\\cf0 , y \\ul subrayado\\ulnone  con "
    "\\strike tachado\\strike0  y x\\super 2\\nosupersub  y H\\sub 2\\nosupersub O. "
    "\\'93Comillas\\'94 \\'96 guiones \\'97 y m\\'e1s texto normal para llenar la l\\'ednea "
    "con palabras corrientes de un libro cualquiera.\\par\r\n"
    "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
    "\\fi-720\\li720 primer punto de la lista\\par\r\n"
    "{\\pntext\\f1\\'B7\\tab}segundo punto con \\b negrita\\b0\\par\r\n"
    "\\pard\\fi0\\li0\\qr\\cf2 a la derecha\\cf0\\par\r\n"
    "\\pard Un p\\'e1rrafo largo sin formato que sigue y sigue, como los de una novela, con "
    "frases que se alargan y se alargan sin que pase gran cosa en ellas, hasta que por fin "
    "terminan en un punto y aparte.\\par\r\n";

constexpr const char* kPlainParagraph =
    "\\pard Un p\\'e1rrafo largo sin formato que sigue y sigue, como los de una novela, con "
    "frases que se alargan y se alargan sin que pase gran cosa en ellas.\\par\r\n";

std::string Book(std::size_t bytes, const char* paragraph) {
  std::string rtf = kHeader;
  rtf.reserve(bytes + 1024);
  while (rtf.size() < bytes) rtf += paragraph;
  rtf += "}\r\n";
  return rtf;
}

// Converts `rtf` once per iteration, on one converter as the book builder does.
void Convert(benchmark::State& state, const std::string& rtf) {
  quillet::Converter converter;
  for (auto _ : state) {
    benchmark::DoNotOptimize(converter.ConvertRtfToHtml(rtf, "+H+G+F=3"));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

void BM_ConvertFeatureBook(benchmark::State& state) {
  Convert(state, Book(static_cast<std::size_t>(state.range(0)) << 20, kFeatureParagraphs));
}
BENCHMARK(BM_ConvertFeatureBook)->Arg(1)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

// The baseline of BM_ConvertFeatureBook: the words of the same books counted.
void BM_CountWordsFeatureBook(benchmark::State& state) {
  quillet::bench::CountWordsOf(
      state, Book(static_cast<std::size_t>(state.range(0)) << 20, kFeatureParagraphs));
}
BENCHMARK(BM_CountWordsFeatureBook)->Arg(1)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_ConvertPlainBook(benchmark::State& state) {
  Convert(state, Book(static_cast<std::size_t>(state.range(0)) << 20, kPlainParagraph));
}
BENCHMARK(BM_ConvertPlainBook)->Arg(5)->Unit(benchmark::kMillisecond);

// Every text-less group in the header, and blank lines all through the book:
// each cut collapses doubled line breaks over the whole text, yet the time per
// MB must stay as flat as for a book without them.
constexpr const char* kGroupsHeader =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
    "{\\stylesheet{\\s0 Normal;}}\r\n{\\info{\\title Libro}}\r\n"
    "{\\*\\listtable{\\list\\listid1}}\r\n{\\*\\listoverridetable{\\listoverride\\ls1}}\r\n";

void BM_ConvertBookWithBlankLines(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(0)) << 20;
  std::string rtf = kGroupsHeader;
  rtf.reserve(bytes + 1024);
  while (rtf.size() < bytes) {
    rtf += kPlainParagraph;
    rtf += "\r\n\r\n\r\n";
  }
  rtf += "}\r\n";
  Convert(state, rtf);
}
BENCHMARK(BM_ConvertBookWithBlankLines)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

// Hostile books: elements that stay open (or fonts that are closed and
// reopened) for the whole book, then ordinary formatting that never ends them.
// The time per MB must be as flat, and as low, as for a book without them.
constexpr const char* kFormattingWithoutParagraphEnds =
    "Un p\\'e1rrafo {\\b largo} sin \\i formato\\i0  que \\ul sigue\\ulnone , \\cf1 como\\cf0  "
    "los de \\fs30 una\\fs24  novela, \\strike con\\strike0  x\\super 2\\nosupersub "
    "y {frases} que se alargan.\\line\r\n";

std::string Repeat(std::string_view piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::string HostileBook(std::size_t bytes, const std::string& opening, const char* body) {
  // "\plain" first, so that no font of the header encloses what opens.
  std::string rtf = std::string(kHeader) + "\\plain " + opening + "\r\n";
  rtf.reserve(bytes + 1024);
  while (rtf.size() < bytes) rtf += body;
  rtf += "}\r\n";
  return rtf;
}

enum Opening { kNothingOpen, kOpenListItems, kNestedFonts };

void BM_ConvertBelowOpenElements(benchmark::State& state) {
  const auto bytes = static_cast<std::size_t>(state.range(1)) << 20;
  std::string rtf;
  switch (state.range(0)) {
    case kNothingOpen:
      rtf = HostileBook(bytes, "", kFormattingWithoutParagraphEnds);
      break;
    case kOpenListItems:
      rtf = HostileBook(bytes, Repeat("\\bullet x", 999), kFormattingWithoutParagraphEnds);
      break;
    case kNestedFonts:
      // Every "\cf1" closes the 999 open fonts and the next text reopens them.
      rtf = HostileBook(bytes, Repeat("\\cf1 x", 999), "\\cf1 a\\cf1 b\\cf1 c\r\n");
      break;
  }
  Convert(state, rtf);
  const double megabytes = static_cast<double>(rtf.size()) / 1e6;
  state.counters["s_per_MB"] = benchmark::Counter(
      megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ConvertBelowOpenElements)
    ->ArgNames({"open", "MB"})
    ->ArgsProduct({{kNothingOpen, kOpenListItems, kNestedFonts}, {1, 8}})
    ->Unit(benchmark::kMillisecond);

void BM_Tokenize(benchmark::State& state) {
  const std::string rtf = Book(static_cast<std::size_t>(state.range(0)) << 20, kFeatureParagraphs);
  for (auto _ : state) {
    quillet::BodyReader lines(rtf);
    std::size_t tokens = 0;
    quillet::LineReader line;
    while (!lines.empty()) {
      line.Start(lines.NextLine());
      while (!line.empty()) {
        benchmark::DoNotOptimize(line.NextToken());
        ++tokens;
      }
    }
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_Tokenize)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
