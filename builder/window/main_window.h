// The main window rtf2htmlTest: the console picture with the input box, the
// four face buttons and Help, and the frame of step 2 with the options.
//
// The window only reads its controls, calls the book builder and shows what
// came back; the desktop (opener, messages, folder chooser, clipboard) comes in
// through WindowServices so that tests can put recording stand-ins there.
// This file declares the whole window; its work is defined by concern in the
// files named beside each group.
#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "builder/book_builder.h"
#include "builder/book_input.h"
#include "builder/window/background_load.h"
#include "builder/window/window_services.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMimeData;
class QPlainTextEdit;
class QProgressDialog;
class QRadioButton;
class QToolButton;

namespace quillet {

class DebugWindow;
class FaceButton;
class PadShape;
class QtRichTextBox;
class ReaderSetting;
class RtfTextEdit;

inline constexpr const char* kWindowCaption = "Quillet - Libros Web para PSP";

class rtf2htmlTest : public QWidget {
  Q_OBJECT

 public:
  explicit rtf2htmlTest(const WindowServices& services = {}, QWidget* parent = nullptr);
  ~rtf2htmlTest() override;

  // Controls, named as the handlers know them.
  RtfTextEdit* tbRTF;
  QLabel* Label2;
  FaceButton* cmdPegar;
  FaceButton* cmdClear;
  FaceButton* cmdHTML2;
  FaceButton* cmdGO;
  PadShape* Shape1;
  FaceButton* cmdHelp;
  QGroupBox* frmPasos;
  std::array<QLabel*, 6> Label1;
  QLineEdit* txtFileName;
  QLineEdit* txtDir;
  QToolButton* cmdDir;
  QComboBox* cboPartes;
  QLabel* lblKB;
  ReaderSetting* cmdLector;  // reader mode and its page budget
  QRadioButton* rbDebug;
  QPlainTextEdit* txtHelp;

  // Event handlers: start-up, the folder and the run buttons (main_window.cpp).
  void Form_Load();
  void txtDir_Change();
  void cmdDir_Click();
  std::string DIRBrowse();
  void cmdClear_Click();
  void cmdGO_Click();
  void cmdHTML2_Click();
  void cmdHelp_Click();
  // The part count, reader mode and the size estimate (part_estimate.cpp).
  void cboPartes_Click();
  void tbRTF_Change();
  void cmdLector_Click();
  // Books into the box: paste, Ctrl+O, a file dropped or named on the command
  // line (book_loading.cpp).
  void cmdPegar_Click();
  // Reads a book file as `quillet book` does, on a worker thread, and puts it
  // into the box; false, with the message shown, when it cannot be read or
  // memory runs out, and when the user cancels it.
  bool LoadBookFile(const std::string& path);
  // Ctrl+O: the book chosen in the file chooser.
  void OpenBook();

  // Where helpers are found and how long they may take, for every load.
  LoadOptions loadOptions;
  // How a book file is read: LoadBookFile, unless a test needs a failure that
  // it cannot cause otherwise.
  std::function<LoadedBook(const std::string& path, const LoadOptions& options)> readBook;

  // 1 to 99 after Form_Load.
  std::int16_t PartCount = 0;

  QtRichTextBox& Box() { return *box_; }
  BookBuilder& Builder() { return *builder_; }
  DebugWindow& Debugger() { return *debugWindow_; }
  // True while the estimate waits for typing in a long book to pause, and
  // while the book is measured for it.
  bool EstimatePending() const { return estimateTimer_.isActive() || estimatesMeasured_ > 0; }
  // True from the start to the end of a Generate, a Preview, a paste or a load.
  bool IsRunning() const { return running_; }

 signals:
  void estimateUpdated();

 protected:
  void paintEvent(QPaintEvent* event) override;
  // During a run the window ends the program once the run is over.
  void closeEvent(QCloseEvent* event) override;
  // A book file dropped on the window is loaded like one opened with Ctrl+O
  // (book_loading.cpp).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class RunScope;

  // The one exception boundary every handler runs in (handler_boundary.cpp):
  // whatever `handler` throws ends as a message, with the box's text and
  // selection as they were before it; false when it failed.
  bool Guarded(const std::function<void()>& handler) noexcept;

  // The controls (window_controls.cpp).
  void CreateControls();
  void PlaceControls();
  void SetStartStates();
  void FitCaptionFont();

  // Every control to its handler (main_window.cpp); the estimate's timer
  // (part_estimate.cpp).
  void ConnectHandlers();
  void ConnectEstimate();

  // A run's buttons (main_window.cpp) and the progress of its pages (run_scope.cpp).
  BookRequest ReadControls() const;
  void Report(const BookResult& result);
  void ShowProgress(int partCount);

  // The size estimate and the part count (part_estimate.cpp).
  void RefreshEstimate();
  void ShowEstimate(std::size_t rtfLength);
  void MeasureRtfInBackground();
  void ShowReaderEstimate();

  // Books into the box (book_loading.cpp).
  bool PasteMimeData(const QMimeData& source);
  // Runs the work that `prepare` makes (reading the clipboard, say) off the
  // user-interface thread and puts what it read into the box, whole or at the
  // cursor; false, with a message, when nothing was put there.
  bool LoadIntoBox(const std::function<LoadWork()>& prepare, bool atCursor);
  // A long book is read into one model and copied into the editor; the memory
  // the model held goes back to the system rather than waiting in the heap.
  static void ReturnFreedMemory();

  DesktopServices services_;
  std::unique_ptr<QtRichTextBox> box_;
  std::unique_ptr<BookBuilder> builder_;
  std::unique_ptr<DebugWindow> debugWindow_;
  QPixmap background_;
  QTimer estimateTimer_;
  int estimatesMeasured_ = 0;  // on workers now
  // Exists only while the pages of a Generate are being written.
  std::unique_ptr<QProgressDialog> progress_;
  // Exists only while a paste or a load is read.
  BackgroundLoad* load_ = nullptr;
  bool running_ = false;
  bool quitAfterRun_ = false;     // the window was closed during a run
  bool generateAllowed_ = false;  // a folder has been chosen once
  int chosenParts_ = 1;           // the list's choice, kept while reader mode shows its count
};

}  // namespace quillet
