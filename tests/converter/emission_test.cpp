#include <gtest/gtest.h>

#include "converter/converter_state.h"
#include "tests/converter/code_list_rows.h"

namespace quillet {
namespace {

using Pairs = std::vector<CodePair>;
constexpr CodeKind P = CodeKind::kPendingInline;
constexpr CodeKind PG = CodeKind::kPendingBlock;
constexpr CodeKind A = CodeKind::kOpenInline;
constexpr CodeKind G = CodeKind::kOpenBlock;
constexpr CodeKind K = CodeKind::kKilled;

class Emission : public testing::Test {
 protected:
  void SetUp() override { c.DefaultFontSize = 3; }
  std::string Kinds() const {
    std::string kinds;
    for (const CodeEntry& entry : c.Codes) kinds += std::string(KindName(entry.kind)) + " ";
    return kinds;
  }
  ConverterState c;
};

TEST_F(Emission, FontTagFromColourAndSize) {
  EXPECT_EQ(c.BuildFontTag("", ""), "");
  EXPECT_EQ(c.BuildFontTag("#FF0000", "5"), "<font color=\"#FF0000\" size=5>");
  EXPECT_EQ(c.BuildFontTag("#00FF00", ""), "<font color=\"#00FF00\">");
  EXPECT_EQ(c.BuildFontTag("", "2"), "<font size=2>");
  EXPECT_EQ(c.BuildFontTag("", "3"), "<font>");
}

TEST_F(Emission, OpenFontTagIsTheOutermostFontEvenWhenKilled) {
  SetCodes(c.Codes, {{"</font>", "<font inner>", A}, {"</font>", "<font outer>", K}});
  EXPECT_EQ(c.OpenFontTag(), "<font outer>");
}

TEST_F(Emission, NothingToCloseQueuesTheWantedFont) {
  c.FontString = "<font size=5>";
  EXPECT_EQ(c.CloseMarkedCodes(), "");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</font>", "<font size=5>"}}));
  // A pending font pair takes the new tag instead of a second pair.
  c.FontString = "<font size=6>";
  EXPECT_EQ(c.CloseMarkedCodes(), "");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</font>", "<font size=6>"}}));
}

TEST_F(Emission, ClosesUpToTheOutermostKilledAndReopensTheRest) {
  SetCodes(c.Codes, {{"</i>", "<i>", A}, {"</b>", "<b>", K}, {"</li>", "<li>", G}});
  EXPECT_EQ(c.CloseMarkedCodes(), "</i></b>");
  EXPECT_EQ(Kinds(), "K K G ");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</i>", "<i>"}}));
}

TEST_F(Emission, ChangedFontClosesAndReopensNestedElements) {
  SetCodes(c.Codes, {{"</b>", "<b>", A}, {"</font>", "<font size=5>", A}});
  c.FontString = "<font size=6>";
  EXPECT_EQ(c.CloseMarkedCodes(), "</b></font>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</font>", "<font size=6>"}, {"</b>", "<b>"}}));
}

TEST_F(Emission, EmptyFontStringClosesTheFontForGood) {
  SetCodes(c.Codes, {{"</font>", "<font size=5>", A}});
  EXPECT_EQ(c.CloseMarkedCodes(), "</font>");
  EXPECT_TRUE(c.NextCodes.empty());
}

TEST_F(Emission, UnchangedFontIsKeptOpen) {
  SetCodes(c.Codes, {{"</font>", "<font size=5>", K}});
  c.FontString = "<font size=5>";
  EXPECT_EQ(c.CloseMarkedCodes(), "");
  EXPECT_EQ(Kinds(), "A ");
}

TEST_F(Emission, ClosedListItemIsFollowedByLineEnd) {
  c.LineEnd = "\r\n";
  SetCodes(c.Codes, {{"</li>", "<li>", K}});
  EXPECT_EQ(c.CloseMarkedCodes(), "</li>\r\n");
  SetCodes(c.Codes, {{"</li>", "<li>", K}});
  EXPECT_EQ(c.CloseAllCodes(), "</li>");
}

TEST_F(Emission, OpenPendingBelowStopsAtTheAlignmentTable) {
  SetCodes(c.Codes, {{"</i>", "<i>", P}, {"</td></tr></table>", "<t>", G}, {"</b>", "<b>", P}});
  EXPECT_EQ(c.OpenPendingBelow("</td></tr></table>"), "<i>");
  EXPECT_EQ(Kinds(), "A G P ");
}

TEST_F(Emission, OpeningOrderInnermostOrOutermostFirst) {
  SetCodes(c.Codes, {{"</u>", "<u>", P}, {"</i>", "<i>", P}});
  EXPECT_EQ(c.OpenPendingBelow("</td></tr></table>"), "<u><i>");
  SetCodes(c.Codes, {{"</u>", "<u>", P}, {"</i>", "<i>", PG}});
  EXPECT_EQ(c.OpenPendingCodes(), "<i><u>");
  EXPECT_EQ(Kinds(), "A G ");
}

TEST_F(Emission, WorkedSequenceOfBoldAndItalic) {
  c.Queue("</b>", "<b>");
  c.TranslateToken("Hello");
  c.Queue("</i>", "<i>");
  c.TranslateToken("World");
  c.TranslateToken("\\b0");
  c.TranslateToken("again");
  EXPECT_EQ(c.HtmlOut, "<b>Hello<i>World</i></b><i>again");
  EXPECT_EQ(c.CloseAllCodes(), "</i>");
}

}  // namespace
}  // namespace quillet
