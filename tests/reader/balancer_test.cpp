// The balancer on the shapes the converter writes: stray and misnested end
// tags, lists, tables, repeated elements, empty ones, and raw bytes.
#include "builder/reader/balancer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/reader/part_headings.h"
#include "builder/reader/reader_book.h"
#include "tests/reader/reader_support.h"

namespace quillet::reader {
namespace {

constexpr const char* kCentre = "<table width=100%><tr><td align=\"center\">";
constexpr const char* kRight = "<table width=100%><tr><td align=\"right\">";
constexpr const char* kTableEnd = "</td></tr></table>";

std::string Repeat(std::string_view text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

struct BalanceCase {
  std::string name;
  std::string body;
  std::string html;
};

void PrintTo(const BalanceCase& row, std::ostream* out) {
  *out << row.name;
}

class BalanceTest : public ::testing::TestWithParam<BalanceCase> {};

TEST_P(BalanceTest, WritesWellFormedMarkup) {
  EXPECT_EQ(Balance(GetParam().body, kBodyFontSize).html, GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BalanceTest,
    ::testing::Values(
        BalanceCase{"StrayEndTagsAreDropped", "a</font>b</b>c", "abc"},
        BalanceCase{"ElementsLeftOpenCloseAtTheEnd", "<b>x<i>y", "<b>x<i>y</i></b>"},
        BalanceCase{"MisnestedEndClosesInnerFirst",
                    "See <u><font color=\"#0000FF\">the site</u></font>.",
                    "See <u><font color=\"#0000FF\">the site</font></u>."},
        BalanceCase{"MisnestedInnerElementGoesOn", "<b><i>x</b>y</i>", "<b><i>x</i></b><i>y</i>"},
        BalanceCase{"ListItemsGetAList", "<li>one</li><li>two</li>Normal",
                    "<ul><li>one</li><li>two</li></ul>Normal"},
        BalanceCase{"StrayEndTagsInsideItems",
                    "<li>First item</font></li><li>Second item</font></li>Name<br>",
                    "<ul><li>First item</li><li>Second item</li></ul>Name<br>"},
        BalanceCase{"NewItemEndsTheOpenOne", "<li>a<li>b</li>", "<ul><li>a</li><li>b</li></ul>"},
        BalanceCase{"BreakEndsAList", "<li>a</li><br>b", "<ul><li>a</li></ul><br>b"},
        BalanceCase{"TableEndsAList", std::string("<li>a</li>") + kCentre + "b" + kTableEnd,
                    std::string("<ul><li>a</li></ul>") + kCentre + "b" + kTableEnd},
        BalanceCase{"ListInsideATable", std::string(kCentre) + "<li>a</li>" + kTableEnd,
                    std::string(kCentre) + "<ul><li>a</li></ul>" + kTableEnd},
        BalanceCase{"IdenticalNestedElementsCollapse", "<u><u>x</u></u>", "<u>x</u>"},
        BalanceCase{"FortyNestedUnderlinesCollapse",
                    Repeat("<u>", 40) + "contents" + Repeat("</u>", 40), "<u>contents</u>"},
        BalanceCase{"IdenticalFontsCollapseAcrossOthers",
                    "<font color=\"#F00\"><b><font color=\"#F00\">x</font></b></font>",
                    "<font color=\"#F00\"><b>x</b></font>"},
        BalanceCase{"DifferentFontsNest", "<font color=\"#F00\"><font size=5>x</font></font>",
                    "<font color=\"#F00\"><font size=5>x</font></font>"},
        BalanceCase{"EmptyElementsAreDropped", "a<i></i>b<font size=5></font>", "ab"},
        BalanceCase{"ElementsAroundSpacesAloneAreDropped", "<b> </b>x", " x"},
        BalanceCase{"FormattingMovesIntoATable",
                    std::string("<font color=\"#F00\">a") + kCentre + "b" + kTableEnd + "c</font>",
                    std::string("<font color=\"#F00\">a</font>") + kCentre +
                        "<font color=\"#F00\">b</font>" + kTableEnd +
                        "<font color=\"#F00\">c</font>"},
        BalanceCase{"FormattingMovesIntoAnItem", "<b>a<li>b</li>c</b>",
                    "<b>a</b><ul><li><b>b</b></li></ul><b>c</b>"},
        BalanceCase{"StrayFontAfterATable",
                    std::string(kRight) + "<i>Un libro</i>" + kTableEnd + "</font><br>",
                    std::string(kRight) + "<i>Un libro</i>" + kTableEnd + "<br>"},
        BalanceCase{"BoldGoesOnOverABreak", "<b>a<br>b</b>", "<b>a<br>b</b>"},
        BalanceCase{"TagsTheConverterDoesNotWriteAreDropped", "<p>x</p><tr>", "x"},
        BalanceCase{"MarkupCharactersAreEscaped", "a & b > c < d", "a &amp; b &gt; c &lt; d"},
        BalanceCase{"ReferencesStay", "&eacute;&#1078;&#x41;&amp;", "&eacute;&#1078;&#x41;&amp;"},
        BalanceCase{"RawBytesBecomeReferences", "caf\xe9 \x80 \x81!", "caf&#233; &#8364; !"},
        BalanceCase{"EmptyBody", "", ""}),
    [](const auto& info) { return info.param.name; });

TEST(BalancedBodyTest, ClosesAndReopensWhatIsOpenAtAnyPoint) {
  const BalancedBody body = Balance("<font color=\"#F00\"><b>ab</b>c</font>", kBodyFontSize);
  const std::size_t betweenAandB = body.html.find("ab") + 1;
  const std::uint32_t state = body.StateAt(betweenAandB);
  EXPECT_EQ(body.OpeningTags(state), "<font color=\"#F00\"><b>");
  EXPECT_EQ(body.ClosingTags(state), "</b></font>");
  EXPECT_EQ(body.states[state].openBytes, body.OpeningTags(state).size());
  EXPECT_EQ(body.states[state].closeBytes, body.ClosingTags(state).size());
  EXPECT_EQ(body.ClosingTags(body.StateAt(body.html.find("</b>c") + 4)), "</font>");
  EXPECT_EQ(body.ClosingTags(body.StateAt(body.html.size())), "");
}

struct HeadingCase {
  std::string name;
  std::string body;
  std::vector<std::string> headings;
};

void PrintTo(const HeadingCase& row, std::ostream* out) {
  *out << row.name;
}

class HeadingTest : public ::testing::TestWithParam<HeadingCase> {};

TEST_P(HeadingTest, FindsShortBoldLargeOrCentredParagraphs) {
  const BalancedBody body = Balance(GetParam().body, kBodyFontSize);
  std::vector<std::string> found;
  for (const Span& span : body.headings) {
    found.push_back(PlainText(body, span, kHeadingCharacters));
  }
  EXPECT_EQ(found, GetParam().headings);
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, HeadingTest,
    ::testing::Values(
        HeadingCase{"Bold", "<b>Chapter 1</b><br>Body text.<br>", {"Chapter 1"}},
        HeadingCase{"LargerThanTheBody", "<font size=5>Big</font><br>Body", {"Big"}},
        HeadingCase{"ColourAloneIsNotLarger", "<font color=\"#F00\">Red</font><br>", {}},
        HeadingCase{"SmallerIsNotLarger", "<font size=2>small</font><br>", {}},
        HeadingCase{"Centred", std::string(kCentre) + "Centred line" + kTableEnd, {"Centred line"}},
        HeadingCase{"RightAlignedIsNot", std::string(kRight) + "Right" + kTableEnd, {}},
        HeadingCase{"PartlyBoldIsNot", "<b>Half</b> plain<br>", {}},
        HeadingCase{"BoldAcrossWordsIs", "<b>One</b> <b>Two</b><br>", {"One Two"}},
        HeadingCase{"LongBoldIsNot", "<b>" + std::string(121, 'x') + "</b><br>", {}},
        HeadingCase{"EveryHeadingInOrder",
                    "<b>One</b><br>text<br><font size=6>Two</font><br>",
                    {"One", "Two"}}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace quillet::reader
