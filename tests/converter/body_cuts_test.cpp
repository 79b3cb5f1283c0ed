// Cutting a page's body down: the groups that carry no text, found in one
// pass, cut in order, and doubled line breaks collapsed after every cut.
#include "converter/body_cuts.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "converter/converter_state.h"

namespace quillet {
namespace {

struct BodyCase {
  const char* name;
  std::string rtf;
  std::string body;
  bool hasLists;
};

void PrintTo(const BodyCase& row, std::ostream* out) {
  *out << row.name;
}

class PreparedBody : public testing::TestWithParam<BodyCase> {};

// Each group is searched for in what the previous cut left, and every cut
// collapses doubled line breaks once more, however far from it they stand.
TEST_P(PreparedBody, IsTheTextLeftByTheCutsInOrder) {
  ConverterState state;
  std::string rtf = GetParam().rtf;
  EXPECT_EQ(state.PrepareBody(rtf), GetParam().body);
  EXPECT_EQ(state.HasLists, GetParam().hasLists);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Bodies, PreparedBody,
    testing::Values(
    BodyCase{"EveryGroupAndBlankLines",
     "{\\rtf1{\\fonttbl{\\f0 A;}}\r\n\r\n{\\colortbl;\\red255\\green0\\blue0;}\r\n\r\n\r\n{\\stylesheet{\\s0 N;}}\r\n{\\info{\\title T}}\r\n\r\n{\\*\\listtable{\\list\\listid1}}\r\n{\\*\\listoverridetable{\\listoverride\\ls1}}\r\n\r\n\r\n\r\nbody\r\n\r\n\r\n\r\n\r\n\r\nend}",
     "\\rtf1\r\n\r\nbody\r\nend", true},
    BodyCase{"CutJoinsAWord",
     "{\\rtf1 a{\\in{\\fonttbl x}fo b}c}",
     "\\rtf1 ac", false},
    BodyCase{"CutJoinsAWordAcrossGroups",
     "{\\rtf1 a\\list{\\colortbl;}override{\\fonttbl x}table b}",
     "\\b", false},
    BodyCase{"CutRemovesTheOnlyWord",
     "{\\rtf1 {\\fonttbl{\\info x}}y}",
     "\\rtf1 y", false},
    BodyCase{"CutRemovesTheFirstPlace",
     "{\\rtf1 {\\colortbl;\\stylesheet}a{\\stylesheet{\\s0 b}}c}",
     "\\rtf1 ac", false},
    BodyCase{"LateBlankLinesCollapseOncePerCut",
     "{\\rtf1{\\fonttbl x}\r\n{\\info y}\r\nline\r\nline\r\nline\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nend}",
     "\\rtf1\r\nline\r\nline\r\nline\r\n\r\n\r\nend", false},
    BodyCase{"CutBetweenBreaksMakesARunOfThree",
     "{\\rtf1 a\r\n{\\info x}\r\n\r\nb}",
     "\\rtf1 a\r\n\r\nb", false},
    BodyCase{"GroupAtTheEnd",
     "{\\rtf1 text text text text text text text text text text text text text text text text text text text text text text text text text text text text text text \r\n\r\n{\\info x}\r\n\r\n}",
     "\\rtf1 text text text text text text text text text text text text text text text text text text text text text text text text text text text text text text \r\n\r\n", false},
    BodyCase{"SecondCutMeetsCollapsedBreaks",
     "{\\rtf1 a\r\n\r\n\r\n{\\fonttbl x}\r\n\r\nb\r\n{\\stylesheet y}\r\n\r\n\r\nc}",
     "\\rtf1 a\r\n\r\nb\r\n\r\nc", false},
    BodyCase{"NoGroupLeavesBlankLines",
     "{\\rtf1 a\r\n\r\n\r\nb}",
     "\\rtf1 a\r\n\r\n\r\nb", false},
    BodyCase{"ListWordMadeByACutIsNoList",
     "{\\rtf1 \\list{\\info x}\\ y}",
     "\\rtf1 \\list\\ y", false},
    BodyCase{"UnclosedGroupRunsToTheEnd",
     "{\\rtf1 a\r\n\r\n{\\info x\r\n\r\n\r\ny",
     "{\\rtf1 a\r\ny", false},
    BodyCase{"EscapedBackslashBeforeWord",
     "{\\rtf1 a\\\\info b{\\info c}}",
     "\\}", false}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(PreparedBodyColors, ColorTableIsReadBeforeItIsCut) {
  ConverterState state;
  std::string rtf = "{\\rtf1{\\fonttbl x}{\\colortbl;\\red255\\green0\\blue0;}y}";
  EXPECT_EQ(state.PrepareBody(rtf), "\\rtf1y");
  EXPECT_EQ(state.ColorTable, (std::vector<std::string>{"", "FF0000"}));
}

constexpr std::array<std::string_view, 3> kWords{"\\list\\", "\\listtable", "\\info"};

TEST(WordPlaces, FindsEachWordsFirstPlace) {
  const std::string_view text = "\\list1\\listtable\\\\info\\list\\listtable\\";
  const WordPlaces places(text, kWords);
  EXPECT_EQ(places.Find(0, text), 22u);
  EXPECT_EQ(places.Find(1, text), 6u);
  EXPECT_EQ(places.Find(2, text), 17u);
}

TEST(WordPlaces, MissesWordsCutShortByTheEnd) {
  const std::string_view text = "x\\listtabl\\inf\\";
  const WordPlaces places(text, kWords);
  for (std::size_t k = 0; k < kWords.size(); ++k) {
    EXPECT_EQ(places.Find(k, text), std::string_view::npos) << kWords[k];
  }
}

TEST(WordPlaces, AfterACutFindsWordsThatMeetAtIt) {
  std::string text = "a\\in{x}fo\\list{y}\\b";
  WordPlaces places(text, kWords);
  EXPECT_EQ(places.Find(2, text), std::string_view::npos);
  text = "a\\info\\list{y}\\b";  // "{x}" cut at 4
  places.Cut(text, 4);
  EXPECT_EQ(places.Find(2, text), 1u);
  EXPECT_EQ(places.Find(0, text), std::string_view::npos);
}

}  // namespace
}  // namespace quillet
