// The whole `quillet book` run on a large book: load the RTF into the box,
// split into 99 parts, convert, write every page and the index. The time per
// MB must stay flat from 5 to 20 MB.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "builder/book_builder.h"
#include "richtext/document_box.h"
#include "richtext/rtf_writer.h"
#include "tests/builder/generated_book.h"

namespace quillet {
namespace {

class NoOpener : public PageOpener {
 public:
  void Open(const std::string&) override {}
};

class NoMessages : public MessageSink {
 public:
  void Show(const std::string&) override {}
};

// RTF of about `megabytes` MB, made once per size.
const std::string& BookRtf(int megabytes) {
  static std::map<int, std::string> books;
  std::string& rtf = books[megabytes];
  if (rtf.empty()) {
    // The generated book's RTF runs about 1.3 bytes per character of text.
    rtf = WriteRtf(testing::GeneratedBook(static_cast<std::size_t>(megabytes) * 770'000));
  }
  return rtf;
}

void BM_GenerateBook(benchmark::State& state) {
  const std::string& rtf = BookRtf(static_cast<int>(state.range(0)));
  const auto folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    DocumentBox box;
    box.SetTextRTF(rtf);
    NoOpener opener;
    NoMessages messages;
    BookBuilder builder(box, opener, messages);
    builder.controls.folderText = folder.string() + "/";
    builder.PartCount = 99;
    if (!builder.cmdGO_Click()) state.SkipWithError("generation failed");
  }
  std::filesystem::remove_all(folder);
  const double megabytes = static_cast<double>(rtf.size()) / 1e6;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(rtf.size()));
  state.counters["MB"] = megabytes;
  state.counters["s_per_MB"] = benchmark::Counter(
      megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_GenerateBook)->Arg(5)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// One paragraph of many formatting runs and no space, in two parts: the search
// for a space after the split point runs to the end of the text. The time per
// MB of text must stay flat from 1 to 8 MB.
void BM_GenerateBookWithoutSpaces(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0)) * 1'000'000;
  const Document book = testing::RunsWithoutSpaces(length);
  const auto folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  for (auto _ : state) {
    DocumentBox box;
    box.SetDocument(book);
    NoOpener opener;
    NoMessages messages;
    BookBuilder builder(box, opener, messages);
    builder.controls.folderText = folder.string() + "/";
    builder.PartCount = 2;
    if (!builder.cmdGO_Click()) state.SkipWithError("generation failed");
  }
  std::filesystem::remove_all(folder);
  const double megabytes = static_cast<double>(length) / 1e6;
  state.counters["s_per_MB"] = benchmark::Counter(
      megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_GenerateBookWithoutSpaces)
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
