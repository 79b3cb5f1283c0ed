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
#include <memory>
#include <string>

#include "builder/book_builder.h"
#include "builder/platform.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
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

// The desktop as the window uses it; a null member means Qt's own.
struct WindowServices {
  PageOpener* opener = nullptr;
  MessageSink* messages = nullptr;
  FolderChooser* folders = nullptr;
  Clipboard* clipboard = nullptr;
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
  ReaderSetting* cmdLector;  // reader mode and its page budget
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
  void cmdLector_Click();

  // Reads a book file as `quillet book` does and puts it into the box; false,
  // with the message shown, when it cannot be read.
  bool LoadBookFile(const std::string& path);

  // 1 to 99 after Form_Load.
  std::int16_t PartCount = 0;

  QtRichTextBox& Box() { return *box_; }
  BookBuilder& Builder() { return *builder_; }
  DebugWindow& Debugger() { return *debugWindow_; }
  // True while the estimate waits for typing in a long book to pause.
  bool EstimatePending() const { return estimateTimer_.isActive(); }
  // True from the start to the end of a Generate or a Preview.
  bool IsRunning() const { return running_; }

 signals:
  void estimateUpdated();

 protected:
  void paintEvent(QPaintEvent* event) override;
  // During a run the window ends the program once the run is over.
  void closeEvent(QCloseEvent* event) override;

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
  void ShowReaderEstimate();
  void ShowProgress(int partCount);

  // Qt's desktop, used where the services leave a gap.
  std::unique_ptr<PageOpener> ownOpener_;
  std::unique_ptr<MessageSink> ownMessages_;
  std::unique_ptr<FolderChooser> ownFolders_;
  std::unique_ptr<Clipboard> ownClipboard_;
  WindowServices services_;

  std::unique_ptr<QtRichTextBox> box_;
  std::unique_ptr<BookBuilder> builder_;
  std::unique_ptr<DebugWindow> debugWindow_;
  QPixmap background_;
  QTimer estimateTimer_;
  // Exists only while the pages of a Generate are being written.
  std::unique_ptr<QProgressDialog> progress_;
  bool running_ = false;
  bool quitAfterRun_ = false;     // the window was closed during a run
  bool generateAllowed_ = false;  // a folder has been chosen once
  int chosenParts_ = 1;           // the list's choice, kept while reader mode shows its count
};

}  // namespace quillet
