// The Qt side of the desktop: the folder chooser and the clipboard.
#include "builder/window/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <optional>

#include "tests/builder/fakes.h"

namespace quillet {

class QtPlatformTest : public QObject {
  Q_OBJECT

 private slots:
  void chooserIsTitledAndCancelGivesNothing();
  void chooserGivesTheChosenFolder();
  void bookChooserIsTitledAndGivesTheChosenFile();
  void chooserOpensAtTheFolderInTheBox_data();
  void chooserOpensAtTheFolderInTheBox();
  void clipboardGivesEachFormat_data();
  void clipboardGivesEachFormat();
  void pasteTakesTheFirstFormatOfRtfHtmlText_data();
  void pasteTakesTheFirstFormatOfRtfHtmlText();
  void pastedHtmlKeepsParagraphsFormatsAlignmentAndBullets();
};

namespace {

// Answers the chooser's dialog once it runs: accepts `folder`, or cancels.
void AnswerChooser(QString& title, std::optional<QString> folder) {
  QTimer::singleShot(0, [&title, folder] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    title = dialog->windowTitle();
    if (folder) {
      dialog->selectFile(*folder);
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides it
    } else {
      dialog->reject();
    }
  });
}

}  // namespace

void QtPlatformTest::chooserIsTitledAndCancelGivesNothing() {
  QtFolderChooser chooser(nullptr);
  QString title;
  AnswerChooser(title, std::nullopt);
  QCOMPARE(chooser.ChooseFolder(), std::nullopt);
  QCOMPARE(title, QStringLiteral("Seleccione la Carpeta"));
}

void QtPlatformTest::chooserGivesTheChosenFolder() {
  QTemporaryDir folder;
  QtFolderChooser chooser(nullptr);
  QString title;
  AnswerChooser(title, folder.path());
  QCOMPARE(chooser.ChooseFolder(), QDir::toNativeSeparators(folder.path()).toStdString());
}

void QtPlatformTest::bookChooserIsTitledAndGivesTheChosenFile() {
  QTemporaryDir folder;
  const QString book = folder.filePath(QStringLiteral("novel.epub"));
  QFile file(book);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();
  QtBookChooser chooser(nullptr);
  QString title;
  AnswerChooser(title, book);
  QCOMPARE(chooser.ChooseBook(), std::optional<std::string>(book.toStdString()));
  QCOMPARE(title, QStringLiteral("Abrir libro / Open book"));
  AnswerChooser(title, std::nullopt);
  QCOMPARE(chooser.ChooseBook(), std::nullopt);
}

void QtPlatformTest::chooserOpensAtTheFolderInTheBox_data() {
  QTest::addColumn<bool>("exists");
  QTest::newRow("existing folder") << true;
  QTest::newRow("missing folder") << false;
}

void QtPlatformTest::chooserOpensAtTheFolderInTheBox() {
  QFETCH(bool, exists);
  QTemporaryDir folder;
  const QString boxText = QDir::toNativeSeparators(exists ? folder.path() + QStringLiteral("/")
                                                          : QStringLiteral("d:\\"));
  QtFolderChooser chooser(nullptr, [&boxText] { return boxText.toStdString(); });
  QString opened;
  QTimer::singleShot(0, [&opened] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    opened = dialog->directory().absolutePath();
    dialog->reject();
  });
  chooser.ChooseFolder();
  // A folder that is not there leaves the dialog where it would open anyway.
  if (exists) {
    QCOMPARE(opened, QDir(folder.path()).absolutePath());
  } else {
    QVERIFY(QDir(opened).exists());
  }
}

void QtPlatformTest::clipboardGivesEachFormat_data() {
  QTest::addColumn<QString>("format");
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("rtf");
  QTest::addColumn<QString>("html");
  QTest::addColumn<QString>("text");
  QTest::newRow("rtf") << "text/rtf" << QByteArray("{\\rtf1 a}") << "{\\rtf1 a}"
                       << ""
                       << "";
  QTest::newRow("windows rtf") << "application/x-qt-windows-mime;value=\"Rich Text Format\""
                               << QByteArray("{\\rtf1 w}\0", 10) << "{\\rtf1 w}"
                               << ""
                               << "";
  QTest::newRow("html") << "text/html" << QByteArray("<b>h</b>") << ""
                        << "<b>h</b>"
                        << "";
  QTest::newRow("text") << "text/plain" << QByteArray("t") << ""
                        << ""
                        << "t";
}

void QtPlatformTest::clipboardGivesEachFormat() {
  QFETCH(QString, format);
  QFETCH(QByteArray, content);
  QFETCH(QString, rtf);
  QFETCH(QString, html);
  QFETCH(QString, text);
  auto* data = new QMimeData;
  data->setData(format, content);
  QApplication::clipboard()->setMimeData(data);
  const QtClipboard clipboard;
  QCOMPARE(QString::fromStdString(clipboard.Rtf()), rtf);
  QCOMPARE(QString::fromStdString(clipboard.Html()), html);
  QCOMPARE(QString::fromStdString(clipboard.Text()), text);
}

void QtPlatformTest::pasteTakesTheFirstFormatOfRtfHtmlText_data() {
  QTest::addColumn<QString>("rtf");
  QTest::addColumn<QString>("html");
  QTest::addColumn<QString>("text");
  QTest::addColumn<std::optional<QString>>("pasted");
  QTest::newRow("rtf before html and text") << "{\\rtf1 {\\b r}}"
                                            << "<p>h</p>"
                                            << "t" << std::optional<QString>("r");
  QTest::newRow("html before text") << ""
                                    << "<p>h <i>i</i></p>"
                                    << "t" << std::optional<QString>("h i");
  QTest::newRow("text alone") << ""
                              << ""
                              << "t\nu" << std::optional<QString>("t\nu");
  QTest::newRow("rtf flavour that is not rtf") << "plain words"
                                               << ""
                                               << "" << std::optional<QString>("plain words");
  QTest::newRow("nothing") << ""
                           << ""
                           << "" << std::optional<QString>();
}

void QtPlatformTest::pasteTakesTheFirstFormatOfRtfHtmlText() {
  QFETCH(QString, rtf);
  QFETCH(QString, html);
  QFETCH(QString, text);
  QFETCH(std::optional<QString>, pasted);
  testing::FixedClipboard clipboard;
  clipboard.rtf = rtf.toStdString();
  clipboard.html = html.toStdString();
  clipboard.text = text.toStdString();
  const std::optional<Document> document = DocumentFromClipboard(clipboard);
  QCOMPARE(document.has_value(), pasted.has_value());
  if (document) QCOMPARE(QString::fromStdU16String(document->PlainText()), *pasted);
}

void QtPlatformTest::pastedHtmlKeepsParagraphsFormatsAlignmentAndBullets() {
  testing::FixedClipboard clipboard;
  clipboard.html =
      "<p align=center><b>Título</b></p><p>uno <i>dos</i> <font color=#ff0000>tres</font></p>"
      "<ul><li>punto</li></ul><p>línea<br>nueva</p>";
  const std::optional<Document> pasted = DocumentFromClipboard(clipboard);
  QVERIFY(pasted.has_value());
  const Document& document = *pasted;
  QCOMPARE(document.paragraphs.size(), std::size_t{4});
  QVERIFY(document.paragraphs[0].alignment == Alignment::kCenter);
  QVERIFY(document.paragraphs[0].Runs().at(0).format.bold);
  QCOMPARE(QString::fromStdU16String(std::u16string(document.paragraphs[0].Runs().at(0).text)),
           u"Título"_qs);
  const Paragraph& second = document.paragraphs[1];
  QCOMPARE(second.Runs().size(), std::size_t{4});
  QVERIFY(second.Runs()[1].format.italic);
  QVERIFY(second.Runs()[3].format.color == (Color{255, 0, 0}));
  QVERIFY(document.paragraphs[2].bullet);
  QCOMPARE(QString::fromStdU16String(document.PlainText()),
           u"Título\nuno dos tres\npunto\nlínea\u2028nueva"_qs);
}

}  // namespace quillet

QTEST_MAIN(quillet::QtPlatformTest)
#include "qt_platform_test.moc"
