#include "converter/tokenizer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "converter/body_cuts.h"
#include "converter/text_utils.h"

namespace quillet {
namespace {

std::vector<std::string> Tokens(const std::string& line) {
  LineReader reader(line);
  std::vector<std::string> tokens;
  while (!reader.empty()) tokens.emplace_back(reader.NextToken());
  return tokens;
}

std::vector<std::string> Lines(const std::string& body) {
  BodyReader reader(body);
  std::vector<std::string> lines;
  while (!reader.empty()) lines.emplace_back(reader.NextLine());
  return lines;
}

using Strings = std::vector<std::string>;

struct TokenCase {
  const char* name;
  std::string line;
  Strings tokens;
};

void PrintTo(const TokenCase& row, std::ostream* out) {
  *out << row.name;
}

class TokenizerTokens : public testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerTokens, CutsLineIntoTokens) {
  EXPECT_EQ(Tokens(GetParam().line), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TokenizerTokens,
    testing::Values(TokenCase{"DelimiterSpaceIsEaten", "\\b0\\i word", {"\\b0", "\\i", "word"}},
                    TokenCase{"SecondSpaceStartsText", "\\fs24  word", {"\\fs24", " word"}},
                    TokenCase{"EscapeThenWord", "\\'e9t\\'e9", {"\\'e9", "t", "\\'e9"}},
                    TokenCase{"EscapeKeepsFollowingSpace", "\\'e9 x", {"\\'e9", " x"}},
                    TokenCase{"TruncatedEscapeAtLineEnd", "a\\'e", {"a", "\\'e"}},
                    TokenCase{"BracesAtLineEnd", "word}}", {"word", "}", "}"}},
                    TokenCase{"ControlThenGroup", "\\b{word", {"\\b", "{", "word"}},
                    TokenCase{"ControlThenBraceAtEnd", "\\b{", {"\\b", "{"}},
                    TokenCase{"ControlSymbolRunsIntoWord", "\\~word more", {"\\~word", "more"}},
                    TokenCase{"DoubleBackslashSplitsText", "a\\\\b", {"a\\", "\\b"}},
                    TokenCase{"DoubleBackslashAtLineEnd", "a\\\\", {"a\\\\"}},
                    TokenCase{"BackslashBeforeBrace", "a\\{b", {"a", "\\", "{", "b"}},
                    TokenCase{"ControlRunsToBackslash", "\\cf1\\b x", {"\\cf1", "\\b", "x"}},
                    TokenCase{"ControlAtLineEndKeepsTrailingSpace", "\\pict ", {"\\pict "}},
                    TokenCase{"BraceInsideTextBeforeControl", "a{\\b", {"a", "{", "\\b"}},
                    TokenCase{"BraceBeforeControlEndsLongText",
                              "some longer text{\\b x",
                              {"some longer text", "{", "\\b", "x"}},
                    TokenCase{
                        "LongTextRunsToLineEnd", "no stop in this text", {"no stop in this text"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LineCase {
  const char* name;
  std::string body;
  Strings lines;
};

void PrintTo(const LineCase& row, std::ostream* out) {
  *out << row.name;
}

class TokenizerLines : public testing::TestWithParam<LineCase> {};

TEST_P(TokenizerLines, CutsBodyIntoLines) {
  EXPECT_EQ(Lines(GetParam().body), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, TokenizerLines,
    testing::Values(LineCase{"RunsOfBreaksGiveNoLines", "a\r\n\r\n\r\nb", {"a", "b"}},
                    LineCase{"SpacesOnlyLineIsEmpty", "a\r\n   \r\nb", {"a", "", "b"}},
                    LineCase{"NoBreakIsOneLine", "just one", {"just one"}},
                    LineCase{"TrailingSpacesStayExceptOnLastLine", "x  \r\ny  ", {"x  ", "y"}},
                    LineCase{"LeadingSpacesGo", "  x\r\n  y", {"x", "y"}},
                    LineCase{"LoneCrIsOrdinary", "a\rb\r\nc", {"a\rb", "c"}},
                    LineCase{"TailLayersOfSpacesAndBreaks", "a\r\nb \r\n \r\n", {"a", "b "}},
                    LineCase{"ExposedSpaceAtEndGoesLater", "a\r\nb\r\nc  \r\n", {"a", "b", "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NormalizeEnds, TrimsSpacesOnceThenBreaks) {
  EXPECT_EQ(NormalizeEnds("\r\n x"), " x");
  EXPECT_EQ(NormalizeEnds(" \r\nx"), "x");
  EXPECT_EQ(NormalizeEnds("  x \n\r\n"), "x ");
  EXPECT_EQ(NormalizeEnds("\r\n\r\n"), "");
  EXPECT_EQ(NormalizeEnds("   "), "");
}

struct GroupCase {
  const char* name;
  std::string body;
  std::string word;
  std::string group;
  std::string rest;
};

void PrintTo(const GroupCase& row, std::ostream* out) {
  *out << row.name;
}

class ExtractGroupCuts : public testing::TestWithParam<GroupCase> {};

TEST_P(ExtractGroupCuts, CutsTheEnclosingGroup) {
  std::string body = GetParam().body;
  const std::string group = ExtractGroup(body, body.find(GetParam().word));
  EXPECT_EQ(group, GetParam().group);
  EXPECT_EQ(body, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ExtractGroupCuts,
    testing::Values(GroupCase{"Middle", "ab{\\fonttbl{\\f0 A;}}cd", "\\fonttbl",
                              "{\\fonttbl{\\f0 A;}}", "abcd"},
                    GroupCase{"OpeningBraceFirst", "{\\colortbl;}x", "\\colortbl", "\\colortbl;}",
                              "{x"},
                    GroupCase{"ClosingBraceLast", "x{\\info a}", "\\info", "{\\info a", "x}"},
                    GroupCase{"NeverClosed", "xy{\\info abc", "\\info", "{\\info ab", "xyc"},
                    GroupCase{"NoOpeningBrace", "ab\\info c}d", "\\info", "b\\info c}", "ad"},
                    GroupCase{"DoubledBreaksCollapseOnce", "a\r\n\r\n\r\nb{\\info x}c", "\\info",
                              "{\\info x}", "a\r\n\r\nbc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceAll, NeverRescansInsertedText) {
  EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
  EXPECT_EQ(ReplaceAll("aXa", "a", "aa"), "aaXaa");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(ReplaceAll, WorksBeyondSixteenBitPositions) {
  std::string text(70000, 'x');
  text += "ab";
  EXPECT_EQ(ReplaceAll(text, "ab", "c").substr(70000), "c");
}

TEST(CrLfLineBreaks, EveryBareBreakBecomesCrLf) {
  for (const auto& [text, expected] : {std::pair{"a\nb", "a\r\nb"},
                                       {"a\rb", "a\r\nb"},
                                       {"a\r\nb", "a\r\nb"},
                                       {"\n\r", "\r\n\r\n"},
                                       {"a\r\r\nb\n", "a\r\n\r\nb\r\n"},
                                       {"a\r\nb\r", "a\r\nb\r\n"},
                                       {"", ""}}) {
    EXPECT_EQ(CrLfLineBreaks(text), expected) << text;
    EXPECT_EQ(CrLfLineBreaksInPlace(text), expected) << text;
  }
}

TEST(CrLfLineBreaks, TextTakenOverWithOnlyCrLfIsNotCopied) {
  std::string text = "{\\rtf1 a\r\nb\r\n}" + std::string(1000, 'x');
  const char* const buffer = text.data();
  const std::string result = CrLfLineBreaksInPlace(std::move(text));
  EXPECT_EQ(result.data(), buffer);
  EXPECT_EQ(result, "{\\rtf1 a\r\nb\r\n}" + std::string(1000, 'x'));
}

TEST(IsDigitChar, AcceptsDecimalDigitsOnly) {
  EXPECT_TRUE(IsDigitChar('0'));
  EXPECT_TRUE(IsDigitChar('9'));
  for (char c : {'/', ':', 'x', ' ', '\0', '\xB2'}) EXPECT_FALSE(IsDigitChar(c)) << c;
}

TEST(LineReader, PutBackComesFirstWithoutCopyingTheRest) {
  LineReader reader("\\'e9t rest");
  EXPECT_EQ(reader.NextToken(), "\\'e9");
  reader.PutBack("&eacute;");
  EXPECT_EQ(reader.NextToken(), "&eacute;t rest");
  EXPECT_TRUE(reader.empty());
}

TEST(LineReader, TokenAfterPutBackSurvivesSkippedToken) {
  LineReader reader("\\'e9x\\'e9 y");
  EXPECT_EQ(reader.NextToken(), "\\'e9");
  reader.PutBack("ab");
  const std::string_view token = reader.NextToken();
  reader.SkipToken();
  EXPECT_EQ(token, "abx");
  EXPECT_EQ(reader.NextToken(), " y");
}

struct PutBackCase {
  const char* name;
  const char* line;
  const char* putBack;
  std::vector<std::string> tokens;
};

void PrintTo(const PutBackCase& row, std::ostream* out) {
  *out << row.name;
}

class PutBackTokens : public testing::TestWithParam<PutBackCase> {};

// Put-back text is read as if it stood in front of the line, even where a
// token's end depends on the character across the join.
TEST_P(PutBackTokens, ReadAsIfInFrontOfTheLine) {
  LineReader reader(GetParam().line);
  reader.PutBack(GetParam().putBack);
  std::vector<std::string> tokens;
  while (!reader.empty()) tokens.emplace_back(reader.NextToken());
  EXPECT_EQ(tokens, GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Joins, PutBackTokens,
    testing::Values(PutBackCase{"ControlWordsInside",
                                "x",
                                "\\super TM\\nosupersub ",
                                {"\\super", "TM", "\\nosupersub", "x"}},
                    PutBackCase{"BackslashPairAcrossTheJoin", "\\b c", "a\\", {"a\\", "\\b", "c"}},
                    PutBackCase{"TextStopsWhereTheLineBegins", "\\b c", "ab", {"ab", "\\b", "c"}},
                    PutBackCase{"ControlWordRunsOnIntoTheLine", "d x", "\\par", {"\\pard", "x"}},
                    PutBackCase{"BraceInside", "x", "ab}c", {"ab", "}", "cx"}},
                    PutBackCase{"LineEndsRightAfterTheJoin", "c", "ab", {"abc"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextRunCase {
  const char* name;
  const char* line;
  std::vector<std::string> tokens;
};

void PrintTo(const TextRunCase& row, std::ostream* out) {
  *out << row.name;
}

class TextRunTokens : public testing::TestWithParam<TextRunCase> {};

// Text is searched for its end several characters at a time; wherever the
// stopping character falls, the tokens are the same.
TEST_P(TextRunTokens, EndAtTheFirstStoppingCharacter) {
  LineReader reader(GetParam().line);
  std::vector<std::string> tokens;
  while (!reader.empty()) tokens.emplace_back(reader.NextToken());
  EXPECT_EQ(tokens, GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TextRunTokens,
    testing::Values(
        TextRunCase{"StopAfterEightCharacters", "abcdefghij\\b x", {"abcdefghij", "\\b", "x"}},
        TextRunCase{"StopInTheLastFew", "abcdefghijk{x}", {"abcdefghijk", "{", "x", "}"}},
        TextRunCase{"HighBytesBeforeTheStop",
                    "caf\xE9 \xE0\xE8\xEC\xF2\xF9\xFF\x80}x",
                    {"caf\xE9 \xE0\xE8\xEC\xF2\xF9\xFF\x80", "}", "x"}},
        TextRunCase{"BackslashPairInALongRun",
                    "abcdefgh\\\\ijklmnop\\par",
                    {"abcdefgh\\", "\\ijklmnop", "\\par"}},
        TextRunCase{
            "NoStopInALongLine", "abcdefghijklmnopqrstuvwxyz", {"abcdefghijklmnopqrstuvwxyz"}},
        TextRunCase{
            "BracesAtBothEnds", "a}bcdefghijklmnopq{r", {"a", "}", "bcdefghijklmnopq", "{", "r"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CharacterFinder, FindsTheSetLeftToRight) {
  CharacterFinder finder("a{b\\c}d{", "\\{}");
  EXPECT_EQ(finder.Next(0), 1u);
  EXPECT_EQ(finder.Next(2), 3u);
  EXPECT_EQ(finder.Next(4), 5u);
  EXPECT_EQ(finder.Next(6), 7u);
  EXPECT_EQ(finder.Next(8), std::string_view::npos);
}

TEST(AppendEscapedMarkup, WritesEntitiesAfterWhatIsThere) {
  std::string out = "x";
  AppendEscapedMarkup(out, "a<b>&c");
  EXPECT_EQ(out, "xa&lt;b&gt;&amp;c");
  AppendEscapedMarkup(out, "");
  EXPECT_EQ(out, "xa&lt;b&gt;&amp;c");
}

TEST(FindWord, FindsTheFirstPlaceOrNone) {
  EXPECT_EQ(FindWord("{\\f0\\fonttbl\\fonttbl}", "\\fonttbl"), 4u);
  EXPECT_EQ(FindWord("\\list1\\listtable", "\\list\\"), std::string_view::npos);
  EXPECT_EQ(FindWord("", "\\info"), std::string_view::npos);
}

}  // namespace
}  // namespace quillet
