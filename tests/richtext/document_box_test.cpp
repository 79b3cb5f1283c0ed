#include "richtext/document_box.h"

#include <gtest/gtest.h>

#include <ostream>

#include "richtext/rtf_reader.h"
#include "tests/richtext/test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::Colored;
using testing::D;
using testing::P;
using testing::R;

class DocumentBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box_.SetChangeHandler([this] { ++changes_; });
  }
  DocumentBox box_;
  int changes_ = 0;
};

TEST_F(DocumentBoxTest, EmptyRtfEmptiesTheBoxAndRaisesChange) {
  box_.SetPlainText("something");
  changes_ = 0;
  box_.SetTextRTF("");
  EXPECT_EQ(box_.Text(), u"");
  EXPECT_EQ(changes_, 1);
}

TEST_F(DocumentBoxTest, SelectionPastTheEndSelectsNothing) {
  box_.SetPlainText("abc");
  box_.SetSelStart(10);
  box_.SetSelLength(1);
  EXPECT_EQ(box_.SelStart(), 3);
  EXPECT_EQ(box_.SelText(), u"");
  EXPECT_EQ(box_.SelRTF(), "");
}

struct SelectionCase {
  const char* name;
  std::int64_t start;
  std::int64_t length;
  std::int64_t expected_start;
  std::int64_t expected_length;
  std::u16string text;
};

void PrintTo(const SelectionCase& row, std::ostream* out) {
  *out << row.name;
}

class DocumentBoxSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(DocumentBoxSelection, ClampsToTheContent) {
  DocumentBox box;
  box.SetPlainText("ab\ncd");  // 5 positions
  box.SetSelStart(GetParam().start);
  box.SetSelLength(GetParam().length);
  EXPECT_EQ(box.SelStart(), GetParam().expected_start);
  EXPECT_EQ(box.SelLength(), GetParam().expected_length);
  EXPECT_EQ(box.SelText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, DocumentBoxSelection,
                         ::testing::Values(SelectionCase{"inside", 1, 3, 1, 3, u"b\nc"},
                                           SelectionCase{"runs_past_the_end", 3, 10, 3, 2, u"cd"},
                                           SelectionCase{"negative_start", -4, 1, 0, 1, u"a"},
                                           SelectionCase{"negative_length", 2, -1, 2, 0, u""},
                                           SelectionCase{"at_the_end", 5, 1, 5, 0, u""},
                                           SelectionCase{"paragraph_break_alone", 2, 1, 2, 1,
                                                         u"\n"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentBoxTest, SelectionStaysAndSettingTheStartCollapsesIt) {
  box_.SetPlainText("hello world");
  box_.SetSelStart(6);
  box_.SetSelLength(5);
  EXPECT_EQ(box_.SelText(), u"world");
  EXPECT_EQ(box_.SelText(), u"world");
  box_.SetSelStart(0);
  EXPECT_EQ(box_.SelLength(), 0);
}

TEST_F(DocumentBoxTest, SelRtfStartsWithTheFormatOfTheRunItStartsIn) {
  CharFormat red_bold = Bold();
  red_bold.color = Color{255, 0, 0};
  red_bold.size_half_points = 36;
  box_.SetDocument(D({P({R(u"plain "), R(u"formatted run", red_bold)}, Alignment::kCenter)}));
  box_.SetSelStart(9);
  box_.SetSelLength(3);
  const std::string rtf = box_.SelRTF();
  EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green0\\blue0;}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("\\viewkind4\\uc1\\pard\\plain\\qc\\f0\\fs36\\cf1\\b mat\\par"),
            std::string::npos)
      << rtf;
  EXPECT_EQ(ReadRtf(rtf), D({P({R(u"mat", red_bold)}, Alignment::kCenter)}));
}

TEST_F(DocumentBoxTest, SelRtfTablesHoldOnlyWhatTheRangeUses) {
  CharFormat serif;
  serif.font = "Serif";
  box_.SetDocument(D({P({R(u"red", Colored(255, 0, 0)), R(u"plain"), R(u"serif", serif)})}));
  box_.SetSelStart(3);
  box_.SetSelLength(5);
  const std::string rtf = box_.SelRTF();
  EXPECT_EQ(rtf.find("colortbl"), std::string::npos) << rtf;
  EXPECT_EQ(rtf.find("Serif"), std::string::npos) << rtf;
}

TEST_F(DocumentBoxTest, TextRtfRoundTripsThroughTheBox) {
  const Document document = D({P({R(u"a", Bold()), R(u"b")}), P({R(u"c")}, Alignment::kRight)});
  box_.SetDocument(document);
  DocumentBox other;
  other.SetTextRTF(box_.TextRTF());
  EXPECT_EQ(other.document(), document);
}

// The box's RTF keeps the notes for the next read; a selection's RTF, which the
// converter sees, shows them as ordinary text at the end.
TEST_F(DocumentBoxTest, TextRtfKeepsTheNotesAndSelRtfShowsThemAsText) {
  box_.SetTextRTF(
      testing::RtfDocument("", "Cited{\\super\\chftn}{\\footnote\\chftn The note.}.\\par"));
  ASSERT_EQ(box_.document().notes.size(), 1u);
  DocumentBox again;
  again.SetTextRTF(box_.TextRTF());
  EXPECT_EQ(again.document(), box_.document());
  box_.SetSelStart(0);
  box_.SetSelLength(box_.Text().size());
  const std::string selection = box_.SelRTF();
  EXPECT_EQ(selection.find("quillet"), std::string::npos) << selection;
  EXPECT_NE(selection.find("Notas / Notes\\par\r\n"), std::string::npos) << selection;
  EXPECT_NE(selection.find("1. The note.\\par"), std::string::npos) << selection;
}

TEST_F(DocumentBoxTest, TextThatIsNotRtfIsTakenAsPlainText) {
  box_.SetTextRTF("first\r\nsecond {not rtf}\n");
  EXPECT_EQ(box_.Text(), u"first\nsecond {not rtf}");
}

struct PlainTextCase {
  const char* name;
  std::string bytes;
  std::u16string text;
  std::size_t paragraphs;
};

void PrintTo(const PlainTextCase& row, std::ostream* out) {
  *out << row.name;
}

class DocumentBoxPlainText : public ::testing::TestWithParam<PlainTextCase> {};

TEST_P(DocumentBoxPlainText, MakesOneParagraphPerLine) {
  DocumentBox box;
  box.SetPlainText(GetParam().bytes);
  EXPECT_EQ(box.Text(), GetParam().text);
  EXPECT_EQ(box.document().paragraphs.size(), GetParam().paragraphs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentBoxPlainText,
    ::testing::Values(PlainTextCase{"utf8", "caf\xC3\xA9\n\xE2\x82\xAC", u"café\n€", 2},
                      PlainTextCase{"windows_1252_when_not_utf8", "caf\xE9\r\n\x80", u"café\n€", 2},
                      PlainTextCase{"byte_order_mark_dropped", "\xEF\xBB\xBFx", u"x", 1},
                      PlainTextCase{"all_line_ends", "a\rb\r\nc\nd", u"a\nb\nc\nd", 4},
                      PlainTextCase{"final_line_end_makes_no_paragraph", "a\n", u"a", 1},
                      PlainTextCase{"blank_lines_kept", "a\n\n\nb", u"a\n\n\nb", 4},
                      PlainTextCase{"controls_dropped_tab_kept", "a\x01\tb", u"a\tb", 1},
                      PlainTextCase{"empty", "", u"", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextReaderCase {
  const char* name;
  Document document;
};

void PrintTo(const TextReaderCase& row, std::ostream* out) {
  *out << row.name;
}

class DocumentBoxTextReader : public ::testing::TestWithParam<TextReaderCase> {};

// Read in place, the text is the one Text() copies: every unit, and every
// search from every position, for spaces, breaks and a unit that is absent.
TEST_P(DocumentBoxTextReader, ReadsWhatTextCopies) {
  DocumentBox box;
  box.SetDocument(GetParam().document);
  const std::u16string text = box.Text();
  const auto reader = box.ReadText();
  ASSERT_EQ(reader->Length(), static_cast<std::int64_t>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(reader->At(static_cast<std::int64_t>(i)), text[i]) << "at " << i;
  }
  for (const char16_t unit : {u' ', u'\n', char16_t{0xDE00}, u'z'}) {  // 0xDE00: a low surrogate
    for (std::size_t from = 0; from <= text.size() + 1; ++from) {
      const std::size_t found = text.find(unit, from);
      EXPECT_EQ(reader->Find(unit, static_cast<std::int64_t>(from)),
                found == std::u16string::npos ? -1 : static_cast<std::int64_t>(found))
          << "unit " << static_cast<int>(unit) << " from " << from;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Documents, DocumentBoxTextReader,
    ::testing::Values(
        TextReaderCase{"Empty", D({})}, TextReaderCase{"OneEmptyParagraph", D({P({})})},
        TextReaderCase{"RunsAndParagraphs",
                       D({P({R(u"one "), R(u"two", Bold()), R(u" three")}), P({R(u"four five")})})},
        TextReaderCase{"EmptyParagraphsBetween", D({P({R(u"a b")}), P({}), P({}), P({R(u"c")})})},
        TextReaderCase{"EmptyRunsAndSpacesAtTheEdges",
                       D({P({R(u" "), R(u""), R(u"x ", Colored(1, 2, 3))}), P({R(u" y")})})},
        TextReaderCase{
            "SurrogatePairsAndLineBreaks",
            D({P({R(u"a\U0001F600 b"), R(u"\u2028c\U0001F600")}), P({R(u"\U0001F600")})})}));

}  // namespace
}  // namespace quillet
