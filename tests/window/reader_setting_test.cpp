// The window's reader-mode setting: where it sits, what the part list and the
// estimate show while it is on, what Generate does with it, and that it is
// remembered between runs (in a settings folder of the test's own).
#include "builder/window/reader_setting.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "builder/text_rules.h"
#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "tests/window/temp_settings.h"
#include "tests/window/window_fixture.h"

namespace quillet {
namespace {

struct Fixture : testing::WindowFixture {
  static std::string Folder(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString() + QDir::separator().toLatin1();
  }
};

// About 260 KB of text in paragraphs: three pages of 100 KB.
std::string LongBook() {
  std::string text;
  for (int paragraph = 0; paragraph < 2'000; ++paragraph) {
    text += "Paragraph " + std::to_string(paragraph) +
            " of a long book, with words enough to fill a line or two of the "
            "handheld's little screen.\n";
  }
  return text;
}

// What the builder counts for the window's book and setting.
int ReaderPartsOf(rtf2htmlTest& window) {
  BookRequest request;
  request.reader = window.cmdLector->Mode();
  return window.Builder().CountReaderParts(request).value;
}

QAction* BudgetAction(ReaderSetting& setting, int kb) {
  for (QAction* action : setting.menu()->actions()) {
    if (action->data().toInt() == kb) return action;
  }
  return nullptr;
}

}  // namespace

class ReaderSettingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { settings_.Clear(); }
  void settingSitsInTheFramesFreeCornerOffAtFirst();
  void onItShowsTheComputedCountAndBudget();
  void offItGivesTheListBackAsItWas();
  void mouseTurnsItOn();
  void generateWritesTheReaderBookAndOpensOnlyTheIndex();
  void budgetAndModeAreRememberedBetweenRuns();

 private:
  testing::TempSettings settings_;
};

void ReaderSettingTest::settingSitsInTheFramesFreeCornerOffAtFirst() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QCOMPARE(window.cmdLector->parentWidget(), static_cast<QWidget*>(window.frmPasos));
  QCOMPARE(window.cmdLector->toolTip(), QStringLiteral("Modo lector / Reader mode"));
  QVERIFY(window.frmPasos->rect().contains(window.cmdLector->geometry()));
  for (QWidget* other : window.frmPasos->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (other == window.cmdLector) continue;
    QVERIFY2(!other->geometry().intersects(window.cmdLector->geometry()),
             qPrintable(other->objectName()));
  }
  QVERIFY(!window.cmdLector->IsOn());
  QVERIFY(window.cboPartes->isEnabled());
  QCOMPARE(window.lblKB->text().toStdString(), EstimateText(window.Box().TextRTF().size(), 1));
}

void ReaderSettingTest::onItShowsTheComputedCountAndBudget() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.Box().SetPlainText(LongBook());
  window.cmdLector->SetOn(true);
  const int parts = ReaderPartsOf(window);
  QCOMPARE(parts, 3);
  QCOMPARE(window.cboPartes->currentText(), QStringLiteral("3"));
  QVERIFY(!window.cboPartes->isEnabled());
  QCOMPARE(window.lblKB->text(), QStringLiteral("Aprox: 3 partes de 100 Kb"));
  // A smaller budget, chosen from the menu, needs more parts.
  BudgetAction(*window.cmdLector, 50)->trigger();
  const int more = ReaderPartsOf(window);
  QVERIFY(more > parts);
  QCOMPARE(window.lblKB->text(), QStringLiteral("Aprox: %1 partes de 50 Kb").arg(more));
  QCOMPARE(window.cboPartes->currentText(), QString::number(more));
}

void ReaderSettingTest::offItGivesTheListBackAsItWas() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.Box().SetPlainText(LongBook());
  window.cboPartes->setCurrentIndex(4);
  window.cmdLector->SetOn(true);
  window.cmdLector->SetOn(false);
  QVERIFY(window.cboPartes->isEnabled());
  QCOMPARE(window.cboPartes->currentText(), QStringLiteral("5"));
  QCOMPARE(window.cboPartes->count(), 99);
  QCOMPARE(window.PartCount, 5);
  QCOMPARE(window.lblKB->text().toStdString(), EstimateText(window.Box().TextRTF().size(), 5));
}

void ReaderSettingTest::mouseTurnsItOn() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  // The left of the button toggles; its arrow opens the menu.
  QTest::mouseClick(window.cmdLector, Qt::LeftButton, {},
                    QPoint(8, window.cmdLector->height() / 2));
  QVERIFY(window.cmdLector->IsOn());
  QCOMPARE(window.lblKB->text(), QStringLiteral("Aprox: 1 parte de 100 Kb"));
}

void ReaderSettingTest::generateWritesTheReaderBookAndOpensOnlyTheIndex() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.folders.answer = QDir::toNativeSeparators(output.path()).toStdString();
  window.cmdDir_Click();
  window.Box().SetPlainText(LongBook());
  window.cmdLector->SetOn(true);
  window.cmdGO_Click();

  const std::string folder = Fixture::Folder(output.path());
  QCOMPARE(fixture.opener.opened, std::vector<std::string>{folder + "Rerud.html"});
  QVERIFY(fixture.messages.shown.empty());
  for (const char* name : {"Rerud01.html", "Rerud02.html", "Rerud03.html"}) {
    QFile page(QString::fromStdString(folder + name));
    QVERIFY2(page.exists(), name);
    QVERIFY(page.size() <= 100 * 1024);
  }
  QVERIFY(!QFile::exists(QString::fromStdString(folder + "Rerud04.html")));
}

void ReaderSettingTest::budgetAndModeAreRememberedBetweenRuns() {
  {
    Fixture first;
    BudgetAction(*first.window.cmdLector, 200)->trigger();
    QVERIFY(first.window.cmdLector->IsOn());
  }
  Fixture second;
  QVERIFY(second.window.cmdLector->IsOn());
  QCOMPARE(second.window.cmdLector->MaxKb(), 200);
  QVERIFY(!second.window.cboPartes->isEnabled());
  second.window.cmdLector->SetOn(false);
  Fixture third;
  QVERIFY(!third.window.cmdLector->IsOn());
  QCOMPARE(third.window.cmdLector->MaxKb(), 200);
}

}  // namespace quillet

QTEST_MAIN(quillet::ReaderSettingTest)
#include "reader_setting_test.moc"
