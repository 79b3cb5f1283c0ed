#include "builder/window/run_window.h"

#include <QApplication>
#include <QRadioButton>
#include <QStyleFactory>

#include "builder/window/main_window.h"

namespace quillet {

int RunWindow(int argc, char** argv, const WindowStart& start) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  QApplication::setApplicationVersion(QString::fromStdString(start.version));
  QGuiApplication::setDesktopFileName(QString::fromStdString(start.desktopId));
  // One look everywhere: the captions are fitted to this style's metrics.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  rtf2htmlTest window;
  window.rbDebug->setChecked(start.debug);
  window.show();
  // After show, so that a message about an unreadable file sits on the window.
  if (!start.book.empty()) window.LoadBookFile(start.book);
  return QApplication::exec();
}

}  // namespace quillet
