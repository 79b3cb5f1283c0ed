// The frame of reader pages: numbers, titles, links, the index, and the
// plain text that names a part.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/reader/part_headings.h"
#include "builder/reader/reader_book.h"
#include "builder/reader/reader_pages.h"
#include "tests/reader/reader_support.h"

namespace quillet::reader {
namespace {

using testing::Names;

int Count(std::string_view text, std::string_view what) {
  int count = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

struct NumberCase {
  int part;
  int count;
  const char* text;
};

void PrintTo(const NumberCase& row, std::ostream* out) {
  *out << row.part << "Of" << row.count;
}

class PartNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(PartNumberTest, HasTwoDigitsOrThreeBeyond99Parts) {
  EXPECT_EQ(PartNumberText(GetParam().part, GetParam().count), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Numbers, PartNumberTest,
                         ::testing::Values(NumberCase{1, 1, "01"}, NumberCase{3, 37, "03"},
                                           NumberCase{99, 99, "99"}, NumberCase{3, 150, "003"},
                                           NumberCase{100, 100, "100"},
                                           NumberCase{999, 999, "999"}),
                         ::testing::PrintToStringParamName());

struct LinkCase {
  std::string name;
  int part;
  int count;
  std::vector<std::string> links;  // in the order they stand
};

void PrintTo(const LinkCase& row, std::ostream* out) {
  *out << row.name;
}

class NavigationTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(NavigationTest, LinksOnlyThePartsThatExistAtTopAndBottom) {
  const PageComposer composer(Names(), true, false);
  const std::string page = composer.PartPage(GetParam().part, GetParam().count, "", "texto");
  std::string expected;
  for (const std::string& link : GetParam().links) {
    expected += (expected.empty() ? "" : " | ") + link;
  }
  if (expected.empty()) {
    EXPECT_EQ(Count(page, "<a "), 0);
  } else {
    EXPECT_EQ(Count(page, "<p>" + expected + "</p>\r\n"), 2) << page;
    EXPECT_NE(page.find("\r\n<p>" + expected + "</p>\r\ntexto\r\n<p>"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Parts, NavigationTest,
    ::testing::Values(LinkCase{"FirstOfThree",
                               1,
                               3,
                               {"<a href=\"Rerud.html\">&Iacute;ndice</a>",
                                "<a href=\"Rerud02.html\">Siguiente &gt;&gt;</a>"}},
                      LinkCase{"MiddleOfThree",
                               2,
                               3,
                               {"<a href=\"Rerud01.html\">&lt;&lt; Anterior</a>",
                                "<a href=\"Rerud.html\">&Iacute;ndice</a>",
                                "<a href=\"Rerud03.html\">Siguiente &gt;&gt;</a>"}},
                      LinkCase{"LastOfThree",
                               3,
                               3,
                               {"<a href=\"Rerud02.html\">&lt;&lt; Anterior</a>",
                                "<a href=\"Rerud.html\">&Iacute;ndice</a>"}},
                      LinkCase{"ThreeDigitNeighbours",
                               100,
                               150,
                               {"<a href=\"Rerud099.html\">&lt;&lt; Anterior</a>",
                                "<a href=\"Rerud.html\">&Iacute;ndice</a>",
                                "<a href=\"Rerud101.html\">Siguiente &gt;&gt;</a>"}},
                      LinkCase{"SinglePartHasNoLinks", 1, 1, {}}),
    [](const auto& info) { return info.param.name; });

struct TitleCase {
  std::string name;
  bool titles;
  int part;
  int count;
  std::string heading;
  std::string title;
};

void PrintTo(const TitleCase& row, std::ostream* out) {
  *out << row.name;
}

class TitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleTest, NamesThePartAndItsHeading) {
  const PageComposer composer(Names(), false, GetParam().titles);
  const std::string page =
      composer.PartPage(GetParam().part, GetParam().count, GetParam().heading, "");
  EXPECT_NE(page.find("\r\n<TITLE>" + GetParam().title + "</TITLE>\r\n"), std::string::npos)
      << page;
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleTest,
    ::testing::Values(TitleCase{"NumberAndHeading", true, 3, 37, "Cap&iacute;tulo 3",
                                ":: QUILLET - RERUD 03/37 - Cap&iacute;tulo 3 ::"},
                      TitleCase{"NumberAlone", true, 3, 37, "", ":: QUILLET - RERUD 03/37 ::"},
                      TitleCase{"ThreeDigits", true, 7, 120, "", ":: QUILLET - RERUD 007/120 ::"},
                      TitleCase{"WithoutTitlesAsTheDefaultPages", false, 3, 37, "Cap",
                                ":: QUILLET - RERUD ::"}),
    [](const auto& info) { return info.param.name; });

TEST(PageComposerTest, PartPageHasTheDefaultShapeWellFormed) {
  const PageComposer composer(Names(), true, true);
  EXPECT_EQ(composer.PartPage(1, 1, "", "Hola"),
            "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n"
            "<HTML>\r\n<HEAD>\r\n<TITLE>:: QUILLET - RERUD 01/01 ::</TITLE>\r\n"
            "</HEAD>\r\n<BODY>\r\nHola\r\n</BODY>\r\n\r\n</html>\r\n");
}

TEST(PageComposerTest, FrameBoundCoversEveryPart) {
  const PageComposer composer(Names(), true, true);
  const std::string longest(kHeadingBytes, 'x');
  for (int count : {2, 99, 100, 999}) {
    for (int part : {1, 2, count / 2, count}) {
      EXPECT_LE(composer.PartPage(part, count, longest, "").size(), composer.MaxFrameBytes());
    }
  }
}

TEST(PageComposerTest, PlainIndexLinksEveryPartByName) {
  const PageComposer composer(Names(), false, false);
  const std::string index = composer.IndexPage({{"Uno", 900}, {"Dos", 2000}}, 0);
  EXPECT_NE(index.find("<TITLE>:: INDICE ::</TITLE>\r\n</HEAD>\r\n<BODY>\r\nINDICE<br><br>\r\n"
                       "<a href=\"Rerud01.html\">Rerud01</a><br>\r\n"
                       "<a href=\"Rerud02.html\">Rerud02</a><br>\r\n</BODY>\r\n\r\n</html>\r\n"),
            std::string::npos)
      << index;
}

TEST(PageComposerTest, TitledIndexNamesEveryPartWithItsSize) {
  const PageComposer composer(Names(), false, true);
  const std::string index = composer.IndexPage({{"Cap&iacute;tulo 1", 100 * 1024}, {"", 1025}}, 0);
  EXPECT_NE(index.find("<TITLE>:: QUILLET - RERUD - INDICE ::</TITLE>"), std::string::npos);
  EXPECT_NE(index.find("<a href=\"Rerud01.html\">01 Cap&iacute;tulo 1</a> (100 KB)<br>\r\n"
                       "<a href=\"Rerud02.html\">02</a> (2 KB)<br>\r\n"),
            std::string::npos)
      << index;
}

TEST(PageComposerTest, TitledIndexShortensHeadingsToKeepToTheBudget) {
  const PageComposer composer(Names(), false, true);
  const std::vector<IndexEntry> entries(999, IndexEntry{std::string(80, 'w') + " end", 99000});
  const std::string index = composer.IndexPage(entries, 100 * 1024);
  EXPECT_LE(index.size(), 100u * 1024);
  EXPECT_EQ(Count(index, "<a href="), 999);
  EXPECT_TRUE(composer.IndexFits(999, 100 * 1024));
  EXPECT_FALSE(composer.IndexFits(999, 20 * 1024));
}

struct TextCase {
  std::string name;
  std::string input;
  std::size_t characters;
  std::size_t bytes;
  std::string text;
};

void PrintTo(const TextCase& row, std::ostream* out) {
  *out << row.name;
}

class ShortenTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ShortenTest, EndsAtAWholeWord) {
  EXPECT_EQ(ShortenAtWord(GetParam().input, GetParam().characters, GetParam().bytes),
            GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ShortenTest,
    ::testing::Values(TextCase{"ShortTextStays", "one two", 60, 300, "one two"},
                      TextCase{"CutAfterAWord", "one two three", 9, 300, "one two"},
                      TextCase{"LimitRightAfterAWord", "one two three", 7, 300, "one two"},
                      TextCase{"OneLongWordIsCut", "abcdefgh", 3, 300, "abc"},
                      TextCase{"ReferenceCountsOne", "caf&eacute; con leche", 6, 300,
                               "caf&eacute;"},
                      TextCase{"BytesLimitToo", "&#1078;&#1078; x", 60, 10, "&#1078;"}),
    [](const auto& info) { return info.param.name; });

class PlainTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(PlainTextTest, DropsMarkupAndFoldsSpace) {
  const BalancedBody body = Balance(GetParam().input, kBodyFontSize);
  EXPECT_EQ(PlainText(body, {0, body.html.size()}, GetParam().characters), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PlainTextTest,
    ::testing::Values(TextCase{"TagsGoReferencesStay", "<b>Cap&iacute;tulo</b> 1", 60, 0,
                               "Cap&iacute;tulo 1"},
                      TextCase{"BreaksAndNoBreakSpacesAreSpaces", "&nbsp;&nbsp;uno<br>dos  tres ",
                               60, 0, "uno dos tres"},
                      TextCase{"StopsPastTheLimit", "abc def ghi", 5, 0, "abc de"}),
    [](const auto& info) { return info.param.name; });

TEST(PartHeadingTest, FirstHeadingInThePartElseItsFirstWords) {
  const BalancedBody body = Balance("Intro words here.<br><b>Chapter Two</b><br>More text.<br>" +
                                        std::string(30, 'w') + " " + std::string(40, 'v') + " tail",
                                    kBodyFontSize);
  const std::size_t chapter = body.html.find("<b>");
  const std::size_t more = body.html.find("More");
  EXPECT_EQ(PartHeading(body, {0, more}), "Chapter Two");
  EXPECT_EQ(PartHeading(body, {0, chapter}), "Intro words here.");
  EXPECT_EQ(PartHeading(body, {more, body.html.size()}), "More text. " + std::string(30, 'w'));
}

}  // namespace
}  // namespace quillet::reader
