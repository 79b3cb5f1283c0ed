#include "richtext/document.h"

#include <gtest/gtest.h>

#include "tests/richtext/test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::D;
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

}  // namespace
}  // namespace quillet
