// Reader mode against the default mode on the bundled sample book grown to
// 5 MB and 20 MB (scripts/make_sample_book.py with 1150 and 4600 chapters).
// Reader mode converts the whole book once and runs the engine over the body;
// the default mode converts and writes each of its parts. Both times per MB
// must stay flat, and reader mode must cost at most 1.5 times the default.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "builder/book_builder.h"
#include "builder/messages.h"
#include "builder/reader/reader_book.h"
#include "richtext/document_box.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

struct Book {
  std::string rtf;   // the box's RTF of the whole book
  std::string body;  // what one conversion makes of it
};

// The sample book with `chapters` chapters, made once per size.
const Book& SampleBook(int chapters) {
  static std::map<int, Book> books;
  Book& book = books[chapters];
  if (!book.rtf.empty()) return book;
  const fs::path root = fs::path(__FILE__).parent_path().parent_path();
  const fs::path file =
      fs::temp_directory_path() / ("quillet-reader-bench-" + std::to_string(getpid()) + ".rtf");
  const std::string command = "python3 '" + (root / "scripts/make_sample_book.py").string() +
                              "' '" + file.string() + "' --chapters " + std::to_string(chapters);
  if (std::system(command.c_str()) != 0) return book;
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  fs::remove(file);
  DocumentBox box;
  box.SetTextRTF(bytes.str());
  book.rtf = box.TextRTF();
  book.body = Converter().ConvertRtfToHtml(book.rtf, kConvertOptions);
  return book;
}

void Report(benchmark::State& state, std::size_t bytes) {
  const double megabytes = static_cast<double>(bytes) / 1e6;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["MB"] = megabytes;
  state.counters["s_per_MB"] = benchmark::Counter(
      megabytes, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The engine alone over the converted body: balance, cut, frame, index.
void BM_ReaderEngine(benchmark::State& state) {
  const Book& book = SampleBook(static_cast<int>(state.range(0)));
  if (book.body.empty()) return state.SkipWithError("the sample book could not be made");
  const reader::BookNames names{"RERUD", "Rerud", "Rerud"};
  for (auto _ : state) {
    const reader::ReaderResult result =
        reader::MakeReaderBook(book.body, names, reader::ReaderOptions::All());
    if (!result.ok()) state.SkipWithError(Message(result.status).c_str());
    benchmark::DoNotOptimize(result.value.parts.data());
  }
  Report(state, book.rtf.size());
}

// Generate on the sample book of state.range(0) chapters in a folder of its own.
template <typename Ask>
void GenerateInto(benchmark::State& state, Ask ask) {
  const Book& book = SampleBook(static_cast<int>(state.range(0)));
  if (book.body.empty()) return state.SkipWithError("the sample book could not be made");
  const fs::path folder = fs::temp_directory_path() / ("quillet-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  DocumentBox box;
  box.SetTextRTF(book.rtf);
  for (auto _ : state) {
    NoOpener opener;
    BookBuilder builder(box, opener);
    BookRequest request;
    request.folder = folder.string() + "/";
    ask(request);
    if (!builder.Generate(request).ok()) state.SkipWithError("generation failed");
  }
  fs::remove_all(folder);
  Report(state, book.rtf.size());
}

// The default mode on the same book in 99 parts: each part's RTF selected,
// converted and written.
void BM_DefaultMode(benchmark::State& state) {
  GenerateInto(state, [](BookRequest& request) { request.partCount = 99; });
}

// Reader mode as Generate runs it: one conversion of the whole book, the
// engine, and every page written and put in place.
void BM_ReaderMode(benchmark::State& state) {
  GenerateInto(state, [](BookRequest& request) { request.reader = ReaderMode::All(); });
}

BENCHMARK(BM_ReaderEngine)->Arg(1150)->Arg(4600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReaderMode)->Arg(1150)->Arg(4600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DefaultMode)->Arg(1150)->Arg(4600)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quillet

BENCHMARK_MAIN();
