// A whole book through generation: the pages, read back as visible text and
// joined in order, hold the book's text, nothing lost or doubled.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "builder/book_builder.h"
#include "builder/messages.h"
#include "richtext/document_box.h"
#include "richtext/rtf_writer.h"
#include "richtext/text_encoding.h"
#include "tests/builder/fakes.h"
#include "tests/builder/generated_book.h"
#include "tests/builder/page_text.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

bool IsBlank(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

TEST(WholeBookTest, NinetyNinePagesHoldTheWholeTextInOrder) {
  const fs::path folder = fs::temp_directory_path() / ("quillet-book-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  DocumentBox box;
  box.SetTextRTF(WriteRtf(testing::GeneratedBook(400'000)));
  testing::RecordingOpener opener;
  BookBuilder builder(box, opener);

  BookRequest request;
  request.folder = folder.string() + "/";
  request.partCount = 99;
  const BookResult result = builder.Generate(request);
  ASSERT_TRUE(result.ok()) << Message(result.status);
  ASSERT_EQ(result.written.size(), 100u);
  std::string joined;
  for (int part = 1; part <= 99; ++part) {
    char name[16];
    std::snprintf(name, sizeof name, "Rerud%02d.html", part);
    joined += testing::VisibleText(testing::PageBody(folder / name));
  }
  std::erase_if(joined, IsBlank);
  std::u16string text = box.Text();
  std::erase(text, kLineBreak);
  std::string expected = ToUtf8(text);
  std::erase_if(expected, IsBlank);
  ASSERT_GT(expected.size(), 300'000u);
  EXPECT_EQ(joined.size(), expected.size());
  EXPECT_TRUE(joined == expected)
      << "first difference at "
      << std::mismatch(joined.begin(), joined.end(), expected.begin(), expected.end()).first -
             joined.begin();
  fs::remove_all(folder);
}

}  // namespace
}  // namespace quillet
