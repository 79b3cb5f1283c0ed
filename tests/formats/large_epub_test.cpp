// A 50 MB EPUB made at test time, read once; its load time and peak memory are
// measured with bench/load_book under /usr/bin/time -v.
#include <gtest/gtest.h>

#include "builder/messages.h"
#include "richtext/formats/book_formats.h"
#include "richtext/text_encoding.h"
#include "tests/formats/book_files.h"

namespace quillet {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;

// The sanitizers make every step many times slower: they read a tenth of it.
#ifdef QUILLET_SANITIZED
constexpr std::size_t kMegabytes = 5;
#else
constexpr std::size_t kMegabytes = 50;
#endif

TEST(LargeEpub, ReadsFiftyMegabytesOfChapters) {
  const ScratchFolder folder;
  const std::filesystem::path path = folder.path() / "large.epub";
  const std::size_t chapters = testing::WriteLargeEpub(path, kMegabytes << 20);
  std::string bytes = ReadBytes(path);
  ASSERT_GE(bytes.size(), kMegabytes << 20);
  const LoadResult result = LoadBook("large.epub", std::move(bytes));
  ASSERT_TRUE(result.ok()) << Message(result.status);
  std::size_t headings = 0;
  for (const Paragraph& paragraph : result.document.paragraphs) {
    const std::u16string_view first = paragraph.Runs().at(0).text;
    if (!first.starts_with(u"Chapter ")) continue;
    ++headings;
    EXPECT_EQ(first, u"Chapter " + FromUtf8Lossy(std::to_string(headings)));
    EXPECT_TRUE(paragraph.Runs().at(0).format.bold);
  }
  EXPECT_EQ(headings, chapters);
  EXPECT_GT(result.document.Length(), chapters * 900'000);
  const std::u16string_view last = result.document.paragraphs.back().Runs().back().text;
  EXPECT_TRUE(last.ends_with(u"end.")) << ToUtf8(last);
}

}  // namespace
}  // namespace quillet
