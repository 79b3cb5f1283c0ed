#include <gtest/gtest.h>

#include "converter/converter_state.h"
#include "tests/converter/code_list_rows.h"

namespace quillet {
namespace {

using Pairs = std::vector<CodePair>;
using Rows = std::vector<CodeEntry>;

class CodeLists : public testing::Test {
 protected:
  void Pending(const Pairs& pairs) {
    for (const CodePair& pair : pairs) c.AppendNextCode(pair.code, pair.begCode);
  }
  std::string Kinds() const {
    std::string kinds;
    for (const CodeEntry& entry : c.Codes) kinds += std::string(KindName(entry.kind)) + " ";
    return kinds;
  }
  ConverterState c;
};

constexpr CodeKind P = CodeKind::kPendingInline;
constexpr CodeKind PG = CodeKind::kPendingBlock;
constexpr CodeKind A = CodeKind::kOpenInline;
constexpr CodeKind G = CodeKind::kOpenBlock;
constexpr CodeKind K = CodeKind::kKilled;

TEST_F(CodeLists, CommitWithNothingPendingChangesNothing) {
  SetCodes(c.Codes, {{"</b>", "<b>", A}});
  c.CommitPendingCodes();
  EXPECT_EQ(Entries(c.Codes), (Rows{{"</b>", "<b>", A}}));
}

TEST_F(CodeLists, CommitPutsLastPendingInnermost) {
  SetCodes(c.Codes, {{"</b>", "<b>", A}});
  Pending({{"</i>", "<i>"}, {"</u>", "<u>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(Entries(c.Codes), (Rows{{"</u>", "<u>", P}, {"</i>", "<i>", P}, {"</b>", "<b>", A}}));
  EXPECT_TRUE(c.NextCodes.empty());
}

TEST_F(CodeLists, CommitMakesListItemOutermostOfItsBatch) {
  Pending({{"</b>", "<b>"}, {"</li>", "<li>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(Entries(c.Codes), (Rows{{"</b>", "<b>", P}, {"</li>", "<li>", PG}}));

  c.Codes.clear();
  Pending({{"</i>", "<i>"}, {"</li>", "<li>"}, {"</b>", "<b>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(Entries(c.Codes),
            (Rows{{"</b>", "<b>", P}, {"</i>", "<i>", P}, {"</li>", "<li>", PG}}));
}

TEST_F(CodeLists, CommitGivesAlignmentTableBlockKind) {
  Pending({{"</td></tr></table>", "<table>"}, {"</b>", "<b>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(Entries(c.Codes), (Rows{{"</b>", "<b>", P}, {"</td></tr></table>", "<table>", PG}}));
}

TEST_F(CodeLists, DropPendingBeforeKeepsFromListItemOn) {
  Pending({{"</b>", "<b>"}, {"</li>", "<li>"}, {"</i>", "<i>"}});
  c.DropPendingBefore("</li>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</li>", "<li>"}, {"</i>", "<i>"}}));

  c.DropPendingBefore("</u>");
  EXPECT_TRUE(c.NextCodes.empty());

  Pending({{"</li>", "<li>"}});
  c.DropPendingBefore("");
  EXPECT_TRUE(c.NextCodes.empty());
  EXPECT_FALSE(c.IsPendingCode("</li>"));
}

TEST_F(CodeLists, RemoveNextCodeTakesOnlyTheFirstMatch) {
  Pending({{"</b>", "<b>"}});
  c.RemoveNextCode("</li>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</b>", "<b>"}}));

  Pending({{"</font>", "<font a>"}, {"</font>", "<font b>"}});
  c.RemoveNextCode("</font>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</b>", "<b>"}, {"</font>", "<font b>"}}));
  EXPECT_TRUE(c.IsPendingCode("</font>"));
  c.RemoveNextCode("</font>");
  EXPECT_FALSE(c.IsPendingCode("</font>"));
}

TEST_F(CodeLists, MarkKilledKeepsTheGivenKind) {
  SetCodes(c.Codes, {{"a", "", A}, {"b", "", G}, {"c", "", P}, {"d", "", PG}, {"e", "", K}});
  c.MarkCodesKilled("*", CodeKind::kOpenBlock);
  EXPECT_EQ(Kinds(), "K G K K K ");
  c.MarkCodesKilled("*");
  EXPECT_EQ(Kinds(), "K K K K K ");
}

TEST_F(CodeLists, MarkActiveReopensEveryFontEntry) {
  SetCodes(c.Codes, {{"</font>", "<font>", K}, {"</b>", "<b>", K}, {"</font>", "<font>", P}});
  c.MarkCodeActive("</font>");
  EXPECT_EQ(Kinds(), "A K A ");
}

TEST_F(CodeLists, PurgeIsStable) {
  SetCodes(c.Codes, {{"1", "", K}, {"2", "", A}, {"3", "", K}, {"4", "", G}});
  c.PurgeKilledCodes();
  EXPECT_EQ(Entries(c.Codes), (Rows{{"2", "", A}, {"4", "", G}}));
}

TEST_F(CodeLists, IsOpenCodeWithAndWithoutOpenOnly) {
  for (const auto& [kind, open] : {std::pair{P, false}, {K, false}, {A, true}}) {
    SetCodes(c.Codes, {{"</b>", "<b>", kind}});
    EXPECT_EQ(c.IsOpenCode("</b>", true), open);
    EXPECT_TRUE(c.IsOpenCode("</b>", false));
  }
}

TEST_F(CodeLists, RequeueInnerCodesSkipsKilledAndStopsAtTheElement) {
  SetCodes(c.Codes,
           {{"</i>", "<i>", A}, {"</u>", "<u>", K}, {"</b>", "<b>", A}, {"</font>", "<font>", A}});
  c.RequeueInnerCodes("</b>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</i>", "<i>"}}));
}

TEST_F(CodeLists, RequeueInnerCodesPutsOutermostFirst) {
  SetCodes(c.Codes, {{"</i>", "<i>", A}, {"</u>", "<u>", A}, {"</b>", "<b>", A}});
  Pending({{"</s>", "<s>"}});
  c.RequeueInnerCodes("</b>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</u>", "<u>"}, {"</i>", "<i>"}, {"</s>", "<s>"}}));
}

TEST_F(CodeLists, RequeueInnerCodesDoesNothingWhileTheElementIsPending) {
  SetCodes(c.Codes, {{"</i>", "<i>", A}, {"</b>", "<b>", A}});
  Pending({{"</b>", "<b>"}});
  c.RequeueInnerCodes("</b>");
  EXPECT_EQ(c.NextCodes, (Pairs{{"</b>", "<b>"}}));
}

TEST_F(CodeLists, ReplaceNextBegCodeCountsChanges) {
  EXPECT_EQ(c.ReplaceNextBegCode("</font>", "<font x>"), 0);
  Pending({{"</font>", ""}, {"</b>", "<b>"}, {"</font>", "<font a>"}});
  EXPECT_EQ(c.ReplaceNextBegCode("</font>", "<font x>"), 2);
  EXPECT_EQ(c.NextCodes,
            (Pairs{{"</font>", "<font x>"}, {"</b>", "<b>"}, {"</font>", "<font x>"}}));
}

}  // namespace
}  // namespace quillet
