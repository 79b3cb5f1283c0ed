#include <gtest/gtest.h>

#include "converter.h"

namespace quillet {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class CodeLists : public testing::Test {
 protected:
  void Pending(const Pairs& pairs) {
    for (const auto& [closing, opening] : pairs) {
      c.AppendNextCode(closing);
      c.AppendNextBegCode(opening);
    }
  }
  void Entries(std::vector<CodeEntry> entries) { c.Codes = std::move(entries); }
  Pairs PendingPairs() const {
    Pairs pairs;
    for (std::size_t i = 0; i < c.NextCodes.size(); ++i) {
      pairs.emplace_back(c.NextCodes[i], c.NextBegCodes[i]);
    }
    return pairs;
  }
  std::string Kinds() const {
    std::string kinds;
    for (const CodeEntry& entry : c.Codes) kinds += std::string(KindName(entry.kind)) + " ";
    return kinds;
  }
  Converter c;
};

using K = CodeKind;

TEST_F(CodeLists, CommitWithNothingPendingChangesNothing) {
  Entries({{"</b>", "<b>", K::A}});
  c.CommitPendingCodes();
  EXPECT_EQ(c.Codes, (std::vector<CodeEntry>{{"</b>", "<b>", K::A}}));
}

TEST_F(CodeLists, CommitPutsLastPendingInnermost) {
  Entries({{"</b>", "<b>", K::A}});
  Pending({{"</i>", "<i>"}, {"</u>", "<u>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(c.Codes, (std::vector<CodeEntry>{
                         {"</u>", "<u>", K::P}, {"</i>", "<i>", K::P}, {"</b>", "<b>", K::A}}));
  EXPECT_TRUE(c.NextCodes.empty());
  EXPECT_TRUE(c.NextBegCodes.empty());
}

TEST_F(CodeLists, CommitMakesListItemOutermostOfItsBatch) {
  Pending({{"</b>", "<b>"}, {"</li>", "<li>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(c.Codes, (std::vector<CodeEntry>{{"</b>", "<b>", K::P}, {"</li>", "<li>", K::PG}}));

  c.Codes.clear();
  Pending({{"</i>", "<i>"}, {"</li>", "<li>"}, {"</b>", "<b>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(c.Codes, (std::vector<CodeEntry>{
                         {"</b>", "<b>", K::P}, {"</i>", "<i>", K::P}, {"</li>", "<li>", K::PG}}));
}

TEST_F(CodeLists, CommitGivesAlignmentTableBlockKind) {
  Pending({{"</td></tr></table>", "<table>"}, {"</b>", "<b>"}});
  c.CommitPendingCodes();
  EXPECT_EQ(c.Codes, (std::vector<CodeEntry>{{"</b>", "<b>", K::P},
                                             {"</td></tr></table>", "<table>", K::PG}}));
}

TEST_F(CodeLists, DropPendingBeforeKeepsFromListItemOn) {
  Pending({{"</b>", "<b>"}, {"</li>", "<li>"}, {"</i>", "<i>"}});
  c.DropPendingBefore("</li>");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</li>", "<li>"}, {"</i>", "<i>"}}));

  c.DropPendingBefore("</u>");
  EXPECT_TRUE(PendingPairs().empty());

  Pending({{"</li>", "<li>"}});
  c.DropPendingBefore("");
  EXPECT_TRUE(PendingPairs().empty());
}

TEST_F(CodeLists, RemoveNextCodeTakesOnlyTheFirstMatch) {
  Pending({{"</b>", "<b>"}});
  c.RemoveNextCode("</li>");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</b>", "<b>"}}));

  Pending({{"</font>", "<font a>"}, {"</font>", "<font b>"}});
  c.RemoveNextCode("</font>");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</b>", "<b>"}, {"</font>", "<font b>"}}));
}

TEST_F(CodeLists, MarkKilledKeepsTheGivenKind) {
  Entries({{"a", "", K::A}, {"b", "", K::G}, {"c", "", K::P}, {"d", "", K::PG}, {"e", "", K::K}});
  c.MarkCodesKilled("*", "G");
  EXPECT_EQ(Kinds(), "K G K K K ");
  c.MarkCodesKilled("*", "");
  EXPECT_EQ(Kinds(), "K K K K K ");
}

TEST_F(CodeLists, MarkActiveReopensEveryFontEntry) {
  Entries({{"</font>", "<font>", K::K}, {"</b>", "<b>", K::K}, {"</font>", "<font>", K::P}});
  c.MarkCodeActive("</font>");
  EXPECT_EQ(Kinds(), "A K A ");
}

TEST_F(CodeLists, PurgeIsStable) {
  Entries({{"1", "", K::K}, {"2", "", K::A}, {"3", "", K::K}, {"4", "", K::G}});
  c.PurgeKilledCodes();
  EXPECT_EQ(c.Codes, (std::vector<CodeEntry>{{"2", "", K::A}, {"4", "", K::G}}));
}

TEST_F(CodeLists, IsOpenCodeWithAndWithoutOpenOnly) {
  for (const auto& [kind, open] : {std::pair{K::P, false}, {K::K, false}, {K::A, true}}) {
    Entries({{"</b>", "<b>", kind}});
    EXPECT_EQ(c.IsOpenCode("</b>", true), open);
    EXPECT_TRUE(c.IsOpenCode("</b>", false));
  }
}

TEST_F(CodeLists, RequeueInnerCodesSkipsKilledAndStopsAtTheElement) {
  Entries({{"</i>", "<i>", K::A},
           {"</u>", "<u>", K::K},
           {"</b>", "<b>", K::A},
           {"</font>", "<font>", K::A}});
  c.RequeueInnerCodes("</b>");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</i>", "<i>"}}));
}

TEST_F(CodeLists, RequeueInnerCodesPutsOutermostFirst) {
  Entries({{"</i>", "<i>", K::A}, {"</u>", "<u>", K::A}, {"</b>", "<b>", K::A}});
  Pending({{"</s>", "<s>"}});
  c.RequeueInnerCodes("</b>");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</u>", "<u>"}, {"</i>", "<i>"}, {"</s>", "<s>"}}));
}

TEST_F(CodeLists, RequeueInnerCodesDoesNothingWhileTheElementIsPending) {
  Entries({{"</i>", "<i>", K::A}, {"</b>", "<b>", K::A}});
  Pending({{"</b>", "<b>"}});
  c.RequeueInnerCodes("</b>");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</b>", "<b>"}}));
}

TEST_F(CodeLists, ReplaceNextBegCodeCountsChanges) {
  EXPECT_EQ(c.ReplaceNextBegCode("</font>", "<font x>"), 0);
  Pending({{"</font>", ""}, {"</b>", "<b>"}, {"</font>", "<font a>"}});
  EXPECT_EQ(c.ReplaceNextBegCode("</font>", "<font x>"), 2);
  EXPECT_EQ(PendingPairs(),
            (Pairs{{"</font>", "<font x>"}, {"</b>", "<b>"}, {"</font>", "<font x>"}}));
}

TEST_F(CodeLists, PushFrontWithEmptyOpeningKeepsListsInStep) {
  Pending({{"</b>", "<b>"}});
  c.PushFrontNextCode("</font>");
  c.PushFrontNextBegCode("");
  EXPECT_EQ(PendingPairs(), (Pairs{{"</font>", ""}, {"</b>", "<b>"}}));
  EXPECT_EQ(c.PopNextCode(), "</font>");
  EXPECT_EQ(c.PopNextBegCode(), "");
  c.DropPendingBefore("");
  EXPECT_EQ(c.PopNextCode(), "");
}

}  // namespace
}  // namespace quillet
