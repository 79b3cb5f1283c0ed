// The whole `quillet book` run on a large book: load the RTF into the box,
// split into 99 parts, convert, write every page and the index. The time per
// MB must stay flat from 5 to 20 MB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "bench/word_count.h"
#include "builder/book_builder.h"
#include "richtext/document_box.h"
#include "tests/builder/generated_book.h"

namespace quillet {
namespace {

// Generates the box's book into a folder of its own, `state`'s iterations
// times; every iteration loads the box afresh with `load`.
template <typename Load>
void GenerateBook(benchmark::State& state, int partCount, Load load) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    DocumentBox box;
    load(box);
    NoOpener opener;
    BookBuilder builder(box, opener);
    BookRequest request;
    request.folder = folder.string() + "/";
    request.partCount = partCount;
    if (!builder.Generate(request).ok()) state.SkipWithError("generation failed");
  }
  std::filesystem::remove_all(folder);
}

void SetSecondsPerMegabyte(benchmark::State& state, std::size_t bytes) {
  const double megabytes = static_cast<double>(bytes) / 1e6;
  state.counters["s_per_MB"] = benchmark::Counter(
      megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_GenerateBook(benchmark::State& state) {
  const std::string& rtf = testing::GeneratedBookRtf(static_cast<int>(state.range(0)));
  GenerateBook(state, 99, [&rtf](DocumentBox& box) { box.SetTextRTF(rtf); });
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rtf.size()));
  state.counters["MB"] = static_cast<double>(rtf.size()) / 1e6;
  SetSecondsPerMegabyte(state, rtf.size());
}

BENCHMARK(BM_GenerateBook)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The baseline of BM_GenerateBook: the words of the same RTF counted.
void BM_CountWordsGeneratedBook(benchmark::State& state) {
  quillet::bench::CountWordsOf(state, testing::GeneratedBookRtf(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_CountWordsGeneratedBook)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond);

// One paragraph of many formatting runs and no space, in two parts: the search
// for a space after the split point runs to the end of the text. The time per
// MB of text must stay flat from 1 to 8 MB.
void BM_GenerateBookWithoutSpaces(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0)) * 1'000'000;
  const Document book = testing::RunsWithoutSpaces(length);
  GenerateBook(state, 2, [&book](DocumentBox& box) { box.SetDocument(book); });
  SetSecondsPerMegabyte(state, length);
}

BENCHMARK(BM_GenerateBookWithoutSpaces)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
