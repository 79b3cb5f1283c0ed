#include <gtest/gtest.h>

#include "converter.h"

namespace quillet {
namespace {

using K = CodeKind;

class Emission : public testing::Test {
 protected:
  void SetUp() override { c.DefaultFontSize = 3; }
  std::string Kinds() const {
    std::string kinds;
    for (const CodeEntry& entry : c.Codes) kinds += std::string(KindName(entry.kind)) + " ";
    return kinds;
  }
  Converter c;
};

TEST_F(Emission, FontTagFromColourAndSize) {
  EXPECT_EQ(c.BuildFontTag("", ""), "");
  EXPECT_EQ(c.BuildFontTag("#FF0000", "5"), "<font color=\"#FF0000\" size=5>");
  EXPECT_EQ(c.BuildFontTag("#00FF00", ""), "<font color=\"#00FF00\">");
  EXPECT_EQ(c.BuildFontTag("", "2"), "<font size=2>");
  EXPECT_EQ(c.BuildFontTag("", "3"), "<font>");
}

TEST_F(Emission, OpenFontTagIsTheOutermostFontEvenWhenKilled) {
  c.Codes = {{"</font>", "<font inner>", K::A}, {"</font>", "<font outer>", K::K}};
  EXPECT_EQ(c.OpenFontTag(), "<font outer>");
}

TEST_F(Emission, NothingToCloseQueuesTheWantedFont) {
  c.FontString = "<font size=5>";
  EXPECT_EQ(c.CloseMarkedCodes(), "");
  EXPECT_EQ(c.NextCodes, std::vector<std::string>{"</font>"});
  EXPECT_EQ(c.NextBegCodes, std::vector<std::string>{"<font size=5>"});
  // A pending font pair takes the new tag instead of a second pair.
  c.FontString = "<font size=6>";
  EXPECT_EQ(c.CloseMarkedCodes(), "");
  EXPECT_EQ(c.NextBegCodes, std::vector<std::string>{"<font size=6>"});
}

TEST_F(Emission, ClosesUpToTheOutermostKilledAndReopensTheRest) {
  c.Codes = {{"</i>", "<i>", K::A}, {"</b>", "<b>", K::K}, {"</li>", "<li>", K::G}};
  EXPECT_EQ(c.CloseMarkedCodes(), "</i></b>");
  EXPECT_EQ(Kinds(), "K K G ");
  EXPECT_EQ(c.NextCodes, std::vector<std::string>{"</i>"});
}

TEST_F(Emission, ChangedFontClosesAndReopensNestedElements) {
  c.Codes = {{"</b>", "<b>", K::A}, {"</font>", "<font size=5>", K::A}};
  c.FontString = "<font size=6>";
  EXPECT_EQ(c.CloseMarkedCodes(), "</b></font>");
  EXPECT_EQ(c.NextCodes, (std::vector<std::string>{"</font>", "</b>"}));
  EXPECT_EQ(c.NextBegCodes, (std::vector<std::string>{"<font size=6>", "<b>"}));
}

TEST_F(Emission, EmptyFontStringClosesTheFontForGood) {
  c.Codes = {{"</font>", "<font size=5>", K::A}};
  EXPECT_EQ(c.CloseMarkedCodes(), "</font>");
  EXPECT_TRUE(c.NextCodes.empty());
}

TEST_F(Emission, UnchangedFontIsKeptOpen) {
  c.Codes = {{"</font>", "<font size=5>", K::K}};
  c.FontString = "<font size=5>";
  EXPECT_EQ(c.CloseMarkedCodes(), "");
  EXPECT_EQ(Kinds(), "A ");
}

TEST_F(Emission, ClosedListItemIsFollowedByLineEnd) {
  c.LineEnd = "\r\n";
  c.Codes = {{"</li>", "<li>", K::K}};
  EXPECT_EQ(c.CloseMarkedCodes(), "</li>\r\n");
  c.Codes = {{"</li>", "<li>", K::K}};
  EXPECT_EQ(c.CloseAllCodes(), "</li>");
}

TEST_F(Emission, OpenPendingBelowStopsAtTheAlignmentTable) {
  c.Codes = {{"</i>", "<i>", K::P}, {"</td></tr></table>", "<t>", K::G}, {"</b>", "<b>", K::P}};
  EXPECT_EQ(c.OpenPendingBelow("</td></tr></table>"), "<i>");
  EXPECT_EQ(Kinds(), "A G P ");
}

TEST_F(Emission, OpeningOrderInnermostOrOutermostFirst) {
  c.Codes = {{"</u>", "<u>", K::P}, {"</i>", "<i>", K::P}};
  EXPECT_EQ(c.OpenPendingBelow("</td></tr></table>"), "<u><i>");
  c.Codes = {{"</u>", "<u>", K::P}, {"</i>", "<i>", K::PG}};
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
