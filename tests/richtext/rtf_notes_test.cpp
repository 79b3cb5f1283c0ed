// Footnotes, endnotes and text boxes: read from RTF as word processors write
// them, written back with their notes, and read again.
#include <gtest/gtest.h>

#include "richtext/notes.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::D;
using testing::P;
using testing::R;
using testing::RtfDocument;
using testing::Sized;

struct TextCase {
  const char* name;
  std::string header;
  std::string body;
  std::u16string text;
};

void PrintTo(const TextCase& row, std::ostream* out) {
  *out << row.name;
}

class RtfNotesText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfNotesText, GathersTheNotesAtTheEnd) {
  const Document document = ReadRtf(RtfDocument(GetParam().header, GetParam().body));
  EXPECT_EQ(ToUtf8(document.PlainText()), ToUtf8(GetParam().text));
  EXPECT_TRUE(NotesFit(document));
}

INSTANTIATE_TEST_SUITE_P(
    Notes, RtfNotesText,
    ::testing::Values(
        TextCase{"pandoc", "",
                 "Text.{\\super\\chftn}{\\*\\footnote\\chftn\\~\\plain\\pard {\\pard \\ql Note "
                 "text.\\par}\r\n} More.\\par",
                 u"Text.1 More.\nNotas / Notes\n1. Note text."},
        TextCase{"word", "",
                 "{A}{\\cs16\\super \\chftn {\\footnote \\pard\\plain \\s15 {\\cs16\\super \\chftn "
                 "} Note.}}{ B}\\par",
                 u"A1 B\nNotas / Notes\n1. Note."},
        TextCase{"libreoffice_endnote", "\\ftnnar\\aftnnrlc",
                 "End.{{\\super \\loch \\chftn{\\*\\footnote\\ftnalt \\chftn\\pard\\plain "
                 "\\fs20{\\loch\r\n\\tab Last.}\r\n}}\r\n}\r\n\\par ",
                 u"End.i\nNotas / Notes\ni. Last."},
        TextCase{"footnotes_before_endnotes", "",
                 "a{\\super\\chftn}{\\footnote\\ftnalt\\chftn E}b{\\super\\chftn}{\\footnote"
                 "\\chftn F}c{\\super\\chftn}{\\footnote\\chftn G}\\par",
                 u"aib1c2\nNotas / Notes\n1. F\n2. G\ni. E"},
        TextCase{"word_mark_of_its_own", "",
                 "x{\\cs16\\super *}{\\footnote \\pard {\\cs16\\super *} Own.}y\\par",
                 u"x*y\nNotas / Notes\n* Own."},
        TextCase{"libreoffice_mark_of_its_own", "",
                 "x{{\\super \\loch \\u8224\\'86{\\*\\footnote \\u8224\\'86\\pard\\plain{\\loch\r\n"
                 "\\tab Dagger.}}}}\\par",
                 u"x\u2020\nNotas / Notes\n\u2020 Dagger."},
        TextCase{"note_without_a_mark_is_numbered", "",
                 "x{\\footnote Bare.} y{\\footnote *Not a mark.}\\par",
                 u"x1 y2\nNotas / Notes\n1. Bare.\n2. *Not a mark."},
        TextCase{"first_word_of_the_note_is_no_mark", "",
                 "I met the king{\\footnote king of Spain.} today.\\par",
                 u"I met the king1 today.\nNotas / Notes\n1. king of Spain."},
        TextCase{"end_of_a_word_is_no_mark", "", "Something{\\footnote ing is a note.}\\par",
                 u"Something1\nNotas / Notes\n1. ing is a note."},
        TextCase{"digit_inside_a_word_is_no_mark", "", "Route66{\\footnote 6 lanes.}\\par",
                 u"Route661\nNotas / Notes\n1. 6 lanes."},
        TextCase{"long_mark_is_no_mark", "", "See [note]{\\footnote [note] Long.}\\par",
                 u"See [note]1\nNotas / Notes\n1. [note] Long."},
        TextCase{"symbol_after_a_space_is_a_mark", "", "See *{\\footnote * Star.}\\par",
                 u"See *\nNotas / Notes\n* Star."},
        TextCase{"digit_after_punctuation_is_a_mark", "", "End.7{\\footnote 7 Seven.}\\par",
                 u"End.7\nNotas / Notes\n7. Seven."},
        TextCase{"raised_letter_is_a_mark", "", "x{\\super a}{\\footnote a Raised.}\\par",
                 u"xa\nNotas / Notes\na. Raised."},
        TextCase{"number_styles_of_the_document", "\\ftnnchi\\aftnnar",
                 "a{\\super\\chftn}{\\footnote\\chftn A}b{\\super\\chftn}{\\footnote\\chftn "
                 "B}c{\\super\\chftn}{\\footnote\\ftnalt\\chftn C}\\par",
                 u"a*b\u2020c1\nNotas / Notes\n* A\n\u2020 B\n1. C"},
        TextCase{
            "first_numbers_of_the_document", "\\ftnstart5\\aftnstart3\\aftnnauc",
            "a{\\super\\chftn}{\\footnote\\chftn A}b{\\super\\chftn}{\\footnote\\ftnalt\\chftn "
            "B}\\par",
            u"a5bC\nNotas / Notes\n5. A\nC. B"},
        TextCase{
            "note_in_a_note_is_skipped", "",
            "x{\\super\\chftn}{\\footnote\\chftn A{\\super\\chftn}{\\footnote\\chftn B} C}\\par",
            u"x1\nNotas / Notes\n1. A C"},
        TextCase{"note_of_two_paragraphs", "",
                 "x{\\super\\chftn}{\\footnote\\chftn\\pard One\\par\\pard Two\\par}\\par",
                 u"x1\nNotas / Notes\n1. One\nTwo"},
        TextCase{"note_in_a_table_cell", "",
                 "\\intbl A{\\super\\chftn}{\\footnote\\chftn N\\par}\\cell B\\cell\\row",
                 u"A1\tB\nNotas / Notes\n1. N"},
        TextCase{"number_mark_without_a_note_shows_nothing", "", "a{\\super\\chftn}b\\par", u"ab"},
        TextCase{"separator_groups_stay_skipped", "{\\*\\ftnsep\\chftnsep}{\\*\\aftnsep\\chftnsep}",
                 "{\\header \\chftn page}a\\par", u"a"}),
    ::testing::PrintToStringParamName());

INSTANTIATE_TEST_SUITE_P(
    Boxes, RtfNotesText,
    ::testing::Values(
        TextCase{"shape_text_before_the_paragraph_that_anchors_it", "",
                 "Before.\\par Anchor {\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv "
                 "202}}{\\shptxt Box one\\par Box two\\par}}{\\shprslt{\\*\\do\\dptxbx{"
                 "\\dptxbxtext Box one}}}}text.\\par",
                 u"Before.\nBox one\nBox two\nAnchor text."},
        TextCase{"shape_without_text_adds_nothing", "",
                 "a{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 1}}}}b\\par", u"ab"},
        TextCase{"picture_shape_stays_skipped", "",
                 "a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 89504e47}}}}}b\\par",
                 u"ab"},
        TextCase{"drawing_object_text_box", "",
                 "a{\\*\\do\\dobxcolumn\\dptxbx{\\dptxbxtext\\pard Old box\\par}\\dpx0}b\\par",
                 u"Old box\nab"},
        TextCase{"libreoffice_box_text_in_a_property_group", "",
                 "x{\\shp{\\*\\shpinst{\\sp{\\sn fillType}{\\sv 0}}{\\sp{\r\nBoxed}\r\n\\par "
                 "\\pard}}}y\\par",
                 u"Boxed\nxy"},
        TextCase{"shapes_in_a_group_shape_make_one_box", "",
                 "{\\*\\shpgrp{\\shp{\\*\\shpinst{\\shptxt A\\par}}}{\\shp{\\*\\shpinst{\\shptxt "
                 "B\\par}}}}x\\par",
                 u"A\nB\nx"},
        TextCase{"box_in_a_note_opens_the_note", "",
                 "x{\\super\\chftn}{\\footnote\\chftn N{\\shp{\\*\\shpinst{\\shptxt "
                 "Boxed\\par}}} end}\\par",
                 u"x1\nNotas / Notes\n1. Boxed\nN end"}),
    ::testing::PrintToStringParamName());

TEST(RtfNotes, KeepTheirFormatAndWhereTheyAreCited) {
  const Document document = ReadRtf(RtfDocument(
      "",
      "Title\\par a{\\super\\chftn}{\\footnote\\chftn\\pard\\fs20 Small {\\b bold}\\par}b\\par"));
  CharFormat super;
  super.vertical = VerticalPosition::kSuperscript;
  CharFormat small_bold = Sized(20);
  small_bold.bold = true;
  Document expected = D({P({R(u"Title")}), P({R(u"a"), R(u"1", super), R(u"b")}),
                         P({R(kNotesHeading.data(), Bold())}),
                         P({R(u"1. Small ", Sized(20)), R(u"bold", small_bold)})});
  expected.notes = {{NoteKind::kFootnote, u"1", 1, 1, 3, 1}};
  EXPECT_EQ(document, expected);
}

TEST(RtfNotes, BoxKeepsItsFormatAndNoListOrTableOfItsAnchor) {
  const Document document = ReadRtf(
      RtfDocument("",
                  "\\pard\\intbl{\\pntext\\f1\\'B7\\tab}\\ls1 A{\\shp{\\*\\shpinst{\\shptxt "
                  "\\qc{\\b Box}\\par}}}\\cell\\row"));
  EXPECT_EQ(document, D({P({R(u"Box", Bold())}, Alignment::kCenter), testing::Bullet({R(u"A")})}));
}

// Documents with notes as the reader makes them, for the writer to write.
Document NotedDocument() {
  CharFormat super;
  super.vertical = VerticalPosition::kSuperscript;
  Document document = D({P({R(u"Cited at the start")}), P({R(u"in the mid"), R(u"dle", Bold())}),
                         P({R(u"at the end")})});
  std::vector<FoundNote> notes(4);
  notes[0] = {NoteKind::kEndnote, u"i", 0, 0, {P({R(u"An endnote")})}};
  notes[1] = {NoteKind::kFootnote, u"1", 1, 8, {P({R(u"Two")}), P({R(u"paragraphs", Bold())})}};
  notes[2] = {NoteKind::kFootnote, u"\u2020", 1, 8, {P({R(u"Same place, own mark")})}};
  notes[3] = {NoteKind::kFootnote, u"{2}", 2, 10, {P({R(u"At the paragraph end")})}};
  AppendNotes(document, std::move(notes));
  return document;
}

TEST(RtfNotes, WriterOutputReadsBackWithItsNotes) {
  const Document document = NotedDocument();
  ASSERT_TRUE(NotesFit(document));
  EXPECT_EQ(ReadRtf(WriteRtf(document)), document);
}

TEST(RtfNotes, WriterDescribesTheNotesInGroupsTheConverterSkips) {
  Document document = D({P({R(u"ab")})});
  AppendNotes(document, {{NoteKind::kFootnote, u"1", 0, 1, {P({R(u"Note")})}},
                         {NoteKind::kEndnote, u"i", 0, 2, {P({R(u"End")}), P({R(u"more")})}}});
  const std::string rtf = WriteRtf(document);
  const std::string body = rtf.substr(rtf.find("\\viewkind4"));
  EXPECT_EQ(
      body,
      "\\viewkind4\\uc1\\pard\\plain\\f0 a{\\*\\quilletnoteref1}b{\\*\\quilletnoteref2}\\par\r\n"
      "{\\*\\quilletnotes}\\b Notas / Notes\\par\r\n"
      "{\\*\\quilletnote 1}\\b0 1. Note\\par\r\n"
      "{\\*\\quilletnote\\quilletendnote i}i. End\\par\r\n"
      "{\\*\\quilletnotemore}more\\par\r\n"
      "}\r\n");
}

TEST(RtfNotes, ASliceHasNoNotesAndWritesNone) {
  const Document slice = NotedDocument().Slice(0, 1000);
  EXPECT_TRUE(slice.notes.empty());
  EXPECT_EQ(WriteRtf(slice).find("quillet"), std::string::npos);
}

TEST(RtfNotes, NotesReadFromTheTextJoinASectionThatEndsTheDocument) {
  const std::string rtf = WriteRtf(NotedDocument());
  const std::string first = "Cited at the start";
  std::string more = rtf;
  more.insert(more.find(first) + first.size(), "{\\super\\chftn}{\\footnote\\chftn Added.}");
  const Document document = ReadRtf(more);
  ASSERT_TRUE(NotesFit(document));
  ASSERT_EQ(document.notes.size(), 5u);
  EXPECT_EQ(document.notes.back().first_paragraph, document.paragraphs.size() - 1);
  EXPECT_EQ(document.paragraphs.size(), NotedDocument().paragraphs.size() + 1);
}

TEST(RtfNotes, NotesReadFromTheTextAfterTheSectionStartANewOne) {
  const std::string rtf = WriteRtf(NotedDocument());
  const std::string more =
      rtf.substr(0, rtf.rfind('}')) + "\\pard New{\\super\\chftn}{\\footnote\\chftn Added.}\\par}";
  const Document document = ReadRtf(more);
  ASSERT_TRUE(NotesFit(document));
  ASSERT_EQ(document.notes.size(), 1u);
  EXPECT_EQ(document.notes.front().reference_paragraph, NotedDocument().paragraphs.size());
  EXPECT_EQ(document.paragraphs.size(), NotedDocument().paragraphs.size() + 3);
}

TEST(RtfNotes, NoteCitedInTheNotesSectionStartsANewOne) {
  const std::string rtf = WriteRtf(NotedDocument());
  std::string more = rtf;
  more.insert(more.find("An endnote"), "{\\super\\chftn}{\\footnote\\chftn Inner.}");
  const Document document = ReadRtf(more);
  ASSERT_TRUE(NotesFit(document));
  ASSERT_EQ(document.notes.size(), 1u);
  EXPECT_EQ(document.paragraphs.size(), NotedDocument().paragraphs.size() + 2);
}

// Our own groups saying something other than a notes section: the knowledge
// goes, the text stays.
struct OwnGroupsCase {
  const char* name;
  std::string body;
};

void PrintTo(const OwnGroupsCase& row, std::ostream* out) {
  *out << row.name;
}

class RtfOwnNoteGroups : public ::testing::TestWithParam<OwnGroupsCase> {};

TEST_P(RtfOwnNoteGroups, ThatDoNotFitLeaveTheTextWithoutNotes) {
  const Document document = ReadRtf(RtfDocument("", GetParam().body));
  EXPECT_TRUE(document.notes.empty());
  std::u16string text = document.PlainText();
  EXPECT_EQ(text.find(u"quillet"), std::u16string::npos) << ToUtf8(text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfOwnNoteGroups,
    ::testing::Values(
        OwnGroupsCase{"reference_to_a_missing_note",
                      "a{\\*\\quilletnoteref2}1\\par{\\*\\quilletnotes}N\\par{\\*\\quilletnote "
                      "1}1. x\\par"},
        OwnGroupsCase{"note_never_cited",
                      "a\\par{\\*\\quilletnotes}N\\par{\\*\\quilletnote 1}x\\par"},
        OwnGroupsCase{"note_cited_twice",
                      "a{\\*\\quilletnoteref1}{\\*\\quilletnoteref1}\\par{\\*\\quilletnotes}N\\par{"
                      "\\*\\quilletnote 1}x\\par"},
        OwnGroupsCase{"no_heading", "a{\\*\\quilletnoteref1}\\par{\\*\\quilletnote 1}x\\par"},
        OwnGroupsCase{"gap_in_the_section",
                      "a{\\*\\quilletnoteref1}\\par{\\*\\quilletnotes}N\\par gap\\par{\\*"
                      "\\quilletnote 1}x\\par"},
        OwnGroupsCase{"more_before_any_note",
                      "a\\par{\\*\\quilletnotes}N\\par{\\*\\quilletnotemore}x\\par"},
        OwnGroupsCase{"cited_in_the_section",
                      "a\\par{\\*\\quilletnotes}N\\par{\\*\\quilletnote 1}x{\\*\\quilletnoteref1}"
                      "\\par"},
        OwnGroupsCase{
            "two_headings",
            "a{\\*\\quilletnoteref1}\\par{\\*\\quilletnotes}N\\par{\\*\\quilletnotes}N\\par"
            "{\\*\\quilletnote 1}x\\par"}),
    ::testing::PrintToStringParamName());

// Pathological inputs, each run once: the work stays linear and the output whole.
TEST(RtfNotes, ReadsFiftyThousandNotesInOneParagraph) {
  std::string body;
  for (int i = 0; i < 50000; ++i) body += "w{\\super\\chftn}{\\footnote\\chftn n}";
  const Document document = ReadRtf(RtfDocument("", body + "\\par"));
  std::size_t last_offset = 1;  // "w1w2...w49999w" before the last mark
  for (int i = 1; i < 50000; ++i) last_offset += 1 + std::to_string(i).size();
  ASSERT_EQ(document.notes.size(), 50000u);
  EXPECT_EQ(document.notes.back().mark, u"50000");
  EXPECT_EQ(document.notes.back().reference_offset, last_offset);
  EXPECT_EQ(ReadRtf(WriteRtf(document)), document);
}

TEST(RtfNotes, ReadsDeeplyNestedNotesAndShapes) {
  const std::size_t depth = 100000;
  std::string nested_notes;
  std::string nested_shapes;
  for (std::size_t i = 0; i < depth; ++i) {
    nested_notes += "{\\footnote n";
    nested_shapes += "{\\shp s";
  }
  const Document notes =
      ReadRtf(RtfDocument("", "x" + nested_notes + std::string(depth, '}') + "\\par"));
  EXPECT_EQ(notes.PlainText(), u"x1\nNotas / Notes\n1. n");
  const Document shapes =
      ReadRtf(RtfDocument("", "x" + nested_shapes + std::string(depth, '}') + "\\par"));
  EXPECT_EQ(shapes.PlainText(), u"" + std::u16string(depth, u's') + u"\nx");
}

}  // namespace
}  // namespace quillet
