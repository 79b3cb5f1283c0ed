// Hostile books that a quadratic step would not survive, each run once; the
// ctest timeout is their time budget.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "builder/book_builder.h"
#include "richtext/document_box.h"
#include "tests/builder/fakes.h"
#include "tests/builder/generated_book.h"
#include "tests/builder/page_text.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

std::string WithoutTags(const std::string& html) {
  std::string text;
  for (std::size_t i = 0; i < html.size(); ++i) {
    if (html[i] == '<') {
      i = html.find('>', i);
    } else {
      text += html[i];
    }
  }
  return text;
}

// 2 MB in one paragraph of 500,000 runs and no space: the search for a space
// after the split point runs to the end of the text.
TEST(PathologicalBook, OneParagraphOfManyRunsWithoutSpaces) {
  const fs::path folder =
      fs::temp_directory_path() / ("quillet-hostile-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  constexpr std::size_t kLength = 2'000'000;
  DocumentBox box;
  box.SetDocument(testing::RunsWithoutSpaces(kLength));
  testing::RecordingOpener opener;
  BookBuilder builder(box, opener);

  BookRequest request;
  request.folder = folder.string() + "/";
  request.partCount = 2;
  ASSERT_TRUE(builder.Generate(request).ok());
  EXPECT_EQ(builder.LastRun().PartLength, kLength / 2);
  const std::string first = WithoutTags(testing::PageBody(folder / "Rerud01.html"));
  const std::string second = WithoutTags(testing::PageBody(folder / "Rerud02.html"));
  EXPECT_EQ(first.size(), kLength / 2);
  std::string text;
  for (std::size_t run = 0; run < kLength / 4; ++run) text += "abcd";
  EXPECT_TRUE(first + second == text);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace quillet
