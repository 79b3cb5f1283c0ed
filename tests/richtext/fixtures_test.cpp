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
    for (const RunView run : paragraph.Runs()) {
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
    for (const quillet::RunView run : paragraph.Runs()) text += run.text;
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
    EXPECT_EQ(
        document.paragraphs[1].Runs()[document.paragraphs[1].Runs().size() - 4].format.vertical,
        VerticalPosition::kSuperscript);
    EXPECT_EQ(
        document.paragraphs[1].Runs()[document.paragraphs[1].Runs().size() - 2].format.vertical,
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

// The book with notes, a text box and lists (data/notes/README.md) as each
// program wrote it.
struct NotesFixtureCase {
  const char* name;
  const char* file;
  bool box_and_endnote;        // pandoc's Markdown has neither
  std::u16string number_lead;  // LibreOffice's list text starts with a space
};

void PrintTo(const NotesFixtureCase& row, std::ostream* out) {
  *out << row.name;
}

std::vector<std::u16string> NotesBookParagraphs(const NotesFixtureCase& row) {
  const std::u16string& lead = row.number_lead;
  std::vector<std::u16string> text = {
      u"The Lighthouse Keeper’s Notes",
      u"Tomás lit the lamp every night.1 Nobody asked him why the logbook stayed on the desk by "
      u"the window.2",
      u"The keeper counted the ships that passed:",
      lead + u"1.\tThe Santa Lucía, a fishing boat.",
      lead + u"2.\tThe Agios Nikolaos, from the east.",
      lead + u"3.\tA grey ferry without a name.",
      u"Interlude.",
      lead + u"1.\tRestarted one.",
      lead + u"2.\tRestarted two.",
      u"Interlude two.",
      lead + u"3.\tContinued three.",
      u"The Storm",
      u"When the storm came, the keeper wrote three words in the margin.3 Then he slept until "
      u"noon.4",
      u"The end.",
      u"Notas / Notes",
      u"1. Lighthouse logs were kept in ink, never in pencil.",
      u"2. The desk was oak, older than the tower itself.",
      u"3. The words were never read by anyone.",
      u"A second paragraph of the same note, in bold here.",
      u"4. Noon was late for a keeper."};
  if (row.box_and_endnote) {
    text.insert(text.begin() + 2, u"Boxed: the tide tables for March.");
    text[14] += u"i";
    text.push_back(u"i. Written down from the keeper’s own logbook.");
  }
  return text;
}

class NotesFixture : public ::testing::TestWithParam<NotesFixtureCase> {};

TEST_P(NotesFixture, ReadsEveryParagraphNoteAndBoxOnceInOrder) {
  const Document document = ReadFixture(std::string("notes/") + GetParam().file);
  std::vector<std::u16string> paragraphs;
  for (const Paragraph& paragraph : document.paragraphs) {
    std::u16string text;
    for (const quillet::RunView run : paragraph.Runs()) text += run.text;
    paragraphs.push_back(text);
    EXPECT_FALSE(paragraph.bullet) << ToUtf8(text);
  }
  const std::vector<std::u16string> expected = NotesBookParagraphs(GetParam());
  ASSERT_EQ(paragraphs.size(), expected.size()) << ToUtf8(document.PlainText());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ToUtf8(paragraphs[i]), ToUtf8(expected[i])) << "paragraph " << i;
  }
}

TEST_P(NotesFixture, KnowsEachNoteItsMarkAndWhereItIsCited) {
  const Document document = ReadFixture(std::string("notes/") + GetParam().file);
  ASSERT_TRUE(NotesFit(document));
  std::vector<std::u16string> marks = {u"1", u"2", u"3", u"4"};
  if (GetParam().box_and_endnote) marks.push_back(u"i");
  ASSERT_EQ(document.notes.size(), marks.size());
  for (std::size_t i = 0; i < marks.size(); ++i) {
    const Note& note = document.notes[i];
    EXPECT_EQ(note.mark, marks[i]);
    EXPECT_EQ(note.kind, i < 4 ? NoteKind::kFootnote : NoteKind::kEndnote);
    EXPECT_EQ(note.paragraph_count, i == 2 ? 2u : 1u);
    // The mark stands in the text, raised, where the note is cited.
    std::size_t offset = 0;
    for (const quillet::RunView run : document.paragraphs[note.reference_paragraph].Runs()) {
      if (note.reference_offset >= offset && note.reference_offset < offset + run.text.size()) {
        EXPECT_EQ(run.text.substr(note.reference_offset - offset, note.mark.size()), note.mark);
        EXPECT_EQ(run.format.vertical, VerticalPosition::kSuperscript);
      }
      offset += run.text.size();
    }
    EXPECT_TRUE(document.paragraphs[note.first_paragraph].Runs().front().text.starts_with(
        note.mark + u". "));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotesFixture,
    ::testing::Values(
        NotesFixtureCase{"pandoc", "pandoc_notes.rtf", false, u""},
        NotesFixtureCase{"libreoffice_from_odt", "libreoffice_from_odt.rtf", true, u" "},
        NotesFixtureCase{"libreoffice_from_docx", "libreoffice_from_docx.rtf", true, u" "},
        NotesFixtureCase{"without_list_text", "libreoffice_from_docx_without_list_text.rtf", true,
                         u""}),
    ::testing::PrintToStringParamName());

TEST(NotesFixture, WordShapesOldNumbersAndMarksOfTheirOwn) {
  const Document document = ReadFixture("notes/word_notes_shapes.rtf");
  EXPECT_EQ(ToUtf8(document.PlainText()),
            "The harbour master kept two books.1 The second was thicker.* He said so.i\n"
            "Tide table: high water at six.\n"
            "The boats went out at dawn.\n"
            "Old drawing box text.\n"
            "A paragraph after a picture and an old text box.\n"
            "1.\tOld style one.\n"
            "2.\tOld style two.\n"
            "Continued text of item two.\n"
            "3.\tOld style three.\n"
            "(a)\tLetter a.\n"
            "(b)\tLetter b.\n"
            "Between the lists.\n"
            "IV.\tRoman four.\n"
            "V.\tRoman five.\n"
            "1.\tListed one.\n"
            "a)\tListed one a.\n"
            "2.\tListed two.\n"
            "Between.\n"
            "1.\tListed again one.\n"
            "2.\tListed again two.\n"
            "Notas / Notes\n"
            "1. One for ships and one for storms.\n"
            "* A note with a mark of its own.\n"
            "i. An endnote about the harbour.");
  EXPECT_TRUE(FormatOf(document, u"Tide table:").bold);
  EXPECT_TRUE(NotesFit(document));
}

}  // namespace
}  // namespace quillet
