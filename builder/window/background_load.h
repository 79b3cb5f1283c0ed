// Reading a book off the user-interface thread, so that the window repaints
// and answers while a long book is read or a helper converts it.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "builder/book_input.h"

class QWidget;

namespace quillet {

// The work of a load. It runs on a worker thread and never touches a widget;
// `cancelled` turns true once the user has pressed Cancel.
using LoadWork = std::function<LoadedBook(const std::function<bool()>& cancelled)>;

// Runs one load and waits for it in a nested event loop. After half a second a
// progress dialog on `owner` offers Cancel, which ends the wait at once; the
// worker is told through the flag and its result dropped whenever it comes,
// and the load ends as cancelled. Whatever the worker throws, running out of
// memory among it, ends the load with that failure's status.
class BackgroundLoad {
 public:
  explicit BackgroundLoad(QWidget* owner) : owner_(owner) {}

  LoadedBook Run(LoadWork work);
  // Stops the wait as Cancel does; for a window that is being closed.
  void Cancel();

 private:
  struct Shared;

  QWidget* owner_;
  std::function<void()> stopWaiting_;
};

}  // namespace quillet
