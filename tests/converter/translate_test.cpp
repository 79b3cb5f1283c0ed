#include <gtest/gtest.h>

#include "converter/converter.h"
#include "converter/converter_state.h"
#include "tests/converter/code_list_rows.h"

namespace quillet {
namespace {

constexpr const char* kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}\r\n"
    "\\viewkind4\\uc1";

std::string Convert(Converter& c, const std::string& text) {
  return c.ConvertRtfToHtml(std::string(kHeader) + text + "\r\n}\r\n", "+H+G+F=3");
}

std::string Convert(const std::string& text) {
  Converter c;
  return Convert(c, text);
}

struct Case {
  const char* name;
  std::string rtf;
  std::string html;
};

void PrintTo(const Case& row, std::ostream* out) {
  *out << row.name;
}

class Translation : public testing::TestWithParam<Case> {};

TEST_P(Translation, WritesExpectedHtml) {
  EXPECT_EQ(Convert(GetParam().rtf), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, Translation,
    testing::Values(
        Case{"AlignmentAndBold", "\\pard\\qc\\b Title\\b0\\par\r\n\\pard Body\\par",
             "<table width=100%><tr><td align=\"center\"><b>Title</b></td></tr></table><br>Body"},
        Case{"BulletedList",
             "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
             "\\fi-720\\li720 one\\par\r\n{\\pntext\\f1\\'B7\\tab}two\\par\r\n\\pard\\fi0\\li0 "
             "Normal\\par",
             "<li>one</li><li>two</li>Normal"},
        Case{"RightAlignment", "\\pard\\qr x\\par",
             "<table width=100%><tr><td align=\"right\">x"
             "</td></tr></table>"},
        Case{"ColourAndSize", "\\pard\\cf1\\fs36 red\\cf0\\fs24  plain\\par",
             "<font color=\"#FF0000\" size=5>red</font> plain"},
        Case{"FontChangeAfterBoldDoesNotColourLaterText", "\\pard\\b\\cf1 x\\b0\\cf0 y",
             "<b><font color=\"#FF0000\">x</font></b>y</font>"},
        Case{"ColourBeyondTableKeepsColour", "\\pard\\cf2 a\\cf9 b",
             "<font color=\"#0080FF\">a<font color=\"#0080FF\">b</font></font>"},
        Case{"UnderlineNeedsUlnone", "\\pard\\ul a\\ul0 b\\ulnone c", "<u>ab</u>c"},
        Case{"SuperAndSub", "\\pard x\\super 2\\nosupersub  y\\sub i\\nosupersub",
             "x<sup>2</sup> "
             "y<sub>i</sub>"},
        Case{"StrikeOnAndOff", "\\pard\\strike a\\strike0 b", "<s>a</s>b"},
        Case{"ItalicInsideBoldReopensAfterBoldEnds", "\\pard\\b a\\i b\\b0 c",
             "<b>a<i>b</i></b><i>c</i>"},
        Case{"GroupEndClosesInlineFormatting", "\\pard{\\b bold} plain", "<b>bold</b> plain"},
        Case{"PlainClosesEverythingInline", "\\pard\\b\\i x\\plain y", "<b><i>x</i></b>y"},
        Case{"ParagraphBreaksBeforeNextText", "\\pard a\\par\r\nb\\par\r\n\\par\r\nc\\par",
             "a<br>b<br><br>c"},
        Case{"BlankTokenAtLineStartIsNonBreaking", "\\pard a\\par\\b   \\b0 c",
             "a&nbsp;&nbsp;<br>c"},
        Case{"TrademarkBecomesSuperscript", "\\pard Brand\\'99 x", "Brand<sup>TM</sup> x"},
        Case{"HexEscapeStartsTheTextRun", "\\pard caf\\'e9 ol\\'e9", "caf&eacute; ol&eacute;"},
        Case{"UpperCaseHexDigitsMatch", "\\pard caf\\'E9", "caf&eacute;"},
        Case{"EllipsisAndNoBreakSpace", "\\pard a\\'85\\'00b", "a...&nbsp;b"},
        Case{"CurlyQuotesAndDashes", "\\pard \\'93a\\'94 \\'96 \\'97 \\'80",
             "&ldquo;a&rdquo; &ndash; &mdash; &euro;"},
        Case{"MissingCodePageCharacters", "\\pard \\'8e\\'9e\\'a0\\'ae\\'e4\\'81\\'1f",
             "&#381;&#382;&nbsp;&reg;&auml;"},
        Case{"MarkupInTextIsEscaped", "\\pard <script>&amp;</script>",
             "&lt;script&gt;&amp;amp;&lt;/script&gt;"},
        Case{"EscapedMarkupCharacters", "\\pard \\'3c\\'26\\'3e\\'5c\\'7b\\'7d",
             "&lt;&amp;&gt;&#92;&#123;&#125;"},
        Case{"TabGivesOneSpace", "\\pard a\\tab b", "a b"},
        Case{"LineBreakInsideParagraph", "\\pard one\\line two", "one<br>two"},
        Case{"UnicodeWithHexFallback", "\\pard\\u8220\\'93Hi\\u8221\\'94", "&#8220;Hi&#8221;"},
        Case{"UnicodeWithTextFallback", "\\pard\\u1087?\\u1088?", "&#1087;&#1088;"},
        Case{"UnicodeFallbackInsideToken", "\\pard\\u1087?abc def", "&#1087;abc def"},
        Case{"UnicodeWithoutFallback", "\\pard\\uc0\\u1087 x", "&#1087;x"},
        Case{"UnicodeSurrogatePair", "\\pard\\u-10179?\\u-8704?", "&#128512;"},
        Case{"SpaceAfterTheTokenIsTheNextFallbackCharacter", "\\pard a\\uc2\\u1087? bcd",
             "a&#1087;bcd"},
        Case{"FallbackOfThreeTakesTwoSpaces", "\\pard a\\uc3\\u1087?  x", "a&#1087;x"},
        Case{"FallbackOfOneLeavesTheSpace", "\\pard a\\u1087? bcd", "a&#1087; bcd"},
        Case{"EscapedMarkupIsOneFallbackCharacter", "\\pard\\u233&x\\u233 <y\\uc2\\u233 >zw",
             "&#233;x&#233;y&#233;w"},
        Case{"EscapedMarkupInsideHexEscapeVanishes", "\\pard x\\'a&y\\'<>z", "xyz"},
        Case{"LoneSurrogateGivesNothing", "\\pard a\\u-10179?b", "ab"},
        Case{"HugeColourNumberKeepsColour", "\\pard\\cf1 a\\cf99999999999 b",
             "<font color=\"#FF0000\">a<font color=\"#FF0000\">b</font></font>"},
        Case{"HugeSizeGivesEight", "\\pard\\fs99999999999 a", "<font size=8>a</font>"},
        Case{"DecimalSizeRoundsHalfToEven", "\\pard\\fs20.5 a", "<font size=2>a</font>"},
        Case{"IgnoredDestinationsAreDropped",
             "\\pard{\\*\\bkmkstart x{\\b y}}z{\\pict\\wmetafile8 "
             "0123}w",
             "zw"},
        Case{"NumberedOnOffWordsAreOtherWords", "\\pard\\b1 x\\i2 y\\ul1 z", "xyz"},
        Case{"ZeroColourAsAParameterKeepsTheColour", "\\pard\\cf1 a\\cf00 b\\cf0 c",
             "<font color=\"#FF0000\">a<font color=\"#FF0000\">b</font></font>c"},
        Case{"LettersAfterANumberWordMakeAnotherWord", "\\pard\\cf1 a\\cfx b\\fsx c\\ucx\\u233?d",
             "<font color=\"#FF0000\">abc&#233;d</font>"},
        Case{"UnderlineVariantsAreNoUnderline", "\\pard\\ulw x\\ulnone0 y", "xy"},
        Case{"UnknownWordsHaveNoEffect", "\\pard\\lang1033\\f0\\ql\\qj x\\emdash y", "xy"},
        Case{"PardDropsAnAlignmentThatNoTextCommitted",
             "\\pard\\qc\\par\r\n\\pard Left text.\\par\r\n\\pard Still left.\\par",
             "<br>Left text.<br>Still left."},
        Case{"PardAfterEmptyCentredParagraph", "\\pard\\qc\\par\\pard Left\\par", "<br>Left"},
        Case{"AlignmentAfterParWithoutPardStillCentres", "\\pard\\qc\\par Centre",
             "<br><table width=100%><tr><td align=\"center\">Centre</td></tr></table>"},
        Case{"UnicodeFallbackContinuesOnTheNextLine", "\\pard word\\u1089\r\n?next line",
             "word&#1089;next line"},
        Case{"UnicodeFallbackOfTwoSpansALineBreak", "\\pard\\uc2 a\\u1089?\r\n?b", "a&#1089;b"},
        Case{"ControlWordOnTheNextLineEndsTheFallback", "\\pard a\\u1089\r\n\\b ?b",
             "a&#1089;<b>?b</b>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TranslationTokens, SkipTokensIgnoresEvenBracesAndParagraphs) {
  ConverterState c;
  c.SkipTokens = 1;
  c.TranslateToken("\\par");
  EXPECT_EQ(c.SkipTokens, 0);
  EXPECT_EQ(c.BeforeText, "");
}

TEST(TranslationTokens, BoldTwiceQueuesTwiceButNotWhileOpen) {
  ConverterState c;
  c.TranslateToken("\\b");
  c.TranslateToken("\\b");
  EXPECT_EQ(c.NextCodes.size(), 2u);
  c.TranslateToken("x");
  c.TranslateToken("\\b");
  EXPECT_TRUE(c.NextCodes.empty());
}

TEST(TranslationTokens, FontSizeSteps) {
  ConverterState c;
  c.DefaultFontSize = 3;
  for (const auto& [size, step, text] :
       {std::tuple{"\\fs24", 3, ""}, {"\\fs6", 1, "1"}, {"\\fs200", 8, "8"}, {"\\fs36", 5, "5"}}) {
    c.TranslateToken(size);
    EXPECT_EQ(c.FontSizeNum, step) << size;
    EXPECT_EQ(c.FontSize, text) << size;
  }
}

TEST(TranslationTokens, StrikeLooksOnlyAtTheOutermostElement) {
  ConverterState c;
  SetCodes(c.Codes, {{"</s>", "<s>", CodeKind::kOpenInline}});
  c.TranslateToken("\\strike");
  EXPECT_TRUE(c.NextCodes.empty());
  SetCodes(c.Codes,
           {{"</s>", "<s>", CodeKind::kOpenInline}, {"</b>", "<b>", CodeKind::kOpenInline}});
  c.TranslateToken("\\strike");
  EXPECT_EQ(c.NextCodes, (std::vector<CodePair>{{"</s>", "<s>"}}));
}

TEST(TranslationTokens, GroupEndKeepsAnOpenListItem) {
  ConverterState c;
  SetCodes(c.Codes,
           {{"</b>", "<b>", CodeKind::kOpenInline}, {"</li>", "<li>", CodeKind::kOpenBlock}});
  c.TranslateToken("}");
  EXPECT_EQ(Entries(c.Codes), (std::vector<CodeEntry>{{"</b>", "<b>", CodeKind::kKilled},
                                                      {"</li>", "<li>", CodeKind::kOpenBlock}}));
}

TEST(TranslationTokens, ColourBeforeAnyTableIsOutOfRange) {
  ConverterState c;
  c.TranslateToken("\\cf2");
  EXPECT_EQ(c.FontColor, "");
  EXPECT_EQ(c.NextCodes, (std::vector<CodePair>{{"</font>", ""}}));
}

TEST(TranslationTokens, SecondAlignmentWordKeepsTheFirst) {
  ConverterState c;
  c.TranslateToken("\\qc");
  c.TranslateToken("\\qr");
  EXPECT_EQ(c.NextCodes, (std::vector<CodePair>{{"</td></tr></table>",
                                                 "<table width=100%><tr><td align=\"center\">"}}));
}

TEST(ConverterState, FontAndColourCarryOverToTheNextConversion) {
  Converter c;
  EXPECT_EQ(Convert(c, "\\pard\\cf1 red"), "<font color=\"#FF0000\">red</font>");
  EXPECT_EQ(c.ConvertRtfToHtml("{\\rtf1 \\pard more}", "+F=3"),
            "<font color=\"#FF0000\">more</font>");
}

}  // namespace
}  // namespace quillet
