// Starts the window: `quillet` with no arguments, or with --debug to start in
// debug mode.
#include <QApplication>
#include <QRadioButton>
#include <QStyleFactory>

#include "main_window.h"

namespace quillet::app {

int RunWindow(int argc, char** argv, bool debug) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  // One look everywhere: the captions are fitted to this style's metrics.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  rtf2htmlTest window;
  window.rbDebug->setChecked(debug);
  window.show();
  return QApplication::exec();
}

}  // namespace quillet::app
