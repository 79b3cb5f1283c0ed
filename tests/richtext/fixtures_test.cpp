// Documents written by real programs (see data/README.md), read back.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>

#include "richtext/rtf_reader.h"
#include "richtext/text_encoding.h"

namespace quillet {
namespace {

Document ReadFixture(const std::string& name) {
  std::ifstream file(std::string(QUILLET_RICHTEXT_DATA) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  std::ostringstream contents;
  contents << file.rdbuf();
  return ReadRtf(contents.str());
}

// The format of the first run whose text contains `needle`.
CharFormat FormatOf(const Document& document, std::u16string_view needle) {
  for (const Paragraph& paragraph : document.paragraphs) {
    for (const Run& run : paragraph.runs) {
      if (run.text.find(needle) != std::u16string::npos) return run.format;
    }
  }
  ADD_FAILURE() << "no run holds " << ToUtf8(needle);
  return {};
}

struct ParagraphExpectation {
  std::u16string text;
  Alignment alignment = Alignment::kLeft;
  bool bullet = false;
};

struct FixtureCase {
  const char* name;
  const char* file;
  std::vector<ParagraphExpectation> paragraphs;
};

void PrintTo(const FixtureCase& row, std::ostream* out) {
  *out << row.name;
}

const std::u16string kQuotes =
    u"“Curly quotes” and ‘single’ — em dash – en dash, the euro sign €, café naïve.";
const std::u16string kScripts = u"Greek αβγ and Cyrillic жизнь.";

class Fixture : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Fixture, ReadsEveryParagraphWithItsFormat) {
  const Document document = ReadFixture(GetParam().file);
  const auto& expected = GetParam().paragraphs;
  ASSERT_EQ(document.paragraphs.size(), expected.size()) << ToUtf8(document.PlainText());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const Paragraph& paragraph = document.paragraphs[i];
    std::u16string text;
    for (const quillet::Run& run : paragraph.runs) text += run.text;
    EXPECT_EQ(ToUtf8(text), ToUtf8(expected[i].text)) << "paragraph " << i;
    EXPECT_EQ(paragraph.alignment, expected[i].alignment) << "paragraph " << i;
    EXPECT_EQ(paragraph.bullet, expected[i].bullet) << "paragraph " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Fixture,
    ::testing::Values(
        FixtureCase{"pandoc",
                    "pandoc_sample.rtf",
                    {{u"A Heading"},
                     {u"Plain, bold, italic, struck, super2 and sub2 text."},
                     {kQuotes},
                     {kScripts},
                     {u"First item", Alignment::kLeft, true},
                     {u"Second item", Alignment::kLeft, true},
                     {u"Name\tValue"},
                     {u"one\t1"},
                     {u"two\t2"},
                     {u""}}},
        FixtureCase{"libreoffice_from_html",
                    "libreoffice_from_html.rtf",
                    {{u"A Heading"},
                     {u"Plain, bold, italic, underlined, struck, super2 and sub2 text."},
                     {u"Red text and blue."},
                     {u"Big text and small."},
                     {u"Centred paragraph", Alignment::kCenter},
                     {u"Right paragraph", Alignment::kRight},
                     {kQuotes},
                     {kScripts},
                     {u"First item", Alignment::kLeft, true},
                     {u"Second item", Alignment::kLeft, true},
                     {u"one\t1"},
                     {u"two\t2"},
                     {u"Back\\slash and {braces}."}}},
        FixtureCase{"libreoffice_from_docx",
                    "libreoffice_from_docx.rtf",
                    {{u"A Heading"},
                     {u"Plain, bold, italic, struck, super2 and sub2 text."},
                     {kQuotes},
                     {kScripts},
                     {u"First item", Alignment::kLeft, true},
                     {u"Second item", Alignment::kLeft, true},
                     {u"Name\tValue"},
                     {u"one\t1"},
                     {u"two\t2"}}},
        FixtureCase{"textedit",
                    "textedit_sample.rtf",
                    {{u"Plain with bold and red words."},
                     {u"Centred line", Alignment::kCenter},
                     {u"First bullet", Alignment::kLeft, true},
                     {u"Second bullet", Alignment::kLeft, true},
                     {u"Café — “quoted” €"}}},
        FixtureCase{
            "wordpad", "wordpad_cyrillic_polish.rtf", {{u"Привет, мир!"}, {u"Zażółć gęślą jaźń"}}},
        FixtureCase{"word",
                    "word_sample.rtf",
                    {{u"See the site."},
                     {u"Bulleted", Alignment::kLeft, true},
                     {u"1.\tNumbered"},
                     {u"αβγ Greek"},
                     {u"A1\tB1"},
                     {u"End"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The character formats each program wrote for the same sample text.
TEST(Fixture, PandocKeepsCharacterFormats) {
  const Document document = ReadFixture("pandoc_sample.rtf");
  EXPECT_TRUE(FormatOf(document, u"A Heading").bold);
  EXPECT_EQ(FormatOf(document, u"A Heading").size_half_points, 36);
  EXPECT_TRUE(FormatOf(document, u"bold").bold);
  EXPECT_TRUE(FormatOf(document, u"italic").italic);
  EXPECT_TRUE(FormatOf(document, u"struck").strike);
  EXPECT_EQ(FormatOf(document, u"2").vertical, VerticalPosition::kSuperscript);
  EXPECT_FALSE(FormatOf(document, u"Plain").bold);
}

TEST(Fixture, LibreOfficeKeepsCharacterFormats) {
  for (const char* file : {"libreoffice_from_html.rtf", "libreoffice_from_docx.rtf"}) {
    SCOPED_TRACE(file);
    const Document document = ReadFixture(file);
    EXPECT_TRUE(FormatOf(document, u"A Heading").bold);
    EXPECT_TRUE(FormatOf(document, u"bold").bold);
    EXPECT_TRUE(FormatOf(document, u"italic").italic);
    EXPECT_TRUE(FormatOf(document, u"struck").strike);
    EXPECT_EQ(document.paragraphs[1].runs[document.paragraphs[1].runs.size() - 4].format.vertical,
              VerticalPosition::kSuperscript);
    EXPECT_EQ(document.paragraphs[1].runs[document.paragraphs[1].runs.size() - 2].format.vertical,
              VerticalPosition::kSubscript);
  }
  const Document html = ReadFixture("libreoffice_from_html.rtf");
  EXPECT_TRUE(FormatOf(html, u"underlined").underline);
  EXPECT_EQ(FormatOf(html, u"Red text").color, (Color{255, 0, 0}));
  EXPECT_EQ(FormatOf(html, u"blue").color, (Color{0, 0, 255}));
  EXPECT_EQ(FormatOf(html, u"Big text").size_half_points, 40);
  EXPECT_EQ(FormatOf(html, u"small").size_half_points, 16);
}

TEST(Fixture, TextEditKeepsCharacterFormats) {
  const Document document = ReadFixture("textedit_sample.rtf");
  EXPECT_TRUE(FormatOf(document, u"bold").bold);
  EXPECT_EQ(FormatOf(document, u"bold").font, "Helvetica-Bold");
  EXPECT_EQ(FormatOf(document, u"red").color, (Color{251, 0, 7}));
  EXPECT_FALSE(FormatOf(document, u" words.").color.has_value());
}

TEST(Fixture, WordKeepsTheFieldResultFormat) {
  const Document document = ReadFixture("word_sample.rtf");
  EXPECT_TRUE(FormatOf(document, u"the site").underline);
  EXPECT_EQ(FormatOf(document, u"the site").color, (Color{0, 0, 255}));
  EXPECT_EQ(FormatOf(document, u"αβγ").font, "Arial Greek");
}

}  // namespace
}  // namespace quillet
