// Hostile bodies run once each; what comes out is checked, not how long it took
// (bench/reader_bench.cpp shows the time per MB).
#include <gtest/gtest.h>

#include <string>

#include "builder/messages.h"
#include "builder/reader/balancer.h"
#include "builder/reader/reader_book.h"
#include "tests/reader/reader_support.h"

namespace quillet::reader {
namespace {

std::string Repeat(std::string_view text, int times) {
  std::string repeated;
  repeated.reserve(text.size() * static_cast<std::size_t>(times));
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

TEST(ReaderPathologicalTest, HundredThousandNestedUnderlinesBecomeOne) {
  const std::string body = Repeat("<u>", 100000) + "x" + Repeat("</u>", 100000);
  EXPECT_EQ(Balance(body, kBodyFontSize).html, "<u>x</u>");
}

TEST(ReaderPathologicalTest, FiftyThousandStrayEndTagsAreDropped) {
  EXPECT_EQ(Balance(Repeat("a</font>", 50000), kBodyFontSize).html, std::string(50000, 'a'));
}

TEST(ReaderPathologicalTest, MisnestedPairsRepeatedStayBalanced) {
  const std::string html = Balance(Repeat("<b><i>x</b>", 50000), kBodyFontSize).html;
  EXPECT_EQ(testing::StripTags(html), std::string(50000, 'x'));
  EXPECT_TRUE(html.ends_with("</i>"));
  EXPECT_EQ(html.find("</b></b>"), std::string::npos);
}

TEST(ReaderPathologicalTest, DeepDistinctElementsThenManyStrayEnds) {
  std::string body;
  for (int i = 0; i < 2000; ++i) body += "<font color=\"#" + std::to_string(100000 + i) + "\">";
  body += "x" + Repeat("</b>", 100000);
  const std::string html = Balance(body, kBodyFontSize).html;
  EXPECT_EQ(testing::StripTags(html), "x");
}

TEST(ReaderPathologicalTest, HundredThousandItemsMakeOneList) {
  const std::string html = Balance(Repeat("<li>a</li>", 100000), kBodyFontSize).html;
  EXPECT_EQ(html, "<ul>" + Repeat("<li>a</li>", 100000) + "</ul>");
}

TEST(ReaderPathologicalTest, FiveMegabyteWordIsCutOnlyAtTheBudget) {
  const std::string body = std::string(5'000'000, 'w');
  const ReaderResult result = MakeReaderBook(body, testing::Names(), ReaderOptions::All());
  ASSERT_EQ(Message(result.status), "");
  std::string joined;
  for (const std::string& page : result.value.parts) {
    EXPECT_LE(page.size(), 100u * 1024);
    joined += testing::PageBody(page);
  }
  EXPECT_EQ(joined, body);
  // Every part but the last is as full as the budget allows.
  for (std::size_t part = 0; part + 1 < result.value.parts.size(); ++part) {
    EXPECT_GT(result.value.parts[part].size(), 99u * 1024);
  }
}

}  // namespace
}  // namespace quillet::reader
