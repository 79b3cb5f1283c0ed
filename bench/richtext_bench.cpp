// Reading and writing a 20 MB rich-text document.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/word_count.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace {

// A book-like document: paragraphs of formatted runs, accents, quotes and some Greek.
quillet::Document MakeBook(std::size_t target_bytes) {
  quillet::Document book;
  quillet::CharFormat bold;
  bold.bold = true;
  quillet::CharFormat red;
  red.color = quillet::Color{200, 0, 0};
  red.size_half_points = 28;
  std::size_t size = 0;
  for (std::size_t i = 0; size < target_bytes; ++i) {
    quillet::Paragraph& paragraph = book.paragraphs.emplace_back();
    paragraph.alignment = i % 10 == 0 ? quillet::Alignment::kCenter : quillet::Alignment::kLeft;
    paragraph.bullet = i % 7 == 3;
    quillet::AppendText(paragraph, u"Era una noche oscura y tormentosa; ", {});
    quillet::AppendText(paragraph, u"de pronto", bold);
    quillet::AppendText(paragraph, u" sonó un disparo — «¿quién está ahí?» ", {});
    quillet::AppendText(paragraph, u"preguntó", red);
    quillet::AppendText(paragraph, u" la criada, y el eco dijo αβγ. ", {});
    size += 160;
  }
  return book;
}

const quillet::Document& Book() {
  static const quillet::Document book = MakeBook(20u << 20);
  return book;
}

void BM_WriteRtf(benchmark::State& state) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string rtf = quillet::WriteRtf(Book());
    bytes = rtf.size();
    benchmark::DoNotOptimize(rtf.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
  state.counters["rtf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

void BM_ReadRtf(benchmark::State& state) {
  const std::string rtf = quillet::WriteRtf(Book());
  for (auto _ : state) {
    const quillet::Document document = quillet::ReadRtf(rtf);
    benchmark::DoNotOptimize(document.paragraphs.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(rtf.size() * state.iterations()));
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

// The document BM_ReadRtf builds, copied and freed: what building the model
// costs any reader before it reads a byte (every run's text and every
// paragraph's runs are allocations of their own). Measured in the same RTF
// bytes, so that the two rates compare.
void BM_CopyReadDocument(benchmark::State& state) {
  const std::string rtf = quillet::WriteRtf(Book());
  const quillet::Document read = quillet::ReadRtf(rtf);
  for (auto _ : state) {
    const quillet::Document copy = read;
    benchmark::DoNotOptimize(copy.paragraphs.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(rtf.size() * state.iterations()));
}
BENCHMARK(BM_CopyReadDocument)->Unit(benchmark::kMillisecond);

// The baseline of BM_ReadRtf: the words of the same RTF counted.
void BM_CountWordsReadRtf(benchmark::State& state) {
  quillet::bench::CountWordsOf(state, quillet::WriteRtf(Book()));
}
BENCHMARK(BM_CountWordsReadRtf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
