// Draws the window into a PNG, as the README shows it:
//   quillet_window_picture OUT.png [BOOK.rtf [FOLDER]]
// Runs on any Qt platform, the offscreen one included.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QStyleFactory>
#include <cstdio>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"

namespace {

// Nothing leaves the process: no viewer is started and no dialog is shown.
class NoDesktop : public quillet::PageOpener,
                  public quillet::MessageSink,
                  public quillet::FolderChooser,
                  public quillet::Clipboard {
 public:
  void Open(const std::string&) override {}
  void Show(const std::string& message) override { std::fprintf(stderr, "%s\n", message.c_str()); }
  std::optional<std::string> ChooseFolder() override { return folder; }
  std::string Rtf() const override { return rtf; }
  std::string Html() const override { return {}; }
  std::string Text() const override { return {}; }
  std::optional<std::string> folder;
  std::string rtf;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() < 2) {
    std::fprintf(stderr, "usage: quillet_window_picture OUT.png [BOOK.rtf [FOLDER]]\n");
    return 2;
  }
  NoDesktop desktop;
  quillet::rtf2htmlTest window({&desktop, &desktop, &desktop, &desktop});
  if (arguments.size() > 2) {
    QFile book(arguments[2]);
    if (!book.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments[2]));
      return 1;
    }
    desktop.rtf = book.readAll().toStdString();
    window.cmdPegar_Click();
    window.cboPartes->setCurrentIndex(2);
  }
  if (arguments.size() > 3) {
    desktop.folder = arguments[3].toStdString();
    window.cmdDir_Click();
  }
  window.show();
  QApplication::processEvents();
  window.Box().SetSelStart(0);
  if (!window.grab().save(arguments[1], "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[1]));
    return 1;
  }
  return 0;
}
