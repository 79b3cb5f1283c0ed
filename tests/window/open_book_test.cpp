// Books into the window: `quillet FILE`, a file dropped on the window or the
// box, and Ctrl+O. The window reads a file the way `quillet book` does, by
// content and then by name, off the user-interface thread.
#include <signal.h>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <new>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/builder/fakes.h"

namespace quillet {
namespace {

// A clipboard whose copy runs out of memory, as a huge one can.
class ExhaustedClipboard : public testing::FixedClipboard {
 public:
  std::string Rtf() const override {
    if (exhausted) throw std::bad_alloc();
    return rtf;
  }
  bool exhausted = false;
};

struct Fixture {
  testing::RecordingOpener opener;
  testing::RecordingMessages messages;
  testing::FixedFolderChooser folders{std::nullopt};
  ExhaustedClipboard clipboard;
  testing::FixedBookChooser books;
  QTemporaryDir temp;
  rtf2htmlTest window{WindowServices{&opener, &messages, &folders, &clipboard, &books}};

  std::string Write(const QString& name, const QByteArray& bytes) {
    QFile file(temp.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return {};
    return file.fileName().toStdString();
  }
  QString BoxText() { return QString::fromStdU16String(window.Box().Text()); }
};

}  // namespace

class OpenBookTest : public QObject {
  Q_OBJECT

 private slots:
  void bookFileLandsInTheBox_data();
  void bookFileLandsInTheBox();
  void unreadableFileIsReportedAndTheBoxKept();
  void droppedFileLandsInTheBox_data();
  void droppedFileLandsInTheBox();
  void controlOOpensTheChosenBook();
  void cancellingASlowLoadStopsItsHelper();
  void runningOutOfMemoryLeavesTheBoxAsItWas_data();
  void runningOutOfMemoryLeavesTheBoxAsItWas();
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
  QTest::newRow("content wins over the name")
      << "notes.TXT" << QByteArray("{\\rtf1 {\\b x}}") << "x"
      << "\\b x";
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

void OpenBookTest::droppedFileLandsInTheBox_data() {
  QTest::addColumn<bool>("onTheBox");
  QTest::newRow("on the window") << false;
  QTest::newRow("on the box") << true;
}

void OpenBookTest::droppedFileLandsInTheBox() {
  QFETCH(bool, onTheBox);
  Fixture fixture;
  fixture.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
  fixture.window.Box().SetPlainText("replaced");
  const std::string path =
      fixture.Write("dropped.html", "<h1>Cap\xc3\xadtulo</h1><p>uno <b>dos</b></p>");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QWidget* target = onTheBox ? fixture.window.tbRTF->viewport() : &fixture.window;
  // Beside the box, on the window's own background.
  const QPoint at = onTheBox ? target->rect().center() : QPoint(30, 200);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);

  QTRY_COMPARE(fixture.BoxText(), QString::fromUtf8("Capítulo\nuno dos"));
  QVERIFY(fixture.window.Box().TextRTF().find("\\b dos") != std::string::npos);
  QVERIFY(fixture.messages.shown.empty());
}

void OpenBookTest::controlOOpensTheChosenBook() {
  Fixture fixture;
  fixture.window.show();
  QVERIFY(QTest::qWaitForWindowActive(&fixture.window));
  fixture.books.answer = fixture.Write("chosen.md", "# Title\n\nSome *words*\n");
  QTest::keyClick(&fixture.window, Qt::Key_O, Qt::ControlModifier);
  QTRY_COMPARE(fixture.BoxText(), QStringLiteral("Title\nSome words"));

  // Cancelling the chooser leaves the box alone.
  fixture.books.answer.reset();
  QTest::keyClick(&fixture.window, Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(fixture.BoxText(), QStringLiteral("Title\nSome words"));
}

void OpenBookTest::cancellingASlowLoadStopsItsHelper() {
  Fixture fixture;
  fixture.window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
  fixture.window.Box().SetPlainText("kept");
  // A word processor that never finishes, and says which process it is.
  const QString pidFile = fixture.temp.filePath(QStringLiteral("helper.pid"));
  const std::string helper =
      fixture.Write("soffice", "#!/bin/sh\necho $$ > '" + pidFile.toUtf8() + "'\nexec sleep 60\n");
  QVERIFY(QFile::setPermissions(QString::fromStdString(helper),
                                QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  fixture.window.loadOptions.helper_path = fixture.temp.path().toStdString();
  QFile docx(QStringLiteral(QUILLET_FORMATS_DATA "/book.docx"));
  QVERIFY(docx.open(QIODevice::ReadOnly));
  const std::string book = fixture.Write("slow.docx", docx.readAll());

  std::optional<Qt::CursorShape> cursorAtDialog;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* progress = fixture.window.findChild<QProgressDialog*>();
    if (progress == nullptr || !progress->isVisible() || !QFile::exists(pidFile)) return;
    const QCursor* cursor = QGuiApplication::overrideCursor();
    cursorAtDialog = cursor == nullptr ? Qt::ArrowCursor : cursor->shape();
    watch.stop();
    auto* cancel = progress->findChild<QPushButton*>();
    QVERIFY(cancel != nullptr);
    QCOMPARE(cancel->text(), QStringLiteral("Cancelar / Cancel"));
    cancel->click();
  });
  watch.start(20);
  QVERIFY(!fixture.window.LoadBookFile(book));

  QCOMPARE(cursorAtDialog, std::optional<Qt::CursorShape>(Qt::WaitCursor));
  QCOMPARE(fixture.BoxText(), QStringLiteral("kept"));
  QVERIFY(fixture.messages.shown.empty());
  QVERIFY(!fixture.window.IsRunning());
  QFile pid(pidFile);
  QVERIFY(pid.open(QIODevice::ReadOnly));
  const pid_t helperPid = pid.readAll().trimmed().toInt();
  QVERIFY(helperPid > 0);
  QTRY_VERIFY_WITH_TIMEOUT(::kill(helperPid, 0) != 0, 5'000);
}

void OpenBookTest::runningOutOfMemoryLeavesTheBoxAsItWas_data() {
  QTest::addColumn<bool>("paste");
  QTest::newRow("load, on the worker") << false;
  QTest::newRow("paste, copying the clipboard") << true;
}

void OpenBookTest::runningOutOfMemoryLeavesTheBoxAsItWas() {
  QFETCH(bool, paste);
  Fixture fixture;
  fixture.window.Box().SetTextRTF("{\\rtf1\\ansi {\\b kept} as it was\\par }");
  const std::string before = fixture.window.Box().TextRTF();
  if (paste) {
    fixture.clipboard.rtf = "{\\rtf1 new}";
    fixture.clipboard.exhausted = true;
    fixture.window.cmdPegar_Click();
  } else {
    fixture.window.readBook = [](const std::string&, const LoadOptions&) -> LoadedBook {
      throw std::bad_alloc();
    };
    QVERIFY(!fixture.window.LoadBookFile(fixture.Write("new.rtf", "{\\rtf1 new}")));
  }
  QCOMPARE(fixture.window.Box().TextRTF(), before);
  QCOMPARE(fixture.messages.shown.size(), std::size_t{1});
  QVERIFY2(fixture.messages.shown[0].find("Not enough memory") != std::string::npos,
           fixture.messages.shown[0].c_str());
  QVERIFY(!fixture.window.IsRunning());
}

}  // namespace quillet

QTEST_MAIN(quillet::OpenBookTest)
#include "open_book_test.moc"
