// The main window driven through its handlers, with the desktop replaced by
// recording stand-ins.
#include "builder/window/main_window.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

#include "builder/text_rules.h"
#include "builder/window/debug_window.h"
#include "builder/window/face_button.h"
#include "builder/window/qt_rich_text_box.h"
#include "richtext/rich_text_box.h"
#include "tests/builder/fakes.h"
#include "tests/window/temp_settings.h"
#include "tests/window/window_fixture.h"

namespace quillet {
namespace {

using testing::AnswerChooser;

// Recording stand-ins that also let a test look at the window at the moment
// a page is opened or a message is shown.
class HookedOpener : public testing::RecordingOpener {
 public:
  void Open(const std::string& path) override {
    RecordingOpener::Open(path);
    if (hook) hook();
  }
  std::function<void()> hook;
};

class HookedMessages : public testing::RecordingMessages {
 public:
  void Show(const std::string& message) override {
    if (hook) hook();
    RecordingMessages::Show(message);
  }
  std::function<void()> hook;
};

// One window over recording stand-ins, with preview and help going to a
// folder of the test's own.
struct Fixture {
  HookedOpener opener;
  HookedMessages messages;
  AnswerChooser folders;
  testing::FixedClipboard clipboard;
  QTemporaryDir temp;
  rtf2htmlTest window{WindowServices{&opener, &messages, &folders, &clipboard}};

  Fixture() { window.Builder().tempFolder = Folder(temp.path()); }

  static std::string Folder(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString() + QDir::separator().toLatin1();
  }
  void ChooseFolder(const QString& path) {
    folders.answer = QDir::toNativeSeparators(path).toStdString();
    window.cmdDir_Click();
  }
};

QString CaptionOf(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
  if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
  return {};
}

QString FileText(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLatin1(file.readAll());
}

// Sets the box to plain text whose RTF is exactly `length` characters long.
void FillToRtfLength(QtRichTextBox& box, std::size_t length) {
  std::size_t letters = 1;
  for (int attempt = 0; attempt < 5; ++attempt) {
    box.SetPlainText(std::string(letters, 'x'));
    const std::size_t now = box.TextRTF().size();
    if (now == length) return;
    letters += length - now;
  }
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { settings_.Clear(); }
  void controlsStartAtTheirPlacesWithTheirCaptions_data();
  void controlsStartAtTheirPlacesWithTheirCaptions();
  void startUpStateIsTheDocumentedOne();
  void captionsFitTheirBoxes_data();
  void captionsFitTheirBoxes();
  void estimateDividesTheRtfLengthByNineHundredAndTheParts();
  void estimateOfALargeBookWaitsForTypingToPause();
  void folderChooserAnswerEndsInASeparatorAndEnablesGenerate_data();
  void folderChooserAnswerEndsInASeparatorAndEnablesGenerate();
  void generateWritesEveryPageThroughTheOpener();
  void generateStopsAtAMissingFolder();
  void previewWritesTheWholeBookAsOnePage();
  void helpTwiceRewritesAndReopensTheSamePage();
  void helpPageHoldsEverySection_data();
  void helpPageHoldsEverySection();
  void pasteTakesRtfThenHtmlThenText_data();
  void pasteTakesRtfThenHtmlThenText();
  void pasteOfHtmlKeepsItsFormatting();
  void clearEmptiesTheBoxAndTheSourceButKeepsTheParts();
  void debugConversionPausesUntilReleased();
  void debugPauseShowsTheElevenLineDump();
  void noSecondRunStartsDuringAPause();
  void folderAndHelpDuringAPause();
  void helpDuringAGeneratePauseIsOpened();
  void generateShowsItsProgress();
  void progressEndsFullBeforePagesAreOpened();
  void debugModeCannotBeClearedByClickingAgain();
  void noProgressDialogWhileAMessageIsUp_data();
  void noProgressDialogWhileAMessageIsUp();
  void closingTheWindowDuringAPauseEndsTheProgram();
  void focusReturnsToThePressedButtonAfterARun_data();
  void focusReturnsToThePressedButtonAfterARun();
  void pressesArrivingDuringARunAreIgnored_data();
  void pressesArrivingDuringARunAreIgnored();
  void debugModeTakesNoKeyboardFocus();
  void typingAfterTheWholeBoxIsReplacedUsesTheDefaultFormat_data();
  void typingAfterTheWholeBoxIsReplacedUsesTheDefaultFormat();
  void pasteShowsTheBusyCursorWhileItWorks_data();
  void pasteShowsTheBusyCursorWhileItWorks();
  void helpButtonShowsKeyboardFocus();
  void keystrokeNearTheStartLeavesTheRestOfTheBookAlone();

 private:
  testing::TempSettings settings_;
};

void MainWindowTest::controlsStartAtTheirPlacesWithTheirCaptions_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("place");
  QTest::addColumn<QString>("caption");
  const auto row = [](const char* name, QRect place, const char* caption) {
    QTest::newRow(name) << QString::fromLatin1(name) << place << QString::fromUtf8(caption);
  };
  row("tbRTF", {112, 21, 310, 177}, "");
  row("Label2", {14, 238, 456, 22},
      "PASO 1: Pegue texto aqui / Paste any text here:  RTF, WORD, TXT, HTML, etc");
  row("cmdPegar", {461, 63, 23, 23}, "");
  row("cmdClear", {429, 94, 23, 23}, "");
  row("cmdHTML2", {490, 95, 23, 23}, "");
  row("cmdGO", {461, 124, 23, 23}, "");
  row("Shape1", {20, 61, 81, 89}, "");
  row("cmdHelp", {43, 88, 33, 36}, "Help");
  row("frmPasos", {7, 271, 522, 99},
      "PASO 2: Escoja las Opciones /Choose de Options and then press de [X] button");
  row("Label1_0", {378, 21, 78, 15}, "Nro de Partes");
  row("Label1_1", {378, 35, 78, 15}, "# parts to split");
  row("Label1_2", {7, 21, 169, 15}, "Prefijo de Nombre de Archivo(s)");
  row("Label1_3", {7, 35, 169, 15}, "Prefix. FileName. Ex. Libro01.html");
  row("Label1_4", {7, 63, 169, 15}, "Carpeta de Salida");
  row("Label1_5", {7, 77, 169, 15}, "Output Directory");
  row("txtFileName", {182, 28, 155, 19}, "Rerud");
  row("txtDir", {182, 63, 134, 19}, "Please Select/Seleccionar");
  row("cmdDir", {315, 63, 22, 19}, "...");
  row("cboPartes", {378, 63, 50, 21}, "");
  row("lblKB", {432, 69, 81, 15}, "Aprox:  Kb");
  row("rbDebug", {840, 432, 105, 17}, "Debug Mode");
}

void MainWindowTest::controlsStartAtTheirPlacesWithTheirCaptions() {
  QFETCH(QString, name);
  QFETCH(QRect, place);
  QFETCH(QString, caption);
  Fixture fixture;
  auto* control = fixture.window.findChild<QWidget*>(name);
  QVERIFY(control != nullptr);
  QCOMPARE(control->geometry(), place);
  QCOMPARE(CaptionOf(control), caption);
}

void MainWindowTest::startUpStateIsTheDocumentedOne() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QCOMPARE(window.windowTitle(), QStringLiteral("Quillet - Libros Web para PSP"));
  QCOMPARE(window.minimumSize(), QSize(533, 378));
  QCOMPARE(window.maximumSize(), QSize(533, 378));
  QCOMPARE(window.palette().color(QPalette::Window), QColor(179, 192, 199));
  QCOMPARE(window.windowIcon().availableSizes().value(0), QSize(16, 16));

  QCOMPARE(window.cboPartes->count(), 99);
  for (int i = 0; i < 99; ++i) QCOMPARE(window.cboPartes->itemText(i), QString::number(i + 1));
  QCOMPARE(window.cboPartes->currentIndex(), 0);
  QCOMPARE(window.PartCount, 1);

  QVERIFY(!window.cmdGO->isEnabled());
  for (QWidget* button : {window.cmdPegar, window.cmdClear, window.cmdHTML2, window.cmdHelp}) {
    QVERIFY(button->isEnabled());
  }
  QVERIFY(window.txtDir->isReadOnly());
  QVERIFY(!window.rbDebug->isChecked());
  QVERIFY(!window.rect().intersects(window.rbDebug->geometry()));
  QVERIFY(window.Box().Text().empty());
  QCOMPARE(window.lblKB->text(), QStringLiteral("Aprox:  Kb"));
}

void MainWindowTest::captionsFitTheirBoxes_data() {
  QTest::addColumn<QString>("name");
  for (const char* name :
       {"Label2", "Label1_0", "Label1_1", "Label1_2", "Label1_3", "Label1_4", "Label1_5", "lblKB",
        "cmdHelp", "cmdDir", "cmdPegar", "cmdClear", "cmdHTML2", "cmdGO", "frmPasos"}) {
    QTest::newRow(name) << QString::fromLatin1(name);
  }
}

void MainWindowTest::captionsFitTheirBoxes() {
  QFETCH(QString, name);
  Fixture fixture;
  // The widest estimate a book of a few megabytes gives.
  fixture.window.lblKB->setText(QStringLiteral("Aprox: 9999 Kb"));
  auto* control = fixture.window.findChild<QWidget*>(name);
  QVERIFY(control != nullptr);
  // A frame's title counts in its minimum size; the others say what they need.
  const QSize needed = qobject_cast<QGroupBox*>(control) != nullptr
                           ? QSize(control->minimumSizeHint().width(), 0)
                           : control->sizeHint();
  QVERIFY2(needed.width() <= control->width(),
           qPrintable(QStringLiteral("needs %1 of %2").arg(needed.width()).arg(control->width())));
  QVERIFY2(
      needed.height() <= control->height(),
      qPrintable(QStringLiteral("needs %1 of %2").arg(needed.height()).arg(control->height())));
}

void MainWindowTest::estimateDividesTheRtfLengthByNineHundredAndTheParts() {
  Fixture fixture;
  FillToRtfLength(fixture.window.Box(), 9000);
  QCOMPARE(fixture.window.Box().TextRTF().size(), std::size_t{9000});
  QCOMPARE(fixture.window.lblKB->text(), QStringLiteral("Aprox: 10 Kb"));
  fixture.window.cboPartes->setCurrentIndex(4);
  QCOMPARE(fixture.window.PartCount, 5);
  QCOMPARE(fixture.window.lblKB->text(), QStringLiteral("Aprox: 2 Kb"));
}

void MainWindowTest::estimateOfALargeBookWaitsForTypingToPause() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QSignalSpy updated(&window, &rtf2htmlTest::estimateUpdated);

  std::string book;
  while (book.size() < 300'000)
    book += "Una linea de un libro largo, con sus palabras y su punto.\n";
  window.Box().SetPlainText(book);
  // Nothing stale is shown while the figure waits.
  QVERIFY(window.EstimatePending());
  QVERIFY(window.lblKB->text().isEmpty());
  QTRY_VERIFY_WITH_TIMEOUT(!window.EstimatePending(), 10'000);
  const auto expected = [&window] {
    const double kilobytes = static_cast<double>(window.Box().TextRTF().size()) / 900.0;
    return QStringLiteral("Aprox: %1 Kb").arg(std::llround(kilobytes));
  };
  QCOMPARE(window.lblKB->text(), expected());

  // Typing does not serialise the book on every key.
  window.tbRTF->setFocus();
  QTest::keyClicks(window.tbRTF, QStringLiteral("abc"));
  QVERIFY(!window.Box().HasCachedRtf());
  QVERIFY(window.EstimatePending());
  updated.clear();
  QTRY_COMPARE_WITH_TIMEOUT(updated.size(), 1, 10'000);
  QCOMPARE(window.lblKB->text(), expected());
}

void MainWindowTest::folderChooserAnswerEndsInASeparatorAndEnablesGenerate_data() {
  QTest::addColumn<std::optional<std::string>>("answer");
  QTest::addColumn<QString>("shown");
  const auto native = [](const char* path) {
    return std::optional<std::string>(QDir::toNativeSeparators(path).toStdString());
  };
  QTest::newRow("cancel") << std::optional<std::string>() << QStringLiteral("d:\\");
  QTest::newRow("folder") << native("/books/novels") << QDir::toNativeSeparators("/books/novels/");
  QTest::newRow("root") << native("/") << QDir::toNativeSeparators("/");
  QTest::newRow("no path") << std::optional<std::string>("") << QString(QDir::separator());
}

void MainWindowTest::folderChooserAnswerEndsInASeparatorAndEnablesGenerate() {
  QFETCH(std::optional<std::string>, answer);
  QFETCH(QString, shown);
  Fixture fixture;
  fixture.folders.answer = answer;
  fixture.window.cmdDir_Click();
  QCOMPARE(fixture.window.txtDir->text(), shown);
  QVERIFY(fixture.window.cmdGO->isEnabled());
}

void MainWindowTest::generateWritesEveryPageThroughTheOpener() {
  Fixture fixture;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  fixture.window.Box().SetPlainText("uno dos tres cuatro cinco seis siete ocho nueve diez once");
  fixture.window.cboPartes->setCurrentIndex(2);
  fixture.window.cmdGO_Click();

  const std::string folder = Fixture::Folder(output.path());
  const std::vector<std::string> expected{folder + "Rerud01.html", folder + "Rerud02.html",
                                          folder + "Rerud03.html", folder + "Rerud.html"};
  QCOMPARE(fixture.opener.opened, expected);
  QVERIFY(fixture.messages.shown.empty());
  QVERIFY(FileText(expected[0]).contains(QStringLiteral("uno")));
  QVERIFY(FileText(expected[2]).contains(QStringLiteral("once")));
  QVERIFY(FileText(expected[3]).contains(QStringLiteral("Rerud02.html")));
  QVERIFY(!fixture.window.IsRunning());
  QVERIFY(fixture.window.cmdGO->isEnabled());
}

void MainWindowTest::generateStopsAtAMissingFolder() {
  Fixture fixture;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path() + QStringLiteral("/missing"));
  fixture.window.Box().SetPlainText("uno dos tres");
  fixture.window.cboPartes->setCurrentIndex(1);
  fixture.window.cmdGO_Click();
  QCOMPARE(fixture.messages.shown, std::vector<std::string>{std::string(kMissingFolderMessage)});
  QVERIFY(fixture.opener.opened.empty());
  QVERIFY(QDir(output.path()).isEmpty());
}

void MainWindowTest::previewWritesTheWholeBookAsOnePage() {
  Fixture fixture;
  fixture.window.Box().SetTextRTF("{\\rtf1\\ansi {\\b Hola} mundo\\par adios\\par }");
  fixture.window.cboPartes->setCurrentIndex(4);
  fixture.window.cmdHTML2_Click();
  const std::string preview = fixture.window.Builder().PreviewPath();
  QCOMPARE(fixture.opener.opened, std::vector<std::string>{preview});
  QCOMPARE(preview, Fixture::Folder(fixture.temp.path()) + "quillettemp.html");
  const QString page = FileText(preview);
  QVERIFY(page.contains(QStringLiteral("RERUD")));
  QVERIFY(page.contains(QStringLiteral("<b>Hola")));
  QVERIFY(page.contains(QStringLiteral("adios")));
  QVERIFY(!fixture.window.Builder().converter.DebugMode);
}

void MainWindowTest::helpTwiceRewritesAndReopensTheSamePage() {
  Fixture fixture;
  fixture.window.cmdHelp_Click();
  const std::string help = fixture.window.Builder().HelpPath();
  const QString first = FileText(help);
  fixture.window.cmdHelp_Click();
  QCOMPARE(fixture.opener.opened, (std::vector<std::string>{help, help}));
  QCOMPARE(FileText(help), first);
  QVERIFY(first.startsWith(fixture.window.txtHelp->toPlainText()));
  QVERIFY(fixture.window.txtHelp->isHidden());
}

void MainWindowTest::helpPageHoldsEverySection_data() {
  QTest::addColumn<QString>("piece");
  for (const char* piece : {"background-color: #333333",
                            "text-align: center",
                            "<h1>QUILLET</h1>",
                            "e-book",
                            "libro electr&oacute;nico",
                            "index file",
                            "<table",
                            "border: 2px solid",
                            "TRIANGULO",
                            "Modo lector / Reader mode",
                            "solo se abre el &iacute;ndice",
                            "opens only the index",
                            "CUADRADO",
                            "CIRCULO",
                            "EQUIS [X]",
                            "AYUDA ?",
                            "EPUB",
                            "DOCX",
                            "Ctrl+O",
                            "drop its file",
                            "chapters",
                            "background colour",
                            "suggestions",
                            "COMMON",
                            "memory card",
                            "favourite",
                            "Screenshots",
                            "data:image/png;base64,",
                            "version 1.0"}) {
    QTest::newRow(piece) << QString::fromLatin1(piece);
  }
}

void MainWindowTest::helpPageHoldsEverySection() {
  QFETCH(QString, piece);
  Fixture fixture;
  const QString page = fixture.window.txtHelp->toPlainText();
  QVERIFY(page.contains(piece));
}

void MainWindowTest::pasteTakesRtfThenHtmlThenText_data() {
  QTest::addColumn<QString>("rtf");
  QTest::addColumn<QString>("html");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("pasted");
  const QString rtf = QStringLiteral("{\\rtf1\\ansi {\\b rich}\\par }");
  QTest::newRow("rtf first") << rtf << "<b>web</b>"
                             << "plain"
                             << "rich";
  QTest::newRow("html without rtf") << ""
                                    << "<p><b>web</b> page</p>"
                                    << "plain"
                                    << "web page";
  QTest::newRow("text alone") << ""
                              << ""
                              << "plain\ntext"
                              << "plain\ntext";
  QTest::newRow("nothing empties the box") << ""
                                           << ""
                                           << ""
                                           << "";
}

void MainWindowTest::pasteTakesRtfThenHtmlThenText() {
  QFETCH(QString, rtf);
  QFETCH(QString, html);
  QFETCH(QString, text);
  QFETCH(QString, pasted);
  Fixture fixture;
  fixture.window.Box().SetPlainText(std::string(5000, 'z'));
  fixture.clipboard.rtf = rtf.toStdString();
  fixture.clipboard.html = html.toStdString();
  fixture.clipboard.text = text.toStdString();
  fixture.window.cmdPegar_Click();
  QCOMPARE(QString::fromStdU16String(fixture.window.Box().Text()), pasted);
  QCOMPARE(fixture.window.lblKB->text(),
           QString::fromStdString(
               EstimateText(static_cast<std::int64_t>(fixture.window.Box().TextRTF().size()), 1)));
}

void MainWindowTest::pasteOfHtmlKeepsItsFormatting() {
  Fixture fixture;
  fixture.clipboard.html = "<p align=\"center\"><b>bold</b> <i>italic</i></p>";
  fixture.window.cmdPegar_Click();
  const std::string rtf = fixture.window.Box().TextRTF();
  QVERIFY(rtf.find("\\qc") != std::string::npos);
  QVERIFY(rtf.find("\\b bold") != std::string::npos);
  QVERIFY(rtf.find("\\i italic") != std::string::npos);
}

void MainWindowTest::clearEmptiesTheBoxAndTheSourceButKeepsTheParts() {
  Fixture fixture;
  fixture.window.Box().SetPlainText(std::string(20'000, 'q'));
  fixture.window.cboPartes->setCurrentIndex(4);
  fixture.window.cmdHTML2_Click();
  QVERIFY(!fixture.window.Builder().converter.RtfSource.empty());
  fixture.window.cmdClear_Click();
  QVERIFY(fixture.window.Box().Text().empty());
  QVERIFY(fixture.window.Builder().converter.RtfSource.empty());
  QCOMPARE(fixture.window.PartCount, 5);
  QCOMPARE(fixture.window.lblKB->text(), QStringLiteral("Aprox:  Kb"));
}

namespace {

// What the window looked like at one debug pause.
struct PauseView {
  bool paused = false;
  bool generate = false;
  bool preview = false;
  bool paste = false;
  bool clear = false;
  QString dump;
  QString html;
};

// Records every pause, then answers it with `answer`(pause number) once the
// pause's own event loop runs.
void AnswerPauses(rtf2htmlTest& window, std::vector<PauseView>& views,
                  std::function<QAbstractButton*(std::size_t)> answer) {
  DebugWindow& debugger = window.Debugger();
  QObject::connect(
      &debugger, &DebugWindow::pauseChanged, &window,
      [&window, &views, answer, &debugger](bool paused) {
        if (!paused) return;
        views.push_back({debugger.IsPaused(), window.cmdGO->isEnabled(),
                         window.cmdHTML2->isEnabled(), window.cmdPegar->isEnabled(),
                         window.cmdClear->isEnabled(), debugger.dumpView->toPlainText(),
                         debugger.htmlView->toPlainText()});
        QAbstractButton* button = answer(views.size());
        QTimer::singleShot(0, button, [button] { button->click(); });
      });
}

constexpr const char* kFormattedBook =
    "{\\rtf1\\ansi {\\b negrita} normal {\\i cursiva} fin\\par otra linea\\par }";

}  // namespace

void MainWindowTest::debugConversionPausesUntilReleased() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetTextRTF(kFormattedBook);
  window.rbDebug->setChecked(true);
  std::vector<PauseView> views;
  DebugWindow& debugger = window.Debugger();
  AnswerPauses(window, views, [&debugger](std::size_t pause) -> QAbstractButton* {
    return pause % 2 == 1 ? debugger.continueButton : debugger.runToEndButton;
  });

  window.cmdHTML2_Click();

  // Continue lets one token go; Run to end stops pausing for the rest of the run.
  QCOMPARE(views.size(), std::size_t{2});
  for (const PauseView& view : views) {
    QVERIFY(view.paused);
    QVERIFY(!view.generate && !view.preview && !view.paste && !view.clear);
    QVERIFY(view.dump.startsWith(QStringLiteral("CurWord: ")));
  }
  QVERIFY(window.Builder().converter.DebugMode);
  QVERIFY(!window.Builder().converter.DebugContinue);
  QCOMPARE(fixture.opener.opened, std::vector<std::string>{window.Builder().PreviewPath()});
  QVERIFY(FileText(window.Builder().PreviewPath()).contains(QStringLiteral("otra linea")));
  for (QWidget* button : {window.cmdGO, window.cmdHTML2, window.cmdPegar, window.cmdClear}) {
    QVERIFY(button->isEnabled());
  }
  QVERIFY(!debugger.isVisible());

  // Debug Mode stays on: the next run pauses again.
  window.cmdGO_Click();
  QCOMPARE(views.size(), std::size_t{4});
  QCOMPARE(fixture.opener.opened.size(), std::size_t{2});
}

void MainWindowTest::debugPauseShowsTheElevenLineDump() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.Box().SetTextRTF(kFormattedBook);
  window.rbDebug->setChecked(true);
  std::vector<PauseView> views;
  DebugWindow& debugger = window.Debugger();
  AnswerPauses(window, views, [&debugger](std::size_t) { return debugger.runToEndButton; });
  window.cmdHTML2_Click();

  QCOMPARE(views.size(), std::size_t{1});
  const QStringList lines = views.front().dump.split(QLatin1Char('\n'));
  const QStringList labels{
      "CurWord: ",     "", "BegCodes: ",   "Codes: ", "", "NextBegCodes: ", "NextCodes: ", "",
      "Font String: ", "", "Before Text: "};
  QCOMPARE(lines.size(), labels.size());
  for (qsizetype i = 0; i < labels.size(); ++i) {
    if (labels[i].isEmpty()) {
      QCOMPARE(lines[i], QString());
    } else {
      QVERIFY2(lines[i].startsWith(labels[i]), qPrintable(lines[i]));
    }
  }
}

void MainWindowTest::noSecondRunStartsDuringAPause() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetTextRTF(kFormattedBook);
  window.rbDebug->setChecked(true);
  std::vector<PauseView> views;
  DebugWindow& debugger = window.Debugger();
  QObject::connect(&debugger, &DebugWindow::pauseChanged, &window, [&](bool paused) {
    if (!paused || !views.empty()) return;
    views.emplace_back();
    QTimer::singleShot(0, &debugger, [&] {
      window.cmdGO_Click();
      window.cmdHTML2_Click();
      window.cmdClear_Click();
      views.front().paused = window.IsRunning();
      debugger.runToEndButton->click();
    });
  });
  window.cmdHTML2_Click();
  QVERIFY(views.front().paused);
  QCOMPARE(fixture.opener.opened.size(), std::size_t{1});
  QVERIFY(!window.Box().Text().empty());
}

void MainWindowTest::folderAndHelpDuringAPause() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  window.Box().SetTextRTF(kFormattedBook);
  window.rbDebug->setChecked(true);
  DebugWindow& debugger = window.Debugger();
  bool answered = false;
  QObject::connect(&debugger, &DebugWindow::pauseChanged, &window, [&](bool paused) {
    if (!paused || answered) return;
    answered = true;
    QTimer::singleShot(0, &debugger, [&] {
      fixture.ChooseFolder(output.path());  // the first folder ever chosen
      window.cmdHelp_Click();
      debugger.runToEndButton->click();
    });
  });
  window.cmdHTML2_Click();

  QVERIFY(answered);
  // Generate, once enabled, stays enabled: the end of the run does not undo it.
  QVERIFY(window.cmdGO->isEnabled());
  QCOMPARE(fixture.opener.opened,
           (std::vector<std::string>{window.Builder().HelpPath(), window.Builder().PreviewPath()}));
}

void MainWindowTest::helpDuringAGeneratePauseIsOpened() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetTextRTF(kFormattedBook);
  window.rbDebug->setChecked(true);
  DebugWindow& debugger = window.Debugger();
  bool generating = false;
  QObject::connect(&debugger, &DebugWindow::pauseChanged, &window, [&](bool paused) {
    if (!paused) return;
    QTimer::singleShot(0, &debugger, [&] {
      if (generating) window.cmdHelp_Click();
      debugger.runToEndButton->click();
    });
  });
  window.cmdHTML2_Click();  // the preview hands the switch to the converter
  generating = true;
  window.cmdGO_Click();

  const std::string folder = Fixture::Folder(output.path());
  QCOMPARE(fixture.opener.opened,
           (std::vector<std::string>{window.Builder().PreviewPath(), window.Builder().HelpPath(),
                                     folder + "Rerud01.html"}));
}

void MainWindowTest::generateShowsItsProgress() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetTextRTF(kFormattedBook);
  window.cboPartes->setCurrentIndex(1);
  // A paused conversion is a run that takes more than a moment.
  std::optional<int> maximum;
  DebugWindow& debugger = window.Debugger();
  QObject::connect(&debugger, &DebugWindow::pauseChanged, &window, [&](bool paused) {
    if (!paused) return;
    if (auto* progress = window.findChild<QProgressDialog*>()) maximum = progress->maximum();
    QTimer::singleShot(0, debugger.runToEndButton,
                       [&debugger] { debugger.runToEndButton->click(); });
  });
  window.rbDebug->setChecked(true);
  window.cmdHTML2_Click();  // the preview hands the switch to the converter
  QCOMPARE(maximum, std::nullopt);
  window.cmdGO_Click();
  QCOMPARE(maximum, std::optional<int>(2));
  QVERIFY(window.findChild<QProgressDialog*>() == nullptr);
}

// The bar must not stay up, dropped back to empty, while the browser is
// handed the pages.
void MainWindowTest::progressEndsFullBeforePagesAreOpened() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetPlainText("uno dos tres cuatro cinco seis siete ocho nueve diez");
  window.cboPartes->setCurrentIndex(4);
  std::vector<bool> dialogAtOpen;
  fixture.opener.hook = [&] {
    dialogAtOpen.push_back(window.findChild<QProgressDialog*>() != nullptr);
  };
  window.cmdGO_Click();
  QCOMPARE(dialogAtOpen, std::vector<bool>(6, false));
  QVERIFY(window.findChild<QProgressDialog*>() == nullptr);
}

void MainWindowTest::debugModeCannotBeClearedByClickingAgain() {
  Fixture fixture;
  fixture.window.rbDebug->click();
  QVERIFY(fixture.window.rbDebug->isChecked());
  fixture.window.rbDebug->click();
  QVERIFY(fixture.window.rbDebug->isChecked());
}

void MainWindowTest::noProgressDialogWhileAMessageIsUp_data() {
  QTest::addColumn<QString>("prefix");
  QTest::addColumn<bool>("cancelFolder");
  QTest::addColumn<bool>("secondPageBlocked");
  QTest::newRow("cancelled folder") << "Rerud" << true << false;
  QTest::newRow("prefix with a separator") << "a/b" << false << false;
  QTest::newRow("page that cannot be written") << "Rerud" << false << true;
}

void MainWindowTest::noProgressDialogWhileAMessageIsUp() {
  QFETCH(QString, prefix);
  QFETCH(bool, cancelFolder);
  QFETCH(bool, secondPageBlocked);
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  if (cancelFolder) {
    window.cmdDir_Click();  // the chooser answers nothing: "d:\"
  } else {
    fixture.ChooseFolder(output.path());
  }
  // A folder where the second page should go makes that page fail.
  if (secondPageBlocked) QVERIFY(QDir(output.path()).mkdir(QStringLiteral("Rerud02.html")));
  window.txtFileName->setText(prefix);
  window.Box().SetPlainText("uno dos tres cuatro cinco seis");
  window.cboPartes->setCurrentIndex(2);
  std::vector<bool> dialogAtMessage;
  fixture.messages.hook = [&] {
    dialogAtMessage.push_back(window.findChild<QProgressDialog*>() != nullptr);
  };
  window.cmdGO_Click();
  QCOMPARE(dialogAtMessage, std::vector<bool>{false});
}

void MainWindowTest::closingTheWindowDuringAPauseEndsTheProgram() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.Box().SetTextRTF(kFormattedBook);
  window.rbDebug->setChecked(true);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  DebugWindow& debugger = window.Debugger();
  bool closed = false;
  QObject::connect(&debugger, &DebugWindow::pauseChanged, &window, [&](bool paused) {
    if (!paused || closed) return;
    closed = true;
    QTimer::singleShot(0, &window, [&] {
      window.close();
      // What a user does next when the trace is still on screen.
      QTimer::singleShot(0, &debugger, [&] {
        if (debugger.isVisible()) debugger.runToEndButton->click();
      });
    });
  });
  QObject watchdog;
  QTimer::singleShot(20'000, &watchdog, [] { QCoreApplication::exit(2); });
  QTimer::singleShot(0, &window, [&] { window.cmdHTML2_Click(); });
  QCOMPARE(QCoreApplication::exec(), 0);

  QVERIFY(closed);
  QVERIFY(!debugger.isVisible());
  QVERIFY(!window.IsRunning());
  QCOMPARE(fixture.opener.opened, std::vector<std::string>{window.Builder().PreviewPath()});
}

void MainWindowTest::focusReturnsToThePressedButtonAfterARun_data() {
  QTest::addColumn<QString>("button");
  QTest::newRow("generate") << QStringLiteral("cmdGO");
  QTest::newRow("preview") << QStringLiteral("cmdHTML2");
}

void MainWindowTest::focusReturnsToThePressedButtonAfterARun() {
  QFETCH(QString, button);
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetPlainText("uno dos tres");
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  auto* pressed = window.findChild<QAbstractButton*>(button);
  pressed->setFocus();
  QTest::keyClick(pressed, Qt::Key_Space);
  QCOMPARE(fixture.opener.opened.size(), std::size_t{1});

  QCOMPARE(QApplication::focusWidget(), pressed);
  QVERIFY(!window.txtFileName->hasSelectedText());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
  QCOMPARE(window.txtFileName->text(), QStringLiteral("Rerud"));
}

void MainWindowTest::pressesArrivingDuringARunAreIgnored_data() {
  QTest::addColumn<bool>("doubleClick");
  QTest::newRow("double click") << true;
  QTest::newRow("click queued during the run") << false;
}

void MainWindowTest::pressesArrivingDuringARunAreIgnored() {
  QFETCH(bool, doubleClick);
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.ChooseFolder(output.path());
  window.Box().SetPlainText("uno dos tres cuatro");
  window.cboPartes->setCurrentIndex(1);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  const QPoint centre = window.cmdGO->rect().center();
  if (doubleClick) {
    // What the window system delivers for one double click.
    QTest::mouseClick(window.cmdGO, Qt::LeftButton, {}, centre);
    QTest::mouseDClick(window.cmdGO, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(window.cmdGO, Qt::LeftButton, {}, centre);
  } else {
    // A click that waits in the event queue while the first page is written.
    bool posted = false;
    fixture.opener.hook = [&] {
      if (std::exchange(posted, true)) return;
      for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            window.cmdGO, new QMouseEvent(type, QPointF(centre), window.cmdGO->mapToGlobal(centre),
                                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
      }
    };
    QTest::mouseClick(window.cmdGO, Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
  }
  QCOMPARE(fixture.opener.opened.size(), std::size_t{3});
}

void MainWindowTest::debugModeTakesNoKeyboardFocus() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.txtFileName->setFocus();
  for (int press = 0; press < 5; ++press) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  QVERIFY(!window.rbDebug->isChecked());
  // Round the whole chain, more than once.
  for (int press = 0; press < 40; ++press) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(!window.rbDebug->hasFocus());
  }
}

void MainWindowTest::typingAfterTheWholeBoxIsReplacedUsesTheDefaultFormat_data() {
  QTest::addColumn<QString>("replacement");
  QTest::newRow("clear") << QStringLiteral("clear");
  QTest::newRow("paste button") << QStringLiteral("paste button");
  QTest::newRow("keyboard paste into the empty box") << QStringLiteral("keyboard paste");
}

void MainWindowTest::typingAfterTheWholeBoxIsReplacedUsesTheDefaultFormat() {
  QFETCH(QString, replacement);
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  const std::string heading = "{\\rtf1\\ansi {\\b\\fs48 Un titulo grande}\\par }";
  const bool keyboard = replacement == QLatin1String("keyboard paste");
  if (!keyboard) {
    window.Box().SetTextRTF(heading);
    window.Box().SetSelStart(4);  // inside the heading
  }
  if (replacement == QLatin1String("clear")) {
    window.cmdClear_Click();
  } else if (!keyboard) {
    fixture.clipboard.rtf = "{\\rtf1\\ansi texto normal\\par }";
    window.cmdPegar_Click();
  } else {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), QByteArray::fromStdString(heading));
    QApplication::clipboard()->setMimeData(data);
    window.tbRTF->paste();
  }
  QTest::keyClicks(window.tbRTF, QStringLiteral("nuevo"));

  const QTextCursor typed = window.tbRTF->document()->find(QStringLiteral("nuevo"));
  QVERIFY(!typed.isNull());
  QCOMPARE(typed.charFormat().fontWeight(), int(QFont::Normal));
  QVERIFY(!typed.charFormat().hasProperty(QTextFormat::FontPointSize) ||
          typed.charFormat().fontPointSize() == 0);
}

void MainWindowTest::pasteShowsTheBusyCursorWhileItWorks_data() {
  QTest::addColumn<bool>("button");
  QTest::newRow("paste button") << true;
  QTest::newRow("keyboard paste") << false;
}

void MainWindowTest::pasteShowsTheBusyCursorWhileItWorks() {
  QFETCH(bool, button);
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  const std::string book = "{\\rtf1\\ansi {\\b Libro} pegado\\par }";
  std::vector<Qt::CursorShape> shapes;
  QObject::connect(&window, &rtf2htmlTest::estimateUpdated, &window, [&shapes] {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    shapes.push_back(cursor == nullptr ? Qt::ArrowCursor : cursor->shape());
  });
  if (button) {
    fixture.clipboard.rtf = book;
    window.cmdPegar_Click();
  } else {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/rtf"), QByteArray::fromStdString(book));
    QApplication::clipboard()->setMimeData(data);
    window.tbRTF->paste();
  }
  QCOMPARE(shapes, std::vector<Qt::CursorShape>{Qt::WaitCursor});
  QTRY_VERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void MainWindowTest::helpButtonShowsKeyboardFocus() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  window.txtFileName->setFocus();
  const QImage unfocused = window.cmdHelp->grab().toImage();
  window.cmdHelp->setFocus(Qt::TabFocusReason);
  QVERIFY(window.cmdHelp->hasFocus());
  QVERIFY(window.cmdHelp->grab().toImage() != unfocused);
}

void MainWindowTest::keystrokeNearTheStartLeavesTheRestOfTheBookAlone() {
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  std::string book;
  for (int paragraph = 0; paragraph < 5'000; ++paragraph) {
    book += "{\\b Capitulo} con sus palabras y su punto final.\\par ";
  }
  window.Box().SetTextRTF("{\\rtf1\\ansi " + book + "}");
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  // The reader goes to the end of the book and comes back to type.
  window.tbRTF->moveCursor(QTextCursor::End);
  QCoreApplication::processEvents();
  window.tbRTF->moveCursor(QTextCursor::Start);
  QCoreApplication::processEvents();
  const QTextLayout* last = window.tbRTF->document()->lastBlock().layout();
  const QPointF lastPlace = last->position();
  const int lastLines = last->lineCount();

  // A new paragraph moves all the rest down, yet none of it needs touching.
  QTest::keyClick(window.tbRTF, Qt::Key_Return);
  QCoreApplication::processEvents();
  QCOMPARE(window.tbRTF->document()->blockCount(), 5'001);
  QCOMPARE(last->position(), lastPlace);
  QCOMPARE(last->lineCount(), lastLines);
}

}  // namespace quillet

QTEST_MAIN(quillet::MainWindowTest)
#include "main_window_test.moc"
