// A run as the window holds it: Generate, Preview, a paste or a load.
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>

#include "builder/window/busy_cursor.h"
#include "builder/window/main_window.h"

namespace quillet {

// Everything a Generate or a Preview holds for its length: no second run, the
// controls that start or change a run locked (also through debug pauses), the
// busy cursor, and the debug window's "Run to end" lasting until the run is over.
class rtf2htmlTest::RunScope {
 public:
  explicit RunScope(rtf2htmlTest& window);
  ~RunScope();
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  void RestoreFocus(bool afterPauses);

  rtf2htmlTest& window_;
  const BusyCursor busy_;
  QPointer<QWidget> focused_;
  std::array<QWidget*, 4> locked_;
  std::array<bool, 4> wasEnabled_{};
};

}  // namespace quillet
