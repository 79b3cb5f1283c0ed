#include "richtext/document.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/richtext/test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::D;
using testing::Italic;
using testing::P;
using testing::R;

Document ThreeParagraphs() {
  // "ab" bold + "cd" | "" | "ef"  ->  "abcd\n\nef", 8 positions.
  return D({P({R(u"ab", Bold()), R(u"cd")}), P({}), P({R(u"ef")})});
}

TEST(Document, CountsOnePositionPerParagraphBreak) {
  EXPECT_EQ(ThreeParagraphs().Length(), 8u);
  EXPECT_EQ(ThreeParagraphs().PlainText(), u"abcd\n\nef");
  EXPECT_EQ(Document{}.Length(), 0u);
  EXPECT_EQ(D({P({})}).Length(), 0u);
}

TEST(Document, AppendTextMergesRunsOfTheSameFormat) {
  Paragraph paragraph;
  AppendText(paragraph, u"a", Bold());
  AppendText(paragraph, u"b", Bold());
  AppendText(paragraph, u"", CharFormat{});
  AppendText(paragraph, u"c", CharFormat{});
  ASSERT_EQ(paragraph.Runs().size(), 2u);
  EXPECT_EQ(paragraph.Runs()[0].text, u"ab");
  EXPECT_EQ(paragraph.Runs()[1].text, u"c");
}

TEST(Document, SliceTextIsTheSameRangeOfThePlainTextForEveryRange) {
  const Document document = ThreeParagraphs();
  const std::u16string text = document.PlainText();
  for (std::size_t start = 0; start <= text.size() + 1; ++start) {
    for (std::size_t length = 0; length <= text.size() + 1; ++length) {
      const std::u16string expected = start < text.size() ? text.substr(start, length) : u"";
      EXPECT_EQ(document.Slice(start, length).PlainText(), expected)
          << "start " << start << " length " << length;
    }
  }
}

TEST(Document, SliceKeepsFormatsAndParagraphProperties) {
  Document document =
      D({P({R(u"ab", Bold()), R(u"cd")}, Alignment::kCenter), testing::Bullet({R(u"ef")})});
  const Document slice = document.Slice(1, 5);  // "bcd\ne"
  const Document expected =
      D({P({R(u"b", Bold()), R(u"cd")}, Alignment::kCenter), testing::Bullet({R(u"e")})});
  EXPECT_EQ(slice, expected);
}

TEST(Document, SliceOfNothingIsEmpty) {
  EXPECT_TRUE(ThreeParagraphs().Slice(3, 0).paragraphs.empty());
  EXPECT_TRUE(ThreeParagraphs().Slice(8, 4).paragraphs.empty());
}

// Runs() makes a view for each call: iterators taken from one stay good after
// it, as iterators into the paragraph itself would.
TEST(Document, RunIteratorsStayGoodAfterTheRunListTheyCameFrom) {
  const Paragraph paragraph = ThreeParagraphs().paragraphs[0];
  RunList::Iterator run = paragraph.Runs().begin();
  const RunList::Iterator end = paragraph.Runs().end();
  std::u16string text;
  for (; run != end; ++run) text += (*run).text;
  EXPECT_EQ(text, u"abcd");
}

// The runs of a paragraph as owned copies, read through its iterator.
std::vector<Run> RunsOf(const Paragraph& paragraph) {
  std::vector<Run> runs;
  for (const RunView run : paragraph.Runs())
    runs.push_back(Run{run.format, std::u16string(run.text)});
  return runs;
}

struct ParagraphEdit {
  const char* name;
  std::function<void(Paragraph&)> edit;
  std::vector<Run> expected;  // of "ab" bold, "cd", "ef" italic after the edit
};

void PrintTo(const ParagraphEdit& edit, std::ostream* out) {
  *out << edit.name;
}

class ParagraphEdits : public ::testing::TestWithParam<ParagraphEdit> {};

TEST_P(ParagraphEdits, LeaveTheRunsAsTheyStandWithTheTextOverThem) {
  Paragraph paragraph = P({R(u"ab", Bold()), R(u"cd"), R(u"ef", Italic())});
  GetParam().edit(paragraph);
  EXPECT_EQ(RunsOf(paragraph), GetParam().expected);
  std::u16string text;
  for (const quillet::Run& run : GetParam().expected) text += run.text;
  EXPECT_EQ(paragraph.Text(), text);
  EXPECT_EQ(paragraph.Length(), text.size());
  EXPECT_EQ(paragraph.Runs().size(), GetParam().expected.size());
  EXPECT_EQ(paragraph.alignment, Alignment::kLeft);
  EXPECT_FALSE(paragraph.bullet);
}

INSTANTIATE_TEST_SUITE_P(
    Document, ParagraphEdits,
    ::testing::Values(
        ParagraphEdit{"EraseFrontKeepsTheEmptiedRun",
                      [](Paragraph& p) { p.EraseFront(2); },
                      {R(u"", Bold()), R(u"cd"), R(u"ef", Italic())}},
        ParagraphEdit{"EraseFrontPart",
                      [](Paragraph& p) { p.EraseFront(1); },
                      {R(u"b", Bold()), R(u"cd"), R(u"ef", Italic())}},
        ParagraphEdit{
            "PopFront", [](Paragraph& p) { p.PopFront(); }, {R(u"cd"), R(u"ef", Italic())}},
        ParagraphEdit{"EraseBackKeepsTheEmptiedRun",
                      [](Paragraph& p) { p.EraseBack(2); },
                      {R(u"ab", Bold()), R(u"cd"), R(u"", Italic())}},
        ParagraphEdit{"PopBack", [](Paragraph& p) { p.PopBack(); }, {R(u"ab", Bold()), R(u"cd")}},
        ParagraphEdit{"PopEveryRun",
                      [](Paragraph& p) {
                        p.PopBack();
                        p.PopFront();
                        p.PopBack();
                      },
                      {}},
        ParagraphEdit{"InsertFrontIntoTheFirstRun",
                      [](Paragraph& p) { p.InsertFront(u"1.\t"); },
                      {R(u"1.\tab", Bold()), R(u"cd"), R(u"ef", Italic())}},
        ParagraphEdit{"FormatOfKeepsRunsAlikeApart",
                      [](Paragraph& p) { p.FormatOf(1).bold = true; },
                      {R(u"ab", Bold()), R(u"cd", Bold()), R(u"ef", Italic())}},
        ParagraphEdit{"AppendAfterAnEditMergesIntoTheLastRun",
                      [](Paragraph& p) {
                        p.EraseBack(1);
                        AppendText(p, u"g", Italic());
                      },
                      {R(u"ab", Bold()), R(u"cd"), R(u"eg", Italic())}},
        ParagraphEdit{"ClearLeavesAnEmptyLeftParagraph",
                      [](Paragraph& p) {
                        p.alignment = Alignment::kCenter;
                        p.bullet = true;
                        p.Clear();
                      },
                      {}}),
    [](const ::testing::TestParamInfo<ParagraphEdit>& info) { return info.param.name; });

TEST(Document, ParagraphsAreEqualWhenTheirRunsAndPropertiesAre) {
  const Paragraph merged = P({R(u"abcd", Bold())});
  Paragraph apart = P({R(u"ab", Bold()), R(u"cd")});
  EXPECT_NE(apart, merged);
  apart.FormatOf(1).bold = true;
  EXPECT_EQ(apart.Text(), merged.Text());
  EXPECT_NE(apart, merged);  // the same text in the same formats, cut otherwise
  EXPECT_NE(P({R(u"ab")}, Alignment::kCenter), P({R(u"ab")}));
  EXPECT_NE(testing::Bullet({R(u"ab")}), P({R(u"ab")}));
  EXPECT_EQ(P({R(u"a", Bold()), R(u"b", Bold())}), P({R(u"ab", Bold())}));
}

TEST(Document, RunsReadInPlaceByIndex) {
  const Paragraph paragraph = P({R(u"ab", Bold()), R(u"cd")});
  EXPECT_EQ(paragraph.Runs().front().text, u"ab");
  EXPECT_TRUE(paragraph.Runs()[0].format.bold);
  EXPECT_EQ(paragraph.Runs().back().text, u"cd");
  EXPECT_EQ(paragraph.Runs().at(1).text, u"cd");
  EXPECT_THROW(paragraph.Runs().at(2), std::out_of_range);
  EXPECT_TRUE(Paragraph{}.Runs().empty());
}

}  // namespace
}  // namespace quillet
