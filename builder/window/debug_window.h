// The debug trace's host in the window: shows the converter's state at every
// pause and lets the developer go on one token at a time or run to the end.
#pragma once

#include <QWidget>
#include <string>

#include "converter/converter.h"

class QEventLoop;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillet {

class DebugWindow : public QWidget, public DebugHost {
  Q_OBJECT

 public:
  explicit DebugWindow(QWidget* parent = nullptr);
  ~DebugWindow() override;

  // Shows the dump and the HTML so far, and handles events until released.
  void Pause(Converter& converter, const std::string& dump) override;

  // A run is one Generate or one Preview; "Run to end" lasts until it ends.
  void BeginRun();
  void EndRun();
  // Lets the current run go on to its end without pausing, out of sight.
  void RunToEnd();

  bool IsPaused() const { return loop_ != nullptr; }
  int PauseCount() const { return pauseCount_; }

  QPlainTextEdit* dumpView;
  QPlainTextEdit* htmlView;
  QPushButton* continueButton;
  QPushButton* runToEndButton;

 signals:
  // Emitted as a pause starts and as it ends, so the window can lock its controls.
  void pauseChanged(bool paused);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Release(bool runToEnd);

  QEventLoop* loop_ = nullptr;
  Converter* converter_ = nullptr;
  bool runToEnd_ = false;
  int pauseCount_ = 0;
};

}  // namespace quillet
