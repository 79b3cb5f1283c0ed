// Hostile inputs that a quadratic or recursive step would not survive; the
// ctest timeout is their time budget.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "converter/converter.h"
#include "converter/converter_state.h"

namespace quillet {
namespace {

std::string Repeat(std::string_view piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::string Convert(const std::string& rtf) {
  Converter c;
  return c.ConvertRtfToHtml(rtf, "+H+G+F=3");
}

TEST(Pathological, DeeplyNestedBraces) {
  const std::string rtf = "{\\rtf1 " + Repeat("{", 100000) + "x" + Repeat("}", 100000) + "}";
  EXPECT_EQ(Convert(rtf), "x");
}

TEST(Pathological, DeeplyNestedIgnoredDestination) {
  const std::string rtf = "{\\rtf1 {\\*" + Repeat("{", 100000) + Repeat("}", 100000) + "}x}";
  EXPECT_EQ(Convert(rtf), "x");
}

TEST(Pathological, UnbalancedBraces) {
  EXPECT_EQ(Convert(Repeat("}", 50000) + "x"), "x");
  // Every "\b" before the first text queues its own bold pair.
  const std::string html = Convert(std::string("{") + Repeat("{\\b ", 50000) + "x");
  EXPECT_EQ(html, Repeat("<b>", 1000) + "x" + Repeat("</b>", 1000));  // up to the limit
}

TEST(Pathological, LongLineOfEscapes) {
  const std::string rtf = "{\\rtf1 " + Repeat("\\'e9\\'99\\u1087?", 50000) + "}";
  EXPECT_EQ(Convert(rtf), Repeat("&eacute;<sup>TM</sup>&#1087;", 50000));
}

TEST(Pathological, FiveMegabyteLine) {
  const std::string text = Repeat("word ", 1000000);
  EXPECT_EQ(Convert("{\\rtf1 " + text + "}"), text.substr(0, text.size() - 1));
}

TEST(Pathological, ManyLinesWithTrailingSpaces) {
  const std::string html = Convert("{\\rtf1 " + Repeat("line  \r\n", 200000) + "}");
  EXPECT_EQ(html, Repeat("line  ", 199999) + "line");  // the last line loses its spaces
}

// The sanitizers make every step many times slower; the largest inputs shrink
// to fit the same time budget.
#ifdef QUILLET_SANITIZED
constexpr std::size_t kLargeInputShare = 8;
#else
constexpr std::size_t kLargeInputShare = 1;
#endif

TEST(Pathological, RepeatedFormattingPatterns) {
  const std::pair<std::string_view, std::string_view> rows[] = {
      {"\\b x\\b0 y", "<b>x</b>y"},
      {"\\cf1\\fs30 a\\cf0 b", "<font color=\"#010203\" size=4>a</font><font size=4>b</font>"},
      {"\\par\\pard c", "<br>c"},
      {"{\\pntext .}d\\par", "<li>d</li>"},
      {"\\i\\ul f}", "<u><i>f</u></i>"}};
  for (const auto& [piece, html] : rows) {
    const std::string rtf =
        "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}" + Repeat(piece, 50000 / kLargeInputShare) + "}";
    EXPECT_EQ(Convert(rtf), Repeat(html, 50000 / kLargeInputShare)) << piece;
  }
}

// Alignment words in mid-paragraph commit a new table each time: nesting stops
// at a limit instead of making every later text walk an ever longer list.
TEST(Pathological, NestedAlignmentTablesStopAtTheLimit) {
  const std::string html = Convert(std::string("{\\rtf1 ") + Repeat("\\qc e", 50000) + "}");
  const std::string closing = "</td></tr></table>";
  EXPECT_EQ(html.substr(0, 50000), std::string(50000, 'e'));
  EXPECT_EQ(html.substr(50000), Repeat(closing, ConverterState::kMaxOpenElements));
}

TEST(Pathological, ClosedElementsDoNotCountTowardsTheLimit) {
  // 500 subscripts inside bold: ending the bold closes and reopens all of them.
  const std::string html = Convert(std::string("{\\b x") + Repeat("\\sub a", 500) + "\\b0 y}");
  EXPECT_EQ(html, "<b>x" + Repeat("<sub>a", 500) + Repeat("</sub>", 500) + "</b>" +
                      Repeat("<sub>", 500) + "y" + Repeat("</sub>", 500));
}

// Pending pairs stop at the limit, and the text after them is written inside what they open.
TEST(Pathological, EndlessPendingWords) {
  const std::string font = "<font color=\"#010203\">";
  const std::pair<std::string_view, std::string> rows[] = {
      {"\\ul\\b0 ", Repeat("<u>", 1000) + " end" + Repeat("</u>", 1000)},
      {"\\b\\cf1 ", Repeat("<b>", 998) + font + "<b> end" + Repeat("</b>", 998) + "</font></b>"},
      {"\\i\\qc ", Repeat("<i>", 998) + " end" + Repeat("</i>", 998) + "</td></tr></table></i>"}};
  for (const auto& [piece, html] : rows) {
    EXPECT_EQ(Convert(std::string("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}") +
                      Repeat(piece, 200000 / kLargeInputShare) + " end}"),
              html)
        << piece;
  }
}

// Elements that stay open for a whole book cost every later token nothing:
// 30 MB of text below 999 open list items, and 12 MB of colour words that
// close 1000 open fonts which the next text opens again.
TEST(Pathological, TextBelowManyOpenListItems) {
  constexpr std::size_t kTexts = 10'000'000 / kLargeInputShare;
  const std::string html =
      Convert("{\\rtf1 " + Repeat("\\bullet x", 999) + "\r\n" + Repeat("{a}", kTexts) + "}");
  EXPECT_EQ(html, Repeat("<li>x", 999) + std::string(kTexts, 'a') + Repeat("</li>", 999));
}

TEST(Pathological, ColourWordsAroundManyOpenFonts) {
  constexpr std::size_t kWords = 2'000'000 / kLargeInputShare;
  const std::string html = Convert("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}" +
                                   Repeat("\\cf1 x", 999) + Repeat("\\cf1 a", kWords) + "}");
  const std::string font = "<font color=\"#010203\">";
  EXPECT_EQ(html, Repeat(font + "x", 999) + font + std::string(kWords, 'a') +
                      Repeat("</font>", ConverterState::kMaxOpenElements));
}

TEST(Pathological, BinaryBytesNeverBecomeMarkup) {
  std::string binary;
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 7919) % 256);
  const std::string html = Convert(binary);
  EXPECT_EQ(html.size(), 51972u);
  EXPECT_EQ(html.find('<'), std::string::npos);
  // Every "&" is one that the document's own "&", "<" or ">" became.
  for (std::size_t at = html.find('&'); at != std::string::npos; at = html.find('&', at + 1)) {
    const std::string_view rest = std::string_view(html).substr(at);
    EXPECT_TRUE(rest.starts_with("&amp;") || rest.starts_with("&lt;") || rest.starts_with("&gt;"))
        << at;
  }
}

TEST(Pathological, HugeNumbersSaturate) {
  EXPECT_EQ(Convert("{\\rtf1 \\fs-99999999999999999999 \\cf-1 \\uc99999999999 "
                    "\\u99999999999999 \\'\r\n\\'z}"),
            "<font size=8>999999 </font>");
}

}  // namespace
}  // namespace quillet
