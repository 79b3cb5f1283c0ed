// Books with footnotes and an endnote, pasted or loaded into the window and
// generated in reader mode: each part ends with the notes cited in it, page for
// page as the command line writes the same file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "builder/book_input.h"
#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "builder/window/reader_setting.h"
#include "richtext/document_box.h"
#include "tests/window/temp_settings.h"
#include "tests/window/window_fixture.h"

namespace quillet {
namespace {

// Small enough for the fixtures to make several parts.
constexpr int kSmallBudgetKb = 1;

using Fixture = testing::WindowFixture;

std::string NotesFile(const QString& name) {
  return QStringLiteral(QUILLET_NOTES_DATA "/%1").arg(name).toStdString();
}

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string Folder(const QTemporaryDir& dir) {
  return QDir::toNativeSeparators(dir.path()).toStdString() + QDir::separator().toLatin1();
}

// Every file of the folder by name.
std::map<QString, QByteArray> Pages(const QTemporaryDir& dir) {
  std::map<QString, QByteArray> pages;
  for (const QString& name : QDir(dir.path()).entryList(QDir::Files)) {
    pages[name] = ReadBytes(dir.filePath(name));
  }
  return pages;
}

// What `quillet book FILE --reader --max-kb N` writes: the same builder over
// the command line's box.
std::map<QString, QByteArray> CommandLinePages(const std::string& file) {
  DocumentBox box;
  box.SetDocument(LoadBookFile(file).value);
  testing::RecordingOpener opener;
  BookBuilder builder(box, opener);
  QTemporaryDir out;
  BookRequest request;
  request.folder = Folder(out);
  request.reader = ReaderMode::All();
  request.reader.maxKb = kSmallBudgetKb;
  const BookResult result = builder.Generate(request);
  return result.ok() ? Pages(out) : std::map<QString, QByteArray>{};
}

}  // namespace

class ReaderNotesTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { settings_.Clear(); }
  void eachPartEndsWithTheNotesItCites_data();
  void eachPartEndsWithTheNotesItCites();

 private:
  testing::TempSettings settings_;
};

void ReaderNotesTest::eachPartEndsWithTheNotesItCites_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("pasted");
  for (const char* file :
       {"pandoc_notes.rtf", "libreoffice_from_odt.rtf", "libreoffice_from_docx.rtf"}) {
    QTest::addRow("%s pasted", file) << QString::fromLatin1(file) << true;
    QTest::addRow("%s loaded", file) << QString::fromLatin1(file) << false;
  }
}

void ReaderNotesTest::eachPartEndsWithTheNotesItCites() {
  QFETCH(QString, file);
  QFETCH(bool, pasted);
  Fixture fixture;
  rtf2htmlTest& window = fixture.window;
  QTemporaryDir output;
  fixture.folders.answer = QDir::toNativeSeparators(output.path()).toStdString();
  window.cmdDir_Click();
  if (pasted) {
    fixture.clipboard.rtf = ReadBytes(QString::fromStdString(NotesFile(file))).toStdString();
    window.cmdPegar_Click();
  } else {
    QVERIFY(window.LoadBookFile(NotesFile(file)));
  }
  window.cmdLector->SetMaxKb(kSmallBudgetKb);
  window.cmdLector->SetOn(true);
  window.cmdGO_Click();
  QVERIFY(fixture.messages.shown.empty());

  const std::map<QString, QByteArray> pages = Pages(output);
  const std::map<QString, QByteArray> expected = CommandLinePages(NotesFile(file));
  QVERIFY(expected.size() > 2);
  // The notes line closes the parts that cite notes, not only the last one.
  QVERIFY(expected.at(QStringLiteral("Rerud01.html")).contains("Notas / Notes") ||
          expected.at(QStringLiteral("Rerud02.html")).contains("Notas / Notes"));
  QCOMPARE(pages.size(), expected.size());
  for (const auto& [name, page] : expected) {
    QVERIFY2(pages.contains(name), qPrintable(name));
    QVERIFY2(pages.at(name) == page, qPrintable(name));
  }
}

}  // namespace quillet

QTEST_MAIN(quillet::ReaderNotesTest)
#include "reader_notes_test.moc"
