// The Qt bridge: the document model to a QTextDocument and back without loss.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextDocument>
#include <QTextFormat>
#include <cstdlib>

#include "builder/window/qt_document_bridge.h"
#include "richtext/notes.h"

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

// The box follows the notes itself (box_notes_test.cpp): Qt's document holds
// the notes section as paragraphs, and nothing of the notes in its formats.
TEST(QtBridgeTest, NotesTravelAsParagraphsOnly) {
  Document document = NotesBook();
  ASSERT_FALSE(document.notes.empty());
  QTextDocument qt;
  DocumentToQt(document, qt);
  for (const QTextFormat& format : qt.allFormats()) {
    for (int property : format.properties().keys()) EXPECT_LT(property, QTextFormat::UserProperty);
  }
  document.notes.clear();
  EXPECT_EQ(DocumentFromQt(qt), document);
}

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  // Also when ctest lists the tests: Qt's runtime folder in the build tree, not the temporary
  // folder.
  setenv("XDG_RUNTIME_DIR", QUILLET_QT_RUNTIME_DIR, 0);
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
