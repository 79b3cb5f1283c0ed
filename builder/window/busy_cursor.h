// The busy cursor for work that keeps the window from answering.
#pragma once

#include <QCoreApplication>
#include <QGuiApplication>

namespace quillet {

// Shows the busy cursor from construction to destruction. The cursor reaches
// the screen at once: the work that follows handles no events until it is done.
class BusyCursor {
 public:
  BusyCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // Sends the change to the display; input waits, so no click can start
    // anything in the middle of the work.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace quillet
