// `quillet FILE` opens the window with the book loaded: the window reads a
// file the way `quillet book` does, by name and then by content.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/builder/fakes.h"

namespace quillet {
namespace {

struct Fixture {
  testing::RecordingOpener opener;
  testing::RecordingMessages messages;
  testing::FixedFolderChooser folders{std::nullopt};
  testing::FixedClipboard clipboard;
  QTemporaryDir temp;
  rtf2htmlTest window{WindowServices{&opener, &messages, &folders, &clipboard}};

  std::string Write(const QString& name, const QByteArray& bytes) {
    QFile file(temp.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return file.fileName().toStdString();
  }
};

}  // namespace

class OpenBookTest : public QObject {
  Q_OBJECT

 private slots:
  void bookFileLandsInTheBox_data();
  void bookFileLandsInTheBox();
  void unreadableFileIsReportedAndTheBoxKept();
};

void OpenBookTest::bookFileLandsInTheBox_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("rtfPiece");
  QTest::newRow("rtf") << "book.rtf" << QByteArray("{\\rtf1\\ansi {\\b Bold} text\\par second}")
                       << "Bold text\nsecond"
                       << "\\b Bold";
  QTest::newRow("plain text in UTF-8") << "book.txt" << QByteArray("Plain caf\xc3\xa9\nline two")
                                       << QString::fromUtf8("Plain café\nline two") << "caf";
  QTest::newRow("html with its own charset")
      << "book.html"
      << QByteArray(
             "<html><head><meta charset=\"windows-1252\"></head>"
             "<body><p><b>Bold</b> caf\xe9</p></body></html>")
      << QString::fromUtf8("Bold café") << "\\b Bold";
  QTest::newRow("rtf under another name, by content")
      << "book" << QByteArray("{\\rtf1 {\\i Leaning}}") << "Leaning"
      << "\\i Leaning";
  QTest::newRow("name wins over content") << "notes.TXT" << QByteArray("{\\rtf1 x}") << "{\\rtf1 x}"
                                          << "rtf1 x";
}

void OpenBookTest::bookFileLandsInTheBox() {
  QFETCH(QString, name);
  QFETCH(QByteArray, bytes);
  QFETCH(QString, text);
  QFETCH(QString, rtfPiece);
  Fixture fixture;
  QSignalSpy estimates(&fixture.window, &rtf2htmlTest::estimateUpdated);
  const std::string path = fixture.Write(name, bytes);
  QVERIFY(!path.empty());

  QVERIFY(fixture.window.LoadBookFile(path));
  QCOMPARE(QString::fromStdU16String(fixture.window.Box().Text()), text);
  QVERIFY2(fixture.window.Box().TextRTF().find(rtfPiece.toStdString()) != std::string::npos,
           fixture.window.Box().TextRTF().c_str());
  QVERIFY(fixture.messages.shown.empty());
  // The window takes the book like typing, so the size estimate follows.
  QCOMPARE(estimates.count(), 1);
}

void OpenBookTest::unreadableFileIsReportedAndTheBoxKept() {
  Fixture fixture;
  fixture.window.Box().SetPlainText("kept");
  const std::string missing = fixture.temp.filePath("missing.rtf").toStdString();

  QVERIFY(!fixture.window.LoadBookFile(missing));
  QCOMPARE(fixture.messages.shown.size(), 1u);
  QVERIFY2(fixture.messages.shown[0].find("Cannot read " + missing) != std::string::npos,
           fixture.messages.shown[0].c_str());
  QCOMPARE(QString::fromStdU16String(fixture.window.Box().Text()), QStringLiteral("kept"));
}

}  // namespace quillet

QTEST_MAIN(quillet::OpenBookTest)
#include "open_book_test.moc"
