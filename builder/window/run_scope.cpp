#include "builder/window/run_scope.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressDialog>

#include "builder/window/debug_window.h"
#include "builder/window/face_button.h"
#include "builder/window/qt_rich_text_box.h"

namespace quillet {

rtf2htmlTest::RunScope::RunScope(rtf2htmlTest& window)
    : window_(window),
      focused_(QApplication::focusWidget()),
      locked_{window_.cmdGO, window_.cmdHTML2, window_.cmdPegar, window_.cmdClear} {
  window_.running_ = true;
  // A locked button that keeps the focus would hand it on to the prefix box,
  // where the next key would replace the prefix; the window holds it meanwhile.
  if (focused_ != nullptr && focused_->window() == &window_) window_.setFocus();
  for (std::size_t i = 0; i < locked_.size(); ++i) {
    wasEnabled_[i] = locked_[i]->isEnabled();
    locked_[i]->setEnabled(false);
  }
  window_.tbRTF->setReadOnly(true);
  window_.debugWindow_->BeginRun();
}

rtf2htmlTest::RunScope::~RunScope() {
  const bool paused = window_.debugWindow_->PauseCount() > 0;
  window_.debugWindow_->EndRun();
  // Clicks and keys that arrived during the run meet locked controls.
  QGuiApplication::sync();
  window_.tbRTF->setReadOnly(false);
  for (std::size_t i = 0; i < locked_.size(); ++i) {
    // A folder chosen during a debug pause still enables Generate for good.
    const bool generate = locked_[i] == window_.cmdGO && window_.generateAllowed_;
    locked_[i]->setEnabled(wasEnabled_[i] || generate);
  }
  RestoreFocus(paused);
  window_.running_ = false;
  if (window_.quitAfterRun_) QCoreApplication::quit();
}

void rtf2htmlTest::RunScope::RestoreFocus(bool afterPauses) {
  if (afterPauses && window_.isVisible()) window_.activateWindow();
  if (focused_ != nullptr && focused_->window() == &window_ && focused_->isEnabled()) {
    focused_->setFocus(Qt::OtherFocusReason);
  }
  window_.txtFileName->deselect();
}

void rtf2htmlTest::ShowProgress(int partCount) {
  progress_ = std::make_unique<QProgressDialog>(
      QString::fromUtf8("Generando páginas / Writing pages…"), QString(), 0, partCount, this);
  progress_->setWindowTitle(QString::fromUtf8(kWindowCaption));
  progress_->setWindowModality(Qt::WindowModal);
  progress_->setMinimumDuration(400);
  progress_->setAutoClose(false);
  // Full stays full: the dialog goes once the last part is written.
  progress_->setAutoReset(false);
}

}  // namespace quillet
