// Starts the window: `quillet` with no arguments, --debug to start in debug
// mode, and a book file to open in the box.
#include <QApplication>
#include <QRadioButton>
#include <QStyleFactory>
#include <string>

#include "builder/window/main_window.h"

namespace quillet::app {

int RunWindow(int argc, char** argv, bool debug, const std::string& book) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  QApplication::setApplicationVersion(QStringLiteral(QUILLET_VERSION));
  // Lets a Wayland desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(QUILLET_APP_ID));
  // One look everywhere: the captions are fitted to this style's metrics.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  rtf2htmlTest window;
  window.rbDebug->setChecked(debug);
  window.show();
  // After show, so that a message about an unreadable file sits on the window.
  if (!book.empty()) window.LoadBookFile(book);
  return QApplication::exec();
}

}  // namespace quillet::app
