#include "builder/window/run_window.h"

#include <QApplication>
#include <QRadioButton>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

#include "builder/window/main_window.h"

namespace quillet {
namespace {

QtMessageHandler qtHandler = nullptr;

// Qt ends the process with abort() when it cannot reach the display (or finds
// no platform for it); while the window opens, the user gets a message and
// exit status 1 instead of a core dump.
void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type != QtFatalMsg) {
    if (qtHandler != nullptr) qtHandler(type, context, message);
    return;
  }
  // Qt's own lines above say why; this says what it means and what still works.
  std::fputs(
      "quillet: no se puede abrir la ventana en esta pantalla; las órdenes de quillet --help "
      "funcionan sin ella\n"
      "quillet: cannot open the window on this display; the commands of quillet --help work "
      "without one\n",
      stderr);
  std::_Exit(1);
}

}  // namespace

int RunWindow(int argc, char** argv, const WindowStart& start) {
  qtHandler = qInstallMessageHandler(ExitOnFatal);
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quillet"));
  QApplication::setApplicationVersion(QString::fromStdString(start.version));
  QGuiApplication::setDesktopFileName(QString::fromStdString(start.desktopId));
  // One look everywhere: the captions are fitted to this style's metrics.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  rtf2htmlTest window;
  window.rbDebug->setChecked(start.debug);
  window.show();
  qInstallMessageHandler(qtHandler);
  // After show, so that a message about an unreadable file sits on the window.
  if (!start.book.empty()) window.LoadBookFile(start.book);
  return QApplication::exec();
}

}  // namespace quillet
