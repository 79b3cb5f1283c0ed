// The Qt input box through the engine's RichTextBox interface, and its
// keyboard paste.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTest>

#include "builder/window/qt_document_bridge.h"
#include "builder/window/qt_rich_text_box.h"
#include "richtext/document.h"
#include "richtext/rtf_reader.h"

namespace quillet {
namespace {

struct Box {
  RtfTextEdit edit;
  QtRichTextBox box{edit};
  int changes = 0;
  Box() {
    box.SetChangeHandler([this] { ++changes; });
  }
  Document Model() const { return ReadRtf(box.TextRTF()); }
};

// Every format the converter understands, one run or paragraph each.
constexpr const char* kFormattedRtf =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;}"
    "\\pard {\\b B}{\\i I}{\\ul U}{\\strike S}{\\super P}{\\sub D}{\\cf1 C}{\\fs40 Z}\\par"
    "\\pard\\qc centred\\par\\pard\\qr right\\par"
    "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\pard\\fi-360\\li720 item\\par }";

void CheckFormats(const Document& document) {
  QCOMPARE(document.paragraphs.size(), std::size_t{4});
  const RunList runs = document.paragraphs[0].Runs();
  QCOMPARE(runs.size(), std::size_t{8});
  QVERIFY(runs[0].format.bold);
  QVERIFY(runs[1].format.italic);
  QVERIFY(runs[2].format.underline);
  QVERIFY(runs[3].format.strike);
  QCOMPARE(runs[4].format.vertical, VerticalPosition::kSuperscript);
  QCOMPARE(runs[5].format.vertical, VerticalPosition::kSubscript);
  QVERIFY(runs[6].format.color == (Color{255, 0, 0}));
  QCOMPARE(runs[7].format.size_half_points, 40);
  QCOMPARE(document.paragraphs[1].alignment, Alignment::kCenter);
  QCOMPARE(document.paragraphs[2].alignment, Alignment::kRight);
  QVERIFY(document.paragraphs[3].bullet);
}

// A book with footnotes and an endnote, as its RTF file holds it.
QByteArray NotesBookRtf() {
  QFile file(QStringLiteral(QUILLET_NOTES_DATA "/libreoffice_from_odt.rtf"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class RichTextBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void writingRtfGoesThroughTheReader();
  void writingEmptyRtfEmptiesTheBoxAndRaisesChange();
  void writingRtfRaisesChangeOnce();
  void paragraphBreaksCountOnePosition();
  void selectionPastTheEndIsEmpty();
  void selectionStopsAtTheEnd();
  void selectionRemainsTheBoxSelection();
  void selectedRtfStartsWithTheRunsFormatting();
  void emptySelectionHasNoRtf();
  void typingRaisesChange();
  void keyboardPasteTakesRtfUnderEveryName_data();
  void keyboardPasteTakesRtfUnderEveryName();
  void keyboardPasteKeepsEveryFormat();
  void keyboardPasteOfHtmlKeepsItsFormatting();
  void keyboardPasteOfPlainTextInsertsAtTheCursor();
  void writtenNotesComeBackInTheRtf();
  void keyboardPasteAtTheCursorKeepsTheNotes();
  void bulletIsDrawnWithoutTheTextsLines_data();
  void bulletIsDrawnWithoutTheTextsLines();
};

void RichTextBoxTest::writingRtfGoesThroughTheReader() {
  Box box;
  box.box.SetTextRTF(kFormattedRtf);
  CheckFormats(box.Model());
  QCOMPARE(box.box.Text(), std::u16string(u"BIUSPDCZ\ncentred\nright\nitem"));
}

void RichTextBoxTest::writingEmptyRtfEmptiesTheBoxAndRaisesChange() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 text\\par }");
  box.changes = 0;
  box.box.SetTextRTF("");
  QVERIFY(box.box.Text().empty());
  QVERIFY(box.edit.toPlainText().isEmpty());
  QCOMPARE(box.changes, 1);
}

void RichTextBoxTest::writingRtfRaisesChangeOnce() {
  Box box;
  box.box.SetTextRTF(kFormattedRtf);
  QCOMPARE(box.changes, 1);
}

void RichTextBoxTest::paragraphBreaksCountOnePosition() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 ab\\par cd\\par }");
  QCOMPARE(box.box.Text(), std::u16string(u"ab\ncd"));
  box.box.SetSelStart(3);
  box.box.SetSelLength(2);
  QCOMPARE(box.box.SelText(), std::u16string(u"cd"));
}

void RichTextBoxTest::selectionPastTheEndIsEmpty() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 abc}");
  box.box.SetSelStart(100);
  box.box.SetSelLength(1);
  QCOMPARE(box.box.SelStart(), 3);
  QVERIFY(box.box.SelText().empty());
}

void RichTextBoxTest::selectionStopsAtTheEnd() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 abcdef}");
  box.box.SetSelStart(4);
  box.box.SetSelLength(50);
  QCOMPARE(box.box.SelLength(), 2);
  QCOMPARE(box.box.SelText(), std::u16string(u"ef"));
}

void RichTextBoxTest::selectionRemainsTheBoxSelection() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 abcdef}");
  box.box.SetSelStart(1);
  box.box.SetSelLength(3);
  QCOMPARE(box.edit.textCursor().selectedText(), QStringLiteral("bcd"));
}

void RichTextBoxTest::selectedRtfStartsWithTheRunsFormatting() {
  Box box;
  box.box.SetTextRTF(
      "{\\rtf1\\ansi{\\colortbl ;\\red0\\green0\\blue255;}plain {\\b\\cf1 bold blue} end}");
  box.box.SetSelStart(8);
  box.box.SetSelLength(6);
  const Document selected = ReadRtf(box.box.SelRTF());
  QCOMPARE(selected.PlainText(), std::u16string(u"ld blu"));
  const CharFormat& format = selected.paragraphs.at(0).Runs().at(0).format;
  QVERIFY(format.bold);
  QVERIFY(format.color == (Color{0, 0, 255}));
  QVERIFY(box.box.SelRTF().find("\\colortbl") != std::string::npos);
}

void RichTextBoxTest::emptySelectionHasNoRtf() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 abc}");
  box.box.SetSelStart(1);
  box.box.SetSelLength(0);
  QVERIFY(box.box.SelRTF().empty());
}

void RichTextBoxTest::typingRaisesChange() {
  Box box;
  QTest::keyClicks(&box.edit, QStringLiteral("hi"));
  QCOMPARE(box.changes, 2);
  QCOMPARE(box.box.Text(), std::u16string(u"hi"));
}

void RichTextBoxTest::keyboardPasteTakesRtfUnderEveryName_data() {
  QTest::addColumn<QString>("format");
  QTest::newRow("text/rtf") << QStringLiteral("text/rtf");
  QTest::newRow("text/richtext") << QStringLiteral("text/richtext");
  QTest::newRow("application/rtf") << QStringLiteral("application/rtf");
  QTest::newRow("Windows") << QStringLiteral(
      "application/x-qt-windows-mime;value=\"Rich Text Format\"");
}

void RichTextBoxTest::keyboardPasteTakesRtfUnderEveryName() {
  QFETCH(QString, format);
  Box box;
  auto* data = new QMimeData;
  // Windows ends its clipboard data with a NUL.
  data->setData(format, QByteArray("{\\rtf1\\ansi {\\b rich}}", 22) + '\0');
  data->setText(QStringLiteral("plain"));
  QApplication::clipboard()->setMimeData(data);
  box.edit.paste();
  QCOMPARE(box.box.Text(), std::u16string(u"rich"));
  QVERIFY(box.Model().paragraphs.at(0).Runs().at(0).format.bold);
}

void RichTextBoxTest::keyboardPasteKeepsEveryFormat() {
  Box box;
  auto* data = new QMimeData;
  data->setData(QStringLiteral("text/rtf"), QByteArray(kFormattedRtf));
  QApplication::clipboard()->setMimeData(data);
  box.edit.paste();
  CheckFormats(box.Model());
}

void RichTextBoxTest::keyboardPasteOfHtmlKeepsItsFormatting() {
  Box box;
  auto* data = new QMimeData;
  data->setHtml(
      QStringLiteral("<p align=\"right\"><b>b</b><i>i</i><u>u</u><s>s</s><sup>p</sup><sub>d</sub>"
                     "<span style=\"color:#00ff00\">c</span></p><ul><li>item</li></ul>"));
  QApplication::clipboard()->setMimeData(data);
  box.edit.paste();
  const Document document = box.Model();
  QCOMPARE(document.PlainText(), std::u16string(u"biuspdc\nitem"));
  const RunList runs = document.paragraphs.at(0).Runs();
  QCOMPARE(document.paragraphs[0].alignment, Alignment::kRight);
  QVERIFY(runs.at(0).format.bold);
  QVERIFY(runs.at(1).format.italic);
  QVERIFY(runs.at(2).format.underline);
  QVERIFY(runs.at(3).format.strike);
  QCOMPARE(runs.at(4).format.vertical, VerticalPosition::kSuperscript);
  QCOMPARE(runs.at(5).format.vertical, VerticalPosition::kSubscript);
  QVERIFY(runs.at(6).format.color == (Color{0, 255, 0}));
  QVERIFY(document.paragraphs.at(1).bullet);
}

void RichTextBoxTest::keyboardPasteOfPlainTextInsertsAtTheCursor() {
  Box box;
  box.box.SetTextRTF("{\\rtf1 ad}");
  box.box.SetSelStart(1);
  auto* data = new QMimeData;
  data->setText(QStringLiteral("bc"));
  QApplication::clipboard()->setMimeData(data);
  box.edit.paste();
  QCOMPARE(box.box.Text(), std::u16string(u"abcd"));
}

void RichTextBoxTest::writtenNotesComeBackInTheRtf() {
  Box box;
  const Document book = ReadRtf(NotesBookRtf().toStdString());
  QCOMPARE(book.notes.size(), std::size_t{5});
  box.box.SetTextRTF(NotesBookRtf().toStdString());
  QCOMPARE(box.Model(), book);
  QCOMPARE(box.box.RtfLength(), box.box.TextRTF().size());
}

void RichTextBoxTest::keyboardPasteAtTheCursorKeepsTheNotes() {
  Box box;
  box.box.SetPlainText("Antes ");
  box.edit.moveCursor(QTextCursor::End);
  auto* data = new QMimeData;
  data->setData(QStringLiteral("text/rtf"), NotesBookRtf());
  QApplication::clipboard()->setMimeData(data);
  box.edit.paste();

  const Document book = ReadRtf(NotesBookRtf().toStdString());
  QCOMPARE(box.box.Text(), u"Antes " + book.PlainText());
  std::vector<Note> expected = book.notes;
  for (Note& note : expected) {
    if (note.reference_paragraph == 0) note.reference_offset += 6;
  }
  QCOMPARE(box.Model().notes, expected);
}

namespace {

// The left margin of a box showing `rtf`, where a list item's bullet is drawn.
QImage BulletMargin(const char* rtf) {
  Box box;
  box.edit.resize(300, 80);
  box.box.SetTextRTF(rtf);
  box.edit.show();
  const QImage shown = box.edit.viewport()->grab().toImage();
  return shown.copy(0, 0, 10, shown.height());  // the item's text starts past it
}

}  // namespace

void RichTextBoxTest::bulletIsDrawnWithoutTheTextsLines_data() {
  QTest::addColumn<QString>("item");
  QTest::newRow("underlined") << QStringLiteral("{\\ul Item}");
  QTest::newRow("struck out") << QStringLiteral("{\\strike Item}");
}

void RichTextBoxTest::bulletIsDrawnWithoutTheTextsLines() {
  QFETCH(QString, item);
  const std::string list =
      "{\\rtf1\\ansi{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\pard\\fi-360\\li720 ";
  const std::string plain = list + "Item\\par }";
  const std::string lined = list + item.toStdString() + "\\par }";
  QCOMPARE(BulletMargin(lined.c_str()), BulletMargin(plain.c_str()));
}

}  // namespace quillet

QTEST_MAIN(quillet::RichTextBoxTest)
#include "rich_text_box_test.moc"
