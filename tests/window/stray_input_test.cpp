// What one stray key or one drop must not do to the book in the box: replace
// the part a Generate left selected, or let the program it came from delete it.
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QToolTip>
#include <QUrl>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/window/window_fixture.h"

namespace quillet {

class StrayInputTest : public QObject {
  Q_OBJECT

 private slots:
  void firstKeyAfterGenerateClearsTheSelectionInstead_data();
  void firstKeyAfterGenerateClearsTheSelectionInstead();
  void keysThatChangeNothingLeaveTheSelection();
  void aSelectionTheUserMadeIsReplacedAsUsual();
  void theSameSelectionMadeAgainIsTheUsers();
  void altBackspaceIsNoEdit();
  void textFromAnInputMethodKeepsThePart();
  void dropsAreTakenAsCopies_data();
  void dropsAreTakenAsCopies();
};

namespace {

constexpr char kBook[] =
    "uno dos tres cuatro cinco seis siete ocho nueve diez once doce trece catorce quince";

// A window that has just generated kBook in three parts, the box focused.
struct Generated : testing::WindowFixture {
  QTemporaryDir output;
  Generated() {
    folders.answer = output.path().toStdString();
    window.cmdDir_Click();
    window.Box().SetPlainText(kBook);
    window.cboPartes->setCurrentIndex(2);
    window.cmdGO_Click();
    window.show();
    window.tbRTF->setFocus();
  }
};

}  // namespace

void StrayInputTest::firstKeyAfterGenerateClearsTheSelectionInstead_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier);
  QTest::newRow("capital letter") << int(Qt::Key_A) << int(Qt::ShiftModifier);
  QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier);
  QTest::newRow("backspace") << int(Qt::Key_Backspace) << int(Qt::NoModifier);
  QTest::newRow("delete") << int(Qt::Key_Delete) << int(Qt::NoModifier);
  QTest::newRow("return") << int(Qt::Key_Return) << int(Qt::NoModifier);
  QTest::newRow("tab") << int(Qt::Key_Tab) << int(Qt::NoModifier);
  QTest::newRow("cut") << int(Qt::Key_X) << int(Qt::ControlModifier);
  QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier);
}

void StrayInputTest::firstKeyAfterGenerateClearsTheSelectionInstead() {
  QFETCH(int, key);
  QFETCH(int, modifiers);
  Generated run;
  QtRichTextBox& box = run.window.Box();
  const std::u16string before = box.Text();
  QVERIFY(box.SelLength() > 0);
  const std::int64_t partEnd = box.SelStart() + box.SelLength();

  QTest::keyClick(run.window.tbRTF, static_cast<Qt::Key>(key),
                  static_cast<Qt::KeyboardModifiers>(modifiers));
  QCOMPARE(box.Text(), before);
  QCOMPARE(box.SelLength(), 0);
  QCOMPARE(box.SelStart(), partEnd);
  QCOMPARE(QToolTip::text(), QString::fromUtf8(kSelectionKeptCaption));

  // The warning given, the next key does what it always does.
  QTest::keyClick(run.window.tbRTF, Qt::Key_Z);
  QCOMPARE(box.Text().size(), before.size() + 1);
}

void StrayInputTest::keysThatChangeNothingLeaveTheSelection() {
  Generated run;
  QtRichTextBox& box = run.window.Box();
  const std::int64_t start = box.SelStart();
  const std::int64_t length = box.SelLength();
  QTest::keyClick(run.window.tbRTF, Qt::Key_C, Qt::ControlModifier);
  QTest::keyClick(run.window.tbRTF, Qt::Key_Shift);
  QCOMPARE(box.SelStart(), start);
  QCOMPARE(box.SelLength(), length);
  QTest::keyClick(run.window.tbRTF, Qt::Key_A);
  QCOMPARE(box.SelLength(), 0);  // still guarded until a key would replace it
}

void StrayInputTest::aSelectionTheUserMadeIsReplacedAsUsual() {
  Generated run;
  QtRichTextBox& box = run.window.Box();
  box.SetSelStart(0);
  box.SetSelLength(3);  // "uno"
  QTest::keyClick(run.window.tbRTF, Qt::Key_X);
  QCOMPARE(box.Text().substr(0, 4), u"x do");
}

void StrayInputTest::theSameSelectionMadeAgainIsTheUsers() {
  Generated run;
  QtRichTextBox& box = run.window.Box();
  const std::int64_t start = box.SelStart();
  const std::int64_t length = box.SelLength();
  box.SetSelStart(0);
  box.SetSelStart(start);
  box.SetSelLength(length);
  const std::u16string before = box.Text();
  QTest::keyClick(run.window.tbRTF, Qt::Key_X);
  QCOMPARE(box.Text().size(), before.size() - static_cast<std::size_t>(length) + 1);
}

void StrayInputTest::altBackspaceIsNoEdit() {
  Generated run;
  QtRichTextBox& box = run.window.Box();
  const std::int64_t length = box.SelLength();
  QTest::keyClick(run.window.tbRTF, Qt::Key_Backspace, Qt::AltModifier);
  QCOMPARE(box.SelLength(), length);
}

void StrayInputTest::textFromAnInputMethodKeepsThePart() {
  Generated run;
  QtRichTextBox& box = run.window.Box();
  const std::u16string before = box.Text();
  QInputMethodEvent accent;
  accent.setCommitString(QStringLiteral("é"));
  QCoreApplication::sendEvent(run.window.tbRTF, &accent);
  QCOMPARE(box.Text(), before);
  QCOMPARE(box.SelLength(), 0);
}

void StrayInputTest::dropsAreTakenAsCopies_data() {
  QTest::addColumn<bool>("file");
  QTest::addColumn<bool>("onWindow");
  QTest::newRow("file on the box") << true << false;
  QTest::newRow("file on the window") << true << true;
  QTest::newRow("text from another program") << false << false;
}

void StrayInputTest::dropsAreTakenAsCopies() {
  QFETCH(bool, file);
  QFETCH(bool, onWindow);
  testing::WindowFixture fixture;
  fixture.window.show();
  QTemporaryDir folder;
  const QString book = folder.filePath(QStringLiteral("book.txt"));
  {
    QFile out(book);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("dropped words");
  }
  QMimeData data;
  if (file) {
    data.setUrls({QUrl::fromLocalFile(book)});
  } else {
    data.setText(QStringLiteral("dropped words"));
  }
  QWidget* target = onWindow ? static_cast<QWidget*>(&fixture.window)
                             : static_cast<QWidget*>(fixture.window.tbRTF->viewport());
  const QPointF at(5, 5);
  // Shift asks for a move, as a file manager's drag does when told to.
  QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::ShiftModifier);
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
  QCOMPARE(drop.proposedAction(), Qt::MoveAction);
  QCoreApplication::sendEvent(target, &drop);
  QVERIFY(drop.isAccepted());
  QCOMPARE(drop.dropAction(), Qt::CopyAction);
  QTRY_VERIFY(fixture.window.Box().Text().find(u"dropped words") != std::u16string::npos);
}

}  // namespace quillet

QTEST_MAIN(quillet::StrayInputTest)
#include "stray_input_test.moc"
