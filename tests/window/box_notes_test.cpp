// The input box's notes through the user's edits: after each edit, the box's
// RTF has the notes moved with the text, or none when the edit broke them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <cstdlib>
#include <functional>
#include <ostream>

#include "builder/window/qt_rich_text_box.h"
#include "richtext/notes.h"
#include "richtext/rtf_reader.h"

namespace quillet {
namespace {

// Two paragraphs citing a footnote of two paragraphs and an endnote, their
// marks raised, and the notes section after them: paragraphs "Uno1 dos",
// "Tresi", the heading, "1. Nota uno.", "Sigue." and "i. Nota final.".
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

struct Box {
  RtfTextEdit edit;
  QtRichTextBox box{edit};

  int At(int block, int offset) const {
    return edit.document()->findBlockByNumber(block).position() + offset;
  }
  void Put(int block, int offset) { Select(block, offset, block, offset); }
  void Select(int fromBlock, int fromOffset, int toBlock, int toOffset) {
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(At(fromBlock, fromOffset));
    cursor.setPosition(At(toBlock, toOffset), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
  }
  void Key(Qt::Key key) { QTest::keyClick(&edit, key); }
  void Type(const char* text) { QTest::keyClicks(&edit, QString::fromUtf8(text)); }
};

// What an edit of the box holding `NotesBook` leaves of its notes: nothing,
// or the book's notes changed as `expected` says.
struct EditRow {
  const char* name;
  std::function<void(Box&)> edit;
  std::function<void(std::vector<Note>&)> expected;  // empty: the notes are dropped
};

void PrintTo(const EditRow& row, std::ostream* out) {
  *out << row.name;
}

const auto kUnchanged = [](std::vector<Note>&) {};

void DeleteCitation(Box& box) {
  box.Select(0, 3, 0, 4);
  box.Key(Qt::Key_Delete);
}

void DeleteHeading(Box& box) {
  box.Select(2, 0, 3, 0);
  box.Key(Qt::Key_Delete);
}

// The first note's citation, then its paragraphs with the break before them.
void DeleteFirstNote(Box& box) {
  DeleteCitation(box);
  box.Select(2, 13, 4, 6);
  box.Key(Qt::Key_Delete);
}

void SplitNote(Box& box) {
  box.Put(3, 4);
  box.Key(Qt::Key_Return);
}

void PasteBookAtTheStart(Box& box) {
  box.Put(0, 0);
  box.box.Paste(NotesBook());
}

const EditRow kEdits[] = {
    {"TypingBeforeACitationMovesIt",
     [](Box& box) {
       box.Put(0, 0);
       box.Type("Ya ");
     },
     [](std::vector<Note>& notes) { notes[0].reference_offset += 3; }},
    {"TypingAtTheStartOfANoteKeepsItWhole",
     [](Box& box) {
       box.Put(3, 0);
       box.Type("x");
     },
     kUnchanged},
    {"DeletingACitationDropsTheNotes", DeleteCitation, nullptr},
    {"UndoingACitationsDeletionBringsTheNotesBack",
     [](Box& box) {
       DeleteCitation(box);
       box.edit.undo();
     },
     kUnchanged},
    {"RedoingACitationsDeletionDropsTheNotesAgain",
     [](Box& box) {
       DeleteCitation(box);
       box.edit.undo();
       box.edit.redo();
     },
     nullptr},
    {"TypingAfterAnUndoStartsAnEditOfItsOwn",
     [](Box& box) {
       DeleteCitation(box);
       box.edit.undo();
       box.Put(0, 0);
       box.Type("x");
       box.edit.redo();
     },
     [](std::vector<Note>& notes) { notes[0].reference_offset += 1; }},
    {"DeletingTheHeadingDropsTheNotes", DeleteHeading, nullptr},
    {"UndoingTheHeadingsDeletionBringsTheNotesBack",
     [](Box& box) {
       DeleteHeading(box);
       box.edit.undo();
     },
     kUnchanged},
    {"MergingTheHeadingIntoTheTextDropsTheNotes",
     [](Box& box) {
       box.Put(2, 0);
       box.Key(Qt::Key_Backspace);
     },
     nullptr},
    {"SplittingANoteGivesItAParagraph", SplitNote,
     [](std::vector<Note>& notes) {
       ++notes[0].paragraph_count;
       ++notes[1].first_paragraph;
     }},
    {"SplittingANoteAtItsStartKeepsBothPiecesInIt",
     [](Box& box) {
       box.Put(3, 0);
       box.Key(Qt::Key_Return);
     },
     [](std::vector<Note>& notes) {
       ++notes[0].paragraph_count;
       ++notes[1].first_paragraph;
     }},
    {"UndoingASplitJoinsTheNoteAgain",
     [](Box& box) {
       SplitNote(box);
       box.edit.undo();
     },
     kUnchanged},
    {"SplittingAParagraphBeforeACitationMovesIt",
     [](Box& box) {
       box.Put(0, 1);
       box.Key(Qt::Key_Return);
     },
     [](std::vector<Note>& notes) {
       notes[0].reference_offset -= 1;
       for (Note& note : notes) ++note.reference_paragraph;
       for (Note& note : notes) ++note.first_paragraph;
     }},
    {"MergingTwoNotesDropsThem",
     [](Box& box) {
       box.Put(5, 0);
       box.Key(Qt::Key_Backspace);
     },
     nullptr},
    {"TypingAfterTheNotesLengthensTheLastNote",
     [](Box& box) {
       box.edit.moveCursor(QTextCursor::End);
       box.Key(Qt::Key_Return);
       box.Type("Fin");
     },
     [](std::vector<Note>& notes) { ++notes[1].paragraph_count; }},
    {"DeletingANoteWithItsCitationKeepsTheOther", DeleteFirstNote,
     [](std::vector<Note>& notes) {
       notes.erase(notes.begin());
       notes[0].first_paragraph = 3;
     }},
    {"UndoingBothDeletionsBringsBothNotesBack",
     [](Box& box) {
       DeleteFirstNote(box);
       box.edit.undo();
       box.edit.undo();
     },
     kUnchanged},
    {"CopyingACitationCopiesItsTextOnly",
     [](Box& box) {
       box.box.SetSelStart(3);
       box.box.SetSelLength(1);
       const Document copied = ReadRtf(box.box.SelRTF());
       box.Put(1, 0);
       box.box.Paste(copied);
     },
     [](std::vector<Note>& notes) { notes[1].reference_offset += 1; }},
    {"PastingABookWithNotesDropsBothBooksNotes", PasteBookAtTheStart, nullptr},
    {"UndoingThatPasteBringsTheNotesBack",
     [](Box& box) {
       PasteBookAtTheStart(box);
       box.edit.undo();
     },
     kUnchanged},
};

class BoxNotesEdit : public ::testing::TestWithParam<EditRow> {};

TEST_P(BoxNotesEdit, LeavesNotesThatFitOrNone) {
  const Document book = NotesBook();
  ASSERT_TRUE(NotesFit(book));
  Box box;
  box.box.SetDocument(book);
  GetParam().edit(box);
  const Document edited = ReadRtf(box.box.TextRTF());
  EXPECT_EQ(edited.PlainText(), box.edit.toPlainText().toStdU16String());
  std::vector<Note> expected;
  if (GetParam().expected) {
    expected = book.notes;
    GetParam().expected(expected);
  }
  EXPECT_EQ(edited.notes, expected);
}

INSTANTIATE_TEST_SUITE_P(Edits, BoxNotesEdit, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<EditRow>& info) {
                           return std::string(info.param.name);
                         });

// A book with notes pasted into a box of plain text: its notes, moved to where
// it landed, or none.
struct PasteRow {
  const char* name;
  const char* text;  // the box's text before the paste
  int block;         // where the paste goes
  int offset;
  int undos;  // then undone this many times, and redone once per `redos`
  int redos;
  bool kept;
};

void PrintTo(const PasteRow& row, std::ostream* out) {
  *out << row.name;
}

const PasteRow kPastes[] = {
    {"AtTheEndKeepsItsNotes", "Antes ", 0, 6, 0, 0, true},
    {"IntoTheLastParagraphKeepsItsNotes", "Antes\nDespu\xC3\xA9s", 1, 0, 0, 0, true},
    {"BeforeMoreParagraphsDropsItsNotes", "Antes\nDespu\xC3\xA9s", 0, 5, 0, 0, false},
    {"UndoneTakesItsNotesAway", "Antes ", 0, 6, 1, 0, false},
    {"RedoneBringsItsNotesBack", "Antes ", 0, 6, 1, 1, true},
};

class BoxNotesPaste : public ::testing::TestWithParam<PasteRow> {};

TEST_P(BoxNotesPaste, KeepsTheNotesOnlyAtTheEnd) {
  const PasteRow& row = GetParam();
  const Document book = NotesBook();
  Box box;
  box.box.SetPlainText(row.text);
  box.Put(row.block, row.offset);
  box.box.Paste(book);
  for (int i = 0; i < row.undos; ++i) box.edit.undo();
  for (int i = 0; i < row.redos; ++i) box.edit.redo();

  const Document edited = ReadRtf(box.box.TextRTF());
  EXPECT_EQ(edited.PlainText(), box.edit.toPlainText().toStdU16String());
  std::vector<Note> expected;
  if (row.kept) {
    expected = book.notes;
    for (Note& note : expected) {
      if (note.reference_paragraph == 0) note.reference_offset += row.offset;
      note.reference_paragraph += row.block;
      note.first_paragraph += row.block;
    }
  }
  EXPECT_EQ(edited.notes, expected);
}

INSTANTIATE_TEST_SUITE_P(Pastes, BoxNotesPaste, ::testing::ValuesIn(kPastes),
                         [](const ::testing::TestParamInfo<PasteRow>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  // Also when ctest lists the tests: Qt's runtime folder in the build tree, not the temporary
  // folder.
  setenv("XDG_RUNTIME_DIR", QUILLET_QT_RUNTIME_DIR, 0);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
