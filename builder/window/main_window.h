// The main window rtf2htmlTest: the console picture with the input box, the
// four face buttons and Help, and the frame of step 2 with the options.
//
// The window only reads its controls, calls the book builder and shows what
// came back; the desktop (opener, messages, folder chooser, clipboard) comes in
// through WindowServices so that tests can put recording stand-ins there.
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
#include "builder/platform.h"
#include "builder/window/background_load.h"

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
class RtfTextEdit;

inline constexpr const char* kWindowCaption = "Quillet - Libros Web para PSP";

// The desktop as the window uses it; a null member means Qt's own.
struct WindowServices {
  PageOpener* opener = nullptr;
  MessageSink* messages = nullptr;
  FolderChooser* folders = nullptr;
  Clipboard* clipboard = nullptr;
  BookChooser* books = nullptr;
};

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
  QRadioButton* rbDebug;
  QPlainTextEdit* txtHelp;

  // Event handlers.
  void Form_Load();
  void cboPartes_Click();
  void tbRTF_Change();
  void txtDir_Change();
  void cmdDir_Click();
  std::string DIRBrowse();
  void cmdPegar_Click();
  void cmdClear_Click();
  void cmdGO_Click();
  void cmdHTML2_Click();
  void cmdHelp_Click();

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
  // A book file dropped on the window is loaded like one opened with Ctrl+O.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  class RunScope;

  void CreateControls();
  void PlaceControls();
  void SetStartStates();
  void ConnectHandlers();
  void FitCaptionFont();
  BookRequest ReadControls() const;
  void Report(const BookResult& result);
  void RefreshEstimate();
  void ShowEstimate(std::size_t rtfLength);
  void MeasureRtfInBackground();
  void ShowProgress(int partCount);
  bool PasteMimeData(const QMimeData& source);
  // Runs the work that `prepare` makes (reading the clipboard, say) off the
  // user-interface thread and puts what it read into the box, whole or at the
  // cursor; false, with a message, when nothing was put there.
  bool LoadIntoBox(const std::function<LoadWork()>& prepare, bool atCursor);

  // Qt's desktop, used where the services leave a gap.
  std::unique_ptr<PageOpener> ownOpener_;
  std::unique_ptr<MessageSink> ownMessages_;
  std::unique_ptr<FolderChooser> ownFolders_;
  std::unique_ptr<Clipboard> ownClipboard_;
  std::unique_ptr<BookChooser> ownBooks_;
  WindowServices services_;

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
};

}  // namespace quillet
