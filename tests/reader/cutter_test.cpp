// Where the cutter cuts: the fewest parts under a budget, about equal parts
// for a count, clean places, and what it refuses.
#include "builder/reader/cutter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "builder/reader/reader_book.h"

namespace quillet::reader {
namespace {

// Exactly `bytes` bytes of five-letter words, each followed by a space.
std::string Words(std::size_t bytes) {
  std::string text;
  while (text.size() + 6 <= bytes) text += "abcde ";
  text.append(bytes - text.size(), 'z');
  return text;
}

std::vector<std::string> PartTexts(const BalancedBody& body, const std::vector<Span>& parts) {
  std::vector<std::string> texts;
  for (const Span& part : parts)
    texts.push_back(body.html.substr(part.begin, part.end - part.begin));
  return texts;
}

CutRules Budget(std::size_t pageBytes, bool clean = true) {
  CutRules rules;
  rules.pageBytes = pageBytes;
  rules.cleanCuts = clean;
  return rules;
}

struct CountCase {
  std::size_t room;
  std::size_t parts;
};

void PrintTo(const CountCase& row, std::ostream* out) {
  *out << row.room << "Bytes";
}

class FewestPartsTest : public ::testing::TestWithParam<CountCase> {};

// A thousand words of ten bytes: a page holds room / 10 whole words.
TEST_P(FewestPartsTest, UnderTheBudgetNoMoreThanWholeWordsNeed) {
  std::string text;
  for (int word = 0; word < 1000; ++word) text += "abcdefghi ";
  const BalancedBody body = Balance(text, kBodyFontSize);
  CutRules rules = Budget(GetParam().room + 100);
  rules.frameBytes = 100;
  const Cutter cutter(body, rules);
  const std::optional<std::vector<Span>> greedy = cutter.Greedy();
  const std::optional<std::vector<Span>> parts = cutter.Cut();
  ASSERT_TRUE(greedy && parts);
  EXPECT_EQ(greedy->size(), GetParam().parts);
  EXPECT_EQ(parts->size(), GetParam().parts);
  for (const Span& part : *parts) EXPECT_LE(cutter.BodyBytes(part), GetParam().room);
}

INSTANTIATE_TEST_SUITE_P(Rooms, FewestPartsTest,
                         ::testing::Values(CountCase{1000, 10}, CountCase{1005, 10},
                                           CountCase{999, 11}, CountCase{95, 112},
                                           CountCase{20000, 1}),
                         ::testing::PrintToStringParamName());

struct PlaceCase {
  std::string name;
  std::string body;
  std::string firstPartEnds;   // the text the first part ends with
  std::size_t firstPartBytes;  // its length, 0 when any length will do
};

void PrintTo(const PlaceCase& row, std::ostream* out) {
  *out << row.name;
}

class CleanPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(CleanPlaceTest, FirstCutOfAThousandBytePage) {
  const BalancedBody body = Balance(GetParam().body, kBodyFontSize);
  const Cutter cutter(body, Budget(1000));
  const std::optional<std::vector<Span>> parts = cutter.Greedy();
  ASSERT_TRUE(parts);
  ASSERT_GE(parts->size(), 2u);
  const std::string first = PartTexts(body, *parts).front();
  EXPECT_TRUE(first.ends_with(GetParam().firstPartEnds)) << first.substr(first.size() - 40);
  if (GetParam().firstPartBytes > 0) {
    EXPECT_EQ(first.size(), GetParam().firstPartBytes);
  }
  EXPECT_LE(cutter.BodyBytes(parts->front()), 1000u);
}

INSTANTIATE_TEST_SUITE_P(
    Places, CleanPlaceTest,
    ::testing::Values(
        PlaceCase{"ParagraphEndInTheLastFifth", Words(850) + "<br>" + Words(2000), "z<br>", 854},
        PlaceCase{"ItemEndInTheLastFifth", "<li>" + Words(850) + "</li>" + Words(2000),
                  "z</li></ul>", 0},
        PlaceCase{"SentenceEndWhenTheParagraphEndIsEarlier",
                  Words(500) + "<br>" + Words(300) + "End. " + Words(2000), "End. ", 0},
        PlaceCase{"SentenceEndAfterQuoteAndEndTag",
                  Words(850) + "<i>said.&rdquo;</i> " + Words(2000), "said.&rdquo;</i> ", 0},
        PlaceCase{"QuestionAndExclamationEndSentences", Words(850) + "Why? " + Words(2000), "Why? ",
                  0},
        PlaceCase{"AbbreviationWithoutSpaceIsNoEnd", Words(850) + "e.g.x " + Words(2000), "abcde ",
                  1000},
        PlaceCase{"SpaceWhenThereIsNothingBetter", Words(3000), "abcde ", 996},
        PlaceCase{"AWordLongerThanAPageIsCut", std::string(3000, 'x'), "x", 1000},
        PlaceCase{"AWordIsNeverCutInsideAReference",
                  [] {
                    std::string word;
                    for (int i = 0; i < 400; ++i) word += "&#1078;";
                    return word;
                  }(),
                  "&#1078;", 1000 / 7 * 7},
        PlaceCase{"EndTagsAfterTheCutStayWithThePart", Words(850) + "<b>Bold. </b>" + Words(2000),
                  "Bold. </b>", 0}),
    [](const auto& info) { return info.param.name; });

TEST(CutterTest, PartsOfACountAreAboutEqual) {
  const BalancedBody body = Balance(Words(100000), kBodyFontSize);
  CutRules rules;
  rules.partCount = 7;
  rules.cleanCuts = true;
  const std::optional<std::vector<Span>> parts = Cutter(body, rules).Cut();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->size(), 7u);
  for (const Span& part : *parts) {
    EXPECT_NEAR(static_cast<double>(part.end - part.begin), 100000.0 / 7, 100000.0 / 7 / 8);
  }
}

TEST(CutterTest, PartsUnderABudgetAndACountAreAboutEqual) {
  const BalancedBody body = Balance(Words(100000), kBodyFontSize);
  CutRules rules = Budget(30000);
  rules.partCount = 5;  // the budget alone needs 4
  const std::optional<std::vector<Span>> parts = Cutter(body, rules).Cut();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->size(), 5u);
  for (const Span& part : *parts) EXPECT_NEAR(part.end - part.begin, 20000.0, 2500.0);
}

TEST(CutterTest, TextShorterThanTheCountGivesFewerParts) {
  const BalancedBody body = Balance("uno dos tres", kBodyFontSize);
  CutRules rules;
  rules.partCount = 10;
  rules.cleanCuts = true;
  const std::optional<std::vector<Span>> parts = Cutter(body, rules).Cut();
  ASSERT_TRUE(parts);
  EXPECT_EQ(PartTexts(body, *parts), (std::vector<std::string>{"uno ", "dos ", "tres"}));
}

TEST(CutterTest, NoPartWithoutVisibleText) {
  std::string body = "a b c";
  for (int i = 0; i < 1000; ++i) body += "<br>";
  const BalancedBody balanced = Balance(body, kBodyFontSize);
  CutRules rules;
  rules.partCount = 3;
  rules.cleanCuts = true;
  const std::optional<std::vector<Span>> parts = Cutter(balanced, rules).Cut();
  ASSERT_TRUE(parts);
  for (const std::string& part : PartTexts(balanced, *parts)) {
    EXPECT_NE(part.find_first_of("abc"), std::string::npos) << part.substr(0, 20);
  }
}

TEST(CutterTest, ElementsOpenAtACutCloseAndOpenAgain) {
  const BalancedBody body = Balance("<b><font color=\"#F00\">" + Words(3000), kBodyFontSize);
  const Cutter cutter(body, Budget(1000));
  const std::optional<std::vector<Span>> parts = cutter.Cut();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->size(), 4u);
  for (const Span& part : *parts) {
    EXPECT_LE(cutter.BodyBytes(part), 1000u);
    EXPECT_EQ(body.OpeningTags(body.StateAt(part.begin)),
              part.begin == 0 ? "" : "<b><font color=\"#F00\">");
  }
  EXPECT_EQ(body.ClosingTags(body.StateAt(parts->front().end)), "</font></b>");
}

TEST(CutterTest, MorePartsThanTheLimitIsNoLayout) {
  const BalancedBody body = Balance(Words(10000), kBodyFontSize);
  CutRules rules = Budget(1000);
  rules.maxParts = 5;
  EXPECT_FALSE(Cutter(body, rules).Cut());
  rules.maxParts = 11;
  EXPECT_TRUE(Cutter(body, rules).Cut());
}

TEST(CutterTest, MarkupThatLeavesNoRoomIsNoLayout) {
  std::string body;
  for (int i = 10; i < 40; ++i) body += "<font color=\"#0000" + std::to_string(i) + "\">w ";
  body += Words(5000);
  const BalancedBody balanced = Balance(body, kBodyFontSize);
  EXPECT_FALSE(Cutter(balanced, Budget(600)).Cut());
  EXPECT_TRUE(Cutter(balanced, Budget(2000)).Cut());
}

TEST(CutterTest, WithoutBudgetOnePartHoldsEverything) {
  const BalancedBody body = Balance(Words(5000), kBodyFontSize);
  const std::optional<std::vector<Span>> parts = Cutter(body, CutRules{}).Cut();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->size(), 1u);
  EXPECT_EQ(parts->front().end, body.html.size());
}

TEST(CutterTest, WithoutCleanCutsPartsFillTheBudget) {
  const BalancedBody body = Balance(Words(3000), kBodyFontSize);
  const Cutter cutter(body, Budget(1000, false));
  const std::optional<std::vector<Span>> parts = cutter.Cut();
  ASSERT_TRUE(parts);
  ASSERT_EQ(parts->size(), 3u);
  EXPECT_EQ(parts->front().end, 1000u);
}

}  // namespace
}  // namespace quillet::reader
