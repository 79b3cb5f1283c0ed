// A failure inside any handler of the window, out of memory above all, ends in
// a message: the window goes on, and the book in the box stays as it was.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

#include "builder/window/face_button.h"
#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/builder/fakes.h"

namespace quillet {
namespace {

enum class Thrown { kOutOfMemory, kLibraryError, kAnythingElse };

// What the user should read for each kind of failure.
const char* ExpectedPiece(Thrown thrown) {
  switch (thrown) {
    case Thrown::kOutOfMemory:
      return "Not enough memory";
    case Thrown::kLibraryError:
      return "tape broken";
    case Thrown::kAnythingElse:
      return "unexpected";
  }
  return "";
}

void ThrowIfArmed(const std::optional<Thrown>& fault) {
  if (!fault) return;
  switch (*fault) {
    case Thrown::kOutOfMemory:
      throw std::bad_alloc();
    case Thrown::kLibraryError:
      throw std::runtime_error("cinta rota / tape broken");
    case Thrown::kAnythingElse:
      throw 42;
  }
}

// The desktop's stand-ins, each of which fails once armed.
class FaultyOpener : public testing::RecordingOpener {
 public:
  void Open(const std::string& path) override {
    ThrowIfArmed(fault);
    RecordingOpener::Open(path);
  }
  std::optional<Thrown> fault;
};

class FaultyFolders : public FolderChooser {
 public:
  std::optional<std::string> ChooseFolder() override {
    ThrowIfArmed(fault);
    return answer;
  }
  std::optional<std::string> answer;
  std::optional<Thrown> fault;
};

class FaultyBooks : public testing::FixedBookChooser {
 public:
  std::optional<std::string> ChooseBook() override {
    ThrowIfArmed(fault);
    return answer;
  }
  std::optional<Thrown> fault;
};

class FaultyClipboard : public testing::FixedClipboard {
 public:
  std::string Rtf() const override {
    ThrowIfArmed(fault);
    return rtf;
  }
  std::optional<Thrown> fault;
};

// Where a row's failure comes from.
enum class Seam { kOpener, kFolders, kBooks, kClipboard, kBookFile };

struct Fixture {
  FaultyOpener opener;
  testing::RecordingMessages messages;
  FaultyFolders folders;
  FaultyClipboard clipboard;
  FaultyBooks books;
  QTemporaryDir temp;
  QTemporaryDir output;
  rtf2htmlTest window{WindowServices{&opener, &messages, &folders, &clipboard, &books}};
  std::optional<Thrown> bookFileFault;

  Fixture() {
    window.Builder().tempFolder =
        QDir::toNativeSeparators(temp.path()).toStdString() + QDir::separator().toLatin1();
    folders.answer = QDir::toNativeSeparators(output.path()).toStdString();
    window.cmdDir_Click();
    window.readBook = [this](const std::string& path, const LoadOptions& options) {
      ThrowIfArmed(bookFileFault);  // on the load's worker thread
      return LoadBookFile(path, options);
    };
  }

  void Arm(Seam seam, std::optional<Thrown> thrown) {
    switch (seam) {
      case Seam::kOpener:
        opener.fault = thrown;
        break;
      case Seam::kFolders:
        folders.fault = thrown;
        break;
      case Seam::kBooks:
        books.fault = thrown;
        break;
      case Seam::kClipboard:
        clipboard.fault = thrown;
        break;
      case Seam::kBookFile:
        bookFileFault = thrown;
        break;
    }
  }

  std::string BookFile() {
    QFile file(temp.filePath(QStringLiteral("new.rtf")));
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("{\\rtf1\\ansi a new book\\par }");
    return file.fileName().toStdString();
  }
};

void Click(QWidget* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void DropBookFile(Fixture& fixture) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(fixture.BookFile()))});
  const QPoint at(30, 200);  // the window's own background
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&fixture.window, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&fixture.window, &drop);
}

struct HandlerCase {
  const char* name;
  Seam seam;
  Thrown thrown;
  void (*press)(Fixture&);
};

const HandlerCase kHandlerCases[] = {
    {"Generate, out of memory", Seam::kOpener, Thrown::kOutOfMemory,
     [](Fixture& f) { Click(f.window.cmdGO); }},
    {"Preview, out of memory", Seam::kOpener, Thrown::kOutOfMemory,
     [](Fixture& f) { Click(f.window.cmdHTML2); }},
    {"Help, out of memory", Seam::kOpener, Thrown::kOutOfMemory,
     [](Fixture& f) { Click(f.window.cmdHelp); }},
    {"Generate, a library's error", Seam::kOpener, Thrown::kLibraryError,
     [](Fixture& f) { Click(f.window.cmdGO); }},
    {"Preview, something not an exception", Seam::kOpener, Thrown::kAnythingElse,
     [](Fixture& f) { Click(f.window.cmdHTML2); }},
    {"folder chooser, out of memory", Seam::kFolders, Thrown::kOutOfMemory,
     [](Fixture& f) { Click(f.window.cmdDir); }},
    {"Ctrl+O, out of memory in the chooser", Seam::kBooks, Thrown::kOutOfMemory,
     [](Fixture& f) { QTest::keyClick(&f.window, Qt::Key_O, Qt::ControlModifier); }},
    {"paste, a library's error reading the clipboard", Seam::kClipboard, Thrown::kLibraryError,
     [](Fixture& f) { Click(f.window.cmdPegar); }},
    {"book file, a library's error on the worker", Seam::kBookFile, Thrown::kLibraryError,
     [](Fixture& f) { f.window.LoadBookFile(f.BookFile()); }},
    {"dropped book, something not an exception on the worker", Seam::kBookFile,
     Thrown::kAnythingElse, DropBookFile},
};

}  // namespace

class HandlerFailureTest : public QObject {
  Q_OBJECT

 private slots:
  void failureIsShownAndTheBoxKept_data();
  void failureIsShownAndTheBoxKept();
};

void HandlerFailureTest::failureIsShownAndTheBoxKept_data() {
  QTest::addColumn<int>("row");
  for (std::size_t row = 0; row < std::size(kHandlerCases); ++row) {
    QTest::newRow(kHandlerCases[row].name) << static_cast<int>(row);
  }
}

void HandlerFailureTest::failureIsShownAndTheBoxKept() {
  QFETCH(int, row);
  const HandlerCase& failing = kHandlerCases[row];
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.Box().SetTextRTF(
      "{\\rtf1\\ansi {\\b uno} dos tres cuatro\\par cinco seis siete ocho nueve\\par }");
  window.cboPartes->setCurrentIndex(1);
  window.Box().SetSelStart(4);
  window.Box().SetSelLength(7);
  const std::string rtf = window.Box().TextRTF();

  fixture.Arm(failing.seam, failing.thrown);
  failing.press(fixture);

  QTRY_COMPARE(fixture.messages.shown.size(), std::size_t{1});
  QVERIFY2(fixture.messages.shown[0].find(ExpectedPiece(failing.thrown)) != std::string::npos,
           fixture.messages.shown[0].c_str());
  QCOMPARE(window.Box().TextRTF(), rtf);
  QCOMPARE(window.Box().SelStart(), std::int64_t{4});
  QCOMPARE(window.Box().SelLength(), std::int64_t{7});
  QVERIFY(!window.IsRunning());
  QVERIFY(!window.tbRTF->isReadOnly());
  QVERIFY(window.cmdGO->isEnabled());

  // The window still answers once the failure is gone.
  fixture.Arm(failing.seam, std::nullopt);
  Click(window.cmdHelp);
  QCOMPARE(fixture.opener.opened.back(), window.Builder().HelpPath());
}

}  // namespace quillet

QTEST_MAIN(quillet::HandlerFailureTest)
#include "handler_failure_test.moc"
