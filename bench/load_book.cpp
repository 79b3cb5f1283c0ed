// Loads one book as the program does and says what it read, for timing and
// peak memory under /usr/bin/time -v; with --make-epub, first writes the large
// generated EPUB the tests read.
//
//   build/bench/load_book --make-epub 50 /tmp/large.epub
//   /usr/bin/time -v build/bench/load_book /tmp/large.epub
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>

#include "builder/messages.h"
#include "richtext/formats/book_formats.h"
#include "tests/formats/book_files.h"

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "--make-epub" && argc == 4) {
    const std::size_t chapters =
        quillet::testing::WriteLargeEpub(argv[3], std::stoul(argv[2]) << 20);
    std::cout << argv[3] << ": " << chapters << " chapters\n";
    return 0;
  }
  if (argc != 2) {
    std::cerr << "usage: load_book FILE | load_book --make-epub MEBIBYTES FILE\n";
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const quillet::LoadResult result = quillet::LoadBook(first, quillet::testing::ReadBytes(first));
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  if (!result.ok()) {
    std::cerr << quillet::Message(result.status) << "\n";
    return 1;
  }
  std::cout << first << ": " << quillet::FormatName(result.format) << ", "
            << result.document.paragraphs.size() << " paragraphs, " << result.document.Length()
            << " characters, read in " << seconds.count() << " s\n";
  return 0;
}
