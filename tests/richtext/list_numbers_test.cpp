// List numbers the writer left to the reader: the number styles, the list
// table's counting, and RTF list paragraphs without list text.
#include "richtext/list_numbers.h"

#include <gtest/gtest.h>

#include "richtext/rtf_reader.h"
#include "richtext/text_encoding.h"
#include "test_documents.h"

namespace quillet {
namespace {

using testing::Bullet;
using testing::D;
using testing::P;
using testing::R;
using testing::RtfDocument;

struct NumberCase {
  const char* name;
  NumberStyle style;
  int number;
  std::u16string text;
};

void PrintTo(const NumberCase& row, std::ostream* out) {
  *out << row.name;
}

class ListNumberStyles : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ListNumberStyles, WriteTheNumber) {
  EXPECT_EQ(ToUtf8(FormatNumber(GetParam().number, GetParam().style)), ToUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ListNumberStyles,
    ::testing::Values(NumberCase{"decimal", NumberStyle::kDecimal, 12, u"12"},
                      NumberCase{"negative_decimal", NumberStyle::kDecimal, -3, u"-3"},
                      NumberCase{"zero_padded", NumberStyle::kDecimalZero, 7, u"07"},
                      NumberCase{"zero_padded_past_nine", NumberStyle::kDecimalZero, 12, u"12"},
                      NumberCase{"letter", NumberStyle::kLowerLetter, 1, u"a"},
                      NumberCase{"letters_past_z", NumberStyle::kLowerLetter, 27, u"aa"},
                      NumberCase{"upper_letters", NumberStyle::kUpperLetter, 52, u"AZ"},
                      NumberCase{"no_letter_for_zero", NumberStyle::kUpperLetter, 0, u"0"},
                      NumberCase{"roman", NumberStyle::kLowerRoman, 14, u"xiv"},
                      NumberCase{"largest_roman", NumberStyle::kUpperRoman, 3999, u"MMMCMXCIX"},
                      NumberCase{"no_roman_past_3999", NumberStyle::kUpperRoman, 4000, u"4000"},
                      NumberCase{"ordinal", NumberStyle::kOrdinal, 2, u"2nd"},
                      NumberCase{"ordinal_teen", NumberStyle::kOrdinal, 13, u"13th"},
                      NumberCase{"ordinal_past_100", NumberStyle::kOrdinal, 101, u"101st"},
                      NumberCase{"symbol", NumberStyle::kSymbols, 3, u"\u2021"},
                      NumberCase{"symbols_doubled", NumberStyle::kSymbols, 5, u"**"}),
    ::testing::PrintToStringParamName());

ListLevel Level(NumberStyle style, std::u16string text, int start = 1) {
  ListLevel level;
  level.style = style;
  level.text = std::move(text);
  level.start = start;
  return level;
}

// Level texts: "\0." is level 0's number and a full stop.
const std::u16string kFirst(u"\0.", 2);
const std::u16string kSecond(u"\0.\1)", 4);

std::vector<std::u16string> Markers(ListNumbering& lists,
                                    std::initializer_list<std::pair<int, int>> paragraphs) {
  std::vector<std::u16string> markers;
  for (const auto& [override_number, level] : paragraphs) {
    const ListMarker marker = lists.Next(override_number, level);
    markers.push_back(marker.kind == ListMarker::Kind::kNumber   ? marker.text
                      : marker.kind == ListMarker::Kind::kBullet ? u"bullet"
                      : marker.kind == ListMarker::Kind::kNone   ? u"none"
                                                                 : u"unknown");
  }
  return markers;
}

TEST(ListNumbering, CountsEachLevelAndRestartsTheLevelsBelow) {
  ListNumbering lists;
  lists.AddList(7,
                {Level(NumberStyle::kDecimal, kFirst), Level(NumberStyle::kLowerLetter, kSecond)});
  lists.AddOverride(1, 7);
  EXPECT_EQ(
      Markers(lists, {{1, 0}, {1, 1}, {1, 1}, {1, 0}, {1, 1}, {1, 0}}),
      (std::vector<std::u16string>{u"1.\t", u"1.a)\t", u"1.b)\t", u"2.\t", u"2.a)\t", u"3.\t"}));
}

TEST(ListNumbering, OverridesOfOneListCountOnUnlessTheyStartALevelAgain) {
  ListNumbering lists;
  lists.AddList(7, {Level(NumberStyle::kUpperRoman, kFirst, 3)});
  lists.AddOverride(1, 7);
  lists.AddOverride(2, 7);
  lists.AddOverride(3, 7, {{0, 10}});
  EXPECT_EQ(
      Markers(lists, {{1, 0}, {2, 0}, {1, 0}, {3, 0}, {3, 0}, {2, 0}}),
      (std::vector<std::u16string>{u"III.\t", u"IV.\t", u"V.\t", u"X.\t", u"XI.\t", u"XII.\t"}));
}

TEST(ListNumbering, TellsBulletsPlainLevelsAndUnknownLists) {
  ListNumbering lists;
  lists.AddList(1, {Level(NumberStyle::kBullet, u"\u2022"), Level(NumberStyle::kNone, u"")});
  lists.AddOverride(1, 1);
  lists.AddOverride(2, 99);
  EXPECT_EQ(Markers(lists, {{1, 0}, {1, 1}, {1, 8}, {2, 0}, {3, 0}}),
            (std::vector<std::u16string>{u"bullet", u"none", u"none", u"unknown", u"unknown"}));
}

TEST(ListNumbering, FollowsTheLevelWithWhatItSays) {
  ListNumbering lists;
  ListLevel level = Level(NumberStyle::kDecimal, kFirst);
  level.follow = std::u16string(1, u' ');
  lists.AddList(1, {level});
  lists.AddOverride(1, 1);
  EXPECT_EQ(lists.Next(1, 0).text, u"1. ");
}

// A list table of one list (id 5, overrides 1 and 2, the second starting
// level 0 again at 1): decimal "1.", then "1.a)" with a space after it, then
// upper roman from 3 that does not restart, then a bullet level and a level
// without a number.
const std::string kListTable =
    "{\\*\\listtable{\\list\\listtemplateid1"
    "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\leveltemplateid9\\'02\\'00.;}"
    "{\\levelnumbers\\'01;}}"
    "{\\listlevel\\levelnfc4\\levelstartat1\\levelfollow1{\\leveltext\\'04\\'00.\\'01);}"
    "{\\levelnumbers\\'01\\'03;}}"
    "{\\listlevel\\levelnfcn1\\levelstartat3\\levelnorestart1{\\leveltext\\'02\\'02.;}}"
    "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}"
    "{\\listlevel\\levelnfc255{\\leveltext\\'00;}{\\levelnumbers;}}"
    "{\\listname Numbers;}\\listid5}}"
    "{\\*\\listoverridetable{\\listoverride\\listid5\\listoverridecount0\\ls1}"
    "{\\listoverride\\listid5\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat1}"
    "\\ls2}}";

struct ListCase {
  const char* name;
  std::string header;
  std::string body;
  Document document;
};

void PrintTo(const ListCase& row, std::ostream* out) {
  *out << row.name;
}

class RtfListNumbers : public ::testing::TestWithParam<ListCase> {};

TEST_P(RtfListNumbers, ComeFromTheListTable) {
  EXPECT_EQ(ReadRtf(RtfDocument(GetParam().header, GetParam().body)), GetParam().document);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RtfListNumbers,
    ::testing::Values(
        ListCase{"decimal_levels_and_a_restarting_override", kListTable,
                 "\\pard\\ls1 a\\par\\pard\\ls1 b\\par\\pard c\\par\\pard\\ls2 d\\par",
                 D({P({R(u"1.\ta")}), P({R(u"2.\tb")}), P({R(u"c")}), P({R(u"1.\td")})})},
        ListCase{"a_level_below_shows_the_number_above", kListTable,
                 "\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par\\ls1\\ilvl1 c\\par\\pard\\ls1 "
                 "d\\par\\pard\\ls1\\ilvl1 e\\par",
                 D({P({R(u"1.\ta")}), P({R(u"1.a) b")}), P({R(u"1.b) c")}), P({R(u"2.\td")}),
                    P({R(u"2.a) e")})})},
        ListCase{"a_level_that_does_not_restart", kListTable,
                 "\\pard\\ls1\\ilvl2 a\\par\\pard\\ls1 b\\par\\pard\\ls1\\ilvl2 c\\par",
                 D({P({R(u"III.\ta")}), P({R(u"1.\tb")}), P({R(u"IV.\tc")})})},
        ListCase{"bullet_level_is_a_bullet_and_a_plain_level_plain", kListTable,
                 "\\pard\\ls1\\ilvl3 a\\par\\pard\\ls1\\ilvl4 b\\par",
                 D({Bullet({R(u"a")}), P({R(u"b")})})},
        ListCase{"list_text_wins_and_counts", kListTable,
                 "\\pard{\\listtext 7.\\tab}\\ls1 a\\par\\pard\\ls1 b\\par",
                 D({P({R(u"7.\ta")}), P({R(u"2.\tb")})})},
        ListCase{"empty_list_text_over_a_plain_level", kListTable,
                 "\\pard{\\listtext\\pard\\plain \\tab}\\ls1\\ilvl4 Heading\\par",
                 D({P({R(u"Heading")})})},
        ListCase{"override_without_a_list_table_is_a_bullet", "", "\\pard\\ls3 a\\par",
                 D({Bullet({R(u"a")})})},
        ListCase{"number_in_the_format_of_the_text", kListTable, "\\pard\\ls1\\b a\\par",
                 D({P({R(u"1.\ta", testing::Bold())})})}),
    ::testing::PrintToStringParamName());

INSTANTIATE_TEST_SUITE_P(
    OldStyle, RtfListNumbers,
    ::testing::Values(
        ListCase{"decimal_counts_on", "",
                 "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}a\\par b\\par",
                 D({P({R(u"1.\ta")}), P({R(u"2.\tb")})})},
        ListCase{"letters_with_text_before_and_after_from_a_start", "",
                 "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr\\pnstart3{\\pntxtb (}{\\pntxta )}}a\\par",
                 D({P({R(u"(c)\ta")})})},
        ListCase{"continuation_keeps_the_count", "",
                 "\\pard{\\*\\pn\\pnlvlbody\\pnucrm{\\pntxta .}}a\\par\\pard{\\*\\pn\\pnlvlcont}"
                 "more\\par\\pard{\\*\\pn\\pnlvlbody\\pnucrm{\\pntxta .}}b\\par",
                 D({P({R(u"I.\ta")}), P({R(u"more")}), P({R(u"II.\tb")})})},
        ListCase{"another_paragraph_or_style_starts_again", "",
                 "\\pard{\\*\\pn\\pnlvlbody\\pndec}a\\par\\pard b\\par\\pard{\\*\\pn\\pnlvlbody"
                 "\\pndec}c\\par\\pard{\\*\\pn\\pnlvlbody\\pnord}d\\par",
                 D({P({R(u"1\ta")}), P({R(u"b")}), P({R(u"1\tc")}), P({R(u"1st\td")})})},
        ListCase{"paragraph_number_text_wins", "",
                 "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}a\\par",
                 D({P({R(u"1.\ta")})})},
        ListCase{"bullet_level_without_text_is_a_bullet", "",
                 "\\pard{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb \\'B7}}a\\par", D({Bullet({R(u"a")})})}),
    ::testing::PrintToStringParamName());

// A list's texts go in front of each of its paragraphs: a long one must not
// multiply the input.
TEST(RtfListNumbers, LongListTextsAreCut) {
  const std::string text(100000, 'x');
  std::string body =
      "\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb " + text + "}{\\pntxta " + text + "}}";
  std::string list_body;
  for (int i = 0; i < 10000; ++i) {
    body += "a\\par ";
    list_body += "\\pard\\ls1 b\\par ";
  }
  const std::string level_table = "{\\*\\listtable{\\list{\\listlevel{\\leveltext\\u-1 ?" + text +
                                  ";}{\\levelnumbers" + std::string(50000, ';') +
                                  "}}\\listid1}}{\\*\\listoverridetable{"
                                  "\\listoverride\\listid1\\ls1}}";
  EXPECT_LT(ReadRtf(RtfDocument("", body)).PlainText().size(), 2'000'000u);
  EXPECT_LT(ReadRtf(RtfDocument(level_table, list_body)).PlainText().size(), 2'000'000u);
}

TEST(RtfListNumbers, ManyNumberedParagraphsCountOn) {
  std::string body = "\\pard{\\*\\pn\\pnlvlbody\\pndec}";
  for (int i = 0; i < 50000; ++i) body += "x\\par{\\*\\pn\\pnlvlbody\\pndec}";
  const Document document = ReadRtf(RtfDocument("", body));
  ASSERT_EQ(document.paragraphs.size(), 50000u);
  EXPECT_EQ(document.paragraphs.back().Runs().front().text, u"50000\tx");
}

}  // namespace
}  // namespace quillet
