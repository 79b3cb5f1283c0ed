// The Qt bridge: the document model to a QTextDocument and back without loss.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <cstdlib>
#include <functional>
#include <ostream>

#include "builder/window/qt_document_bridge.h"
#include "richtext/notes.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

namespace quillet {
namespace {

TEST(QtBridgeTest, DocumentSurvivesTheRoundTripThroughQt) {
  Document document;
  Paragraph& first = document.paragraphs.emplace_back();
  first.alignment = Alignment::kRight;
  CharFormat format;
  format.bold = true;
  format.size_half_points = 36;
  format.color = Color{0, 51, 153};
  format.vertical = VerticalPosition::kSuperscript;
  AppendText(first, u"¡Hola!", format);
  AppendText(first, u" mundo", CharFormat{});
  for (int i = 0; i < 2; ++i) {
    Paragraph& item = document.paragraphs.emplace_back();
    item.bullet = true;
    AppendText(item, u"punto", CharFormat{});
  }
  quillet::AppendText(document.paragraphs.emplace_back(), u"fin", CharFormat{});

  QTextDocument qt;
  DocumentToQt(document, qt);
  EXPECT_EQ(DocumentFromQt(qt), document);
}

// Two paragraphs citing a footnote of two paragraphs and an endnote, their
// marks raised, and the notes section after them.
Document NotesBook() {
  CharFormat raised;
  raised.vertical = VerticalPosition::kSuperscript;
  Document document;
  Paragraph& first = document.paragraphs.emplace_back();
  AppendText(first, u"Uno", CharFormat{});
  AppendText(first, u"1", raised);
  AppendText(first, u" dos", CharFormat{});
  Paragraph& second = document.paragraphs.emplace_back();
  AppendText(second, u"Tres", CharFormat{});
  AppendText(second, u"i", raised);
  std::vector<FoundNote> notes(2);
  notes[0] = {NoteKind::kFootnote, u"1", 0, 3, std::vector<Paragraph>(2)};
  AppendText(notes[0].paragraphs[0], u"Nota uno.", CharFormat{});
  AppendText(notes[0].paragraphs[1], u"Sigue.", CharFormat{});
  notes[1] = {NoteKind::kEndnote, u"i", 1, 4, std::vector<Paragraph>(1)};
  AppendText(notes[1].paragraphs[0], u"Nota final.", CharFormat{});
  AppendNotes(document, std::move(notes));
  return document;
}

TEST(QtBridgeTest, NotesSurviveTheRoundTripThroughQt) {
  const Document document = NotesBook();
  ASSERT_TRUE(NotesFit(document));
  QTextDocument qt;
  DocumentToQt(document, qt);
  EXPECT_EQ(DocumentFromQt(qt), document);
}

TEST(QtBridgeTest, DocumentWithoutNotesGetsNoMarks) {
  Document document = NotesBook();
  document.notes.clear();
  QTextDocument qt;
  DocumentToQt(document, qt);
  for (const QTextFormat& format : qt.allFormats()) {
    for (int property : format.properties().keys()) EXPECT_LT(property, QTextFormat::UserProperty);
  }
  EXPECT_EQ(DocumentFromQt(qt), document);
}

// An edit of the Qt document, and what it leaves of the notes: nothing, or
// the book's notes changed as `expected` says.
struct EditRow {
  const char* name;
  std::function<void(QTextDocument&)> edit;
  std::function<void(std::vector<Note>&)> expected;  // empty: the notes are dropped
};

void PrintTo(const EditRow& row, std::ostream* out) {
  *out << row.name;
}

QTextCursor At(QTextDocument& qt, int block, int offset = 0) {
  QTextCursor cursor(qt.findBlockByNumber(block));
  cursor.setPosition(cursor.position() + offset);
  return cursor;
}

const EditRow kEdits[] = {
    {"TypingBeforeACitationMovesIt", [](QTextDocument& qt) { At(qt, 0).insertText("Ya "); },
     [](std::vector<Note>& notes) { notes[0].reference_offset += 3; }},
    {"DeletingACitationDropsTheNotes", [](QTextDocument& qt) { At(qt, 0, 3).deleteChar(); },
     nullptr},
    {"DeletingTheHeadingDropsTheNotes",
     [](QTextDocument& qt) {
       QTextCursor cursor = At(qt, 2);
       cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
       cursor.removeSelectedText();
     },
     nullptr},
    {"SplittingANoteGivesItAParagraph", [](QTextDocument& qt) { At(qt, 3, 4).insertBlock(); },
     [](std::vector<Note>& notes) {
       ++notes[0].paragraph_count;
       ++notes[1].first_paragraph;
     }},
    {"SplittingAParagraphBeforeACitationMovesIt",
     [](QTextDocument& qt) { At(qt, 0, 1).insertBlock(); },
     [](std::vector<Note>& notes) {
       notes[0].reference_offset -= 1;
       for (Note& note : notes) ++note.reference_paragraph;
       for (Note& note : notes) ++note.first_paragraph;
     }},
    {"MergingTwoNotesDropsThem", [](QTextDocument& qt) { At(qt, 5).deletePreviousChar(); },
     nullptr},
    {"TextAfterTheNotesDropsThem",
     [](QTextDocument& qt) {
       QTextCursor cursor(&qt);
       cursor.movePosition(QTextCursor::End);
       cursor.insertBlock(QTextBlockFormat());
       cursor.insertText("Fin");
     },
     nullptr},
    {"CopyingACitationDropsTheNotes",
     [](QTextDocument& qt) {
       QTextCursor mark = At(qt, 0, 3);
       mark.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
       At(qt, 1).insertFragment(mark.selection());
     },
     nullptr},
    {"DeletingANoteWithItsCitationKeepsTheOther",
     [](QTextDocument& qt) {
       At(qt, 0, 3).deleteChar();
       QTextCursor note = At(qt, 2);
       note.movePosition(QTextCursor::EndOfBlock);
       note.setPosition(At(qt, 4).position(), QTextCursor::KeepAnchor);
       note.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
       note.removeSelectedText();
     },
     [](std::vector<Note>& notes) {
       notes.erase(notes.begin());
       notes[0].first_paragraph = 3;
     }},
};

class QtBridgeEdit : public ::testing::TestWithParam<EditRow> {};

TEST_P(QtBridgeEdit, LeavesNotesThatFitOrNone) {
  const Document book = NotesBook();
  QTextDocument qt;
  DocumentToQt(book, qt);
  GetParam().edit(qt);
  const Document edited = DocumentFromQt(qt);
  const QString plain = qt.toPlainText();
  EXPECT_EQ(edited.PlainText(), plain.toStdU16String());
  EXPECT_TRUE(NotesFit(edited));
  std::vector<Note> expected;
  if (GetParam().expected) {
    expected = book.notes;
    GetParam().expected(expected);
  }
  EXPECT_EQ(edited.notes, expected);
  // The box's RTF describes the same notes.
  EXPECT_EQ(ReadRtf(WriteRtf(edited)).notes, expected);
}

INSTANTIATE_TEST_SUITE_P(Edits, QtBridgeEdit, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditRow>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
