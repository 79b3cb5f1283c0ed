// The window's wiring and its buttons: which handler each control calls, start-up,
// the output folder, Clear, and the runs of Generate, Preview and Help.
#include "builder/window/main_window.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QShortcut>
#include <QToolButton>
#include <memory>

#include "builder/messages.h"
#include "builder/text_rules.h"
#include "builder/window/debug_window.h"
#include "builder/window/face_button.h"
#include "builder/window/help_page.h"
#include "builder/window/qt_rich_text_box.h"
#include "builder/window/reader_setting.h"
#include "builder/window/run_scope.h"

namespace quillet {

rtf2htmlTest::rtf2htmlTest(const WindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services, this, [this] { return txtDir->text().toStdString(); }) {
  readBook = [](const std::string& path, const LoadOptions& options) {
    return quillet::LoadBookFile(path, options);
  };

  CreateControls();
  box_ = std::make_unique<QtRichTextBox>(*tbRTF);
  builder_ = std::make_unique<BookBuilder>(*box_, services_.Opener());
  debugWindow_ = std::make_unique<DebugWindow>();
  builder_->converter.SetDebugHost(debugWindow_.get());
  ConnectHandlers();
  FitCaptionFont();
  Form_Load();
}

rtf2htmlTest::~rtf2htmlTest() {
  builder_->converter.SetDebugHost(nullptr);
}

void rtf2htmlTest::ConnectHandlers() {
  connect(cboPartes, &QComboBox::currentIndexChanged, this, [this] { cboPartes_Click(); });
  box_->SetChangeHandler([this] { tbRTF_Change(); });
  connect(txtDir, &QLineEdit::textChanged, this, [this] { txtDir_Change(); });
  connect(cmdDir, &QToolButton::clicked, this, [this] { cmdDir_Click(); });
  connect(cmdPegar, &FaceButton::clicked, this, [this] { cmdPegar_Click(); });
  connect(cmdClear, &FaceButton::clicked, this, [this] { cmdClear_Click(); });
  connect(cmdGO, &FaceButton::clicked, this, [this] { cmdGO_Click(); });
  connect(cmdHTML2, &FaceButton::clicked, this, [this] { cmdHTML2_Click(); });
  connect(cmdHelp, &FaceButton::clicked, this, [this] { cmdHelp_Click(); });
  connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this,
          [this] { OpenBook(); });
  setAcceptDrops(true);
  // The drag is over before the book is read.
  tbRTF->fileDropHandler = [this](const std::string& path) {
    QTimer::singleShot(0, this, [this, path] { LoadBookFile(path); });
  };
  tbRTF->pasteHandler = [this](const QMimeData& source) { return PasteMimeData(source); };
  connect(cmdLector, &ReaderSetting::changed, this, [this] { cmdLector_Click(); });

  // The busy cursor of a run gives way to the arrow while a pause waits for a click.
  connect(debugWindow_.get(), &DebugWindow::pauseChanged, this, [this](bool paused) {
    Guarded([paused] {
      if (paused) {
        QGuiApplication::restoreOverrideCursor();
      } else {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
      }
    });
  });
  ConnectEstimate();
}

void rtf2htmlTest::Form_Load() {
  Guarded([&] {
    for (int part = 1; part <= MostParts(false); ++part) cboPartes->addItem(QString::number(part));
    // Adding to an empty list selects "1" already; choose it explicitly all the same.
    cboPartes->setCurrentIndex(0);
    cboPartes_Click();

    QByteArray screenshot;
    QBuffer buffer(&screenshot);
    buffer.open(QIODevice::WriteOnly);
    grab().save(&buffer, "PNG");
    txtHelp->setPlainText(HelpPage(screenshot));
  });
}

void rtf2htmlTest::txtDir_Change() {
  Guarded([&] {
    const std::string text = txtDir->text().toStdString();
    const std::string withSeparator = TrailingSeparator(text);
    if (withSeparator != text) {
      // Runs this handler once more, which then finds the separator.
      txtDir->setText(QString::fromStdString(withSeparator));
      return;
    }
    generateAllowed_ = true;
    if (!running_) cmdGO->setEnabled(true);  // a run re-enables it when it ends
  });
}

void rtf2htmlTest::cmdDir_Click() {
  Guarded([&] { txtDir->setText(QString::fromStdString(DIRBrowse())); });
}

std::string rtf2htmlTest::DIRBrowse() {
  return BrowseFolderText(services_.Folders());
}

void rtf2htmlTest::cmdClear_Click() {
  Guarded([&] {
    if (running_) return;
    builder_->converter.RtfSource.clear();
    box_->SetTextRTF("");
    box_->SetFocus();
  });
}

BookRequest rtf2htmlTest::ReadControls() const {
  return {.prefix = txtFileName->text().toStdString(),
          .folder = txtDir->text().toStdString(),
          // Reader mode finds the count itself.
          .partCount = cmdLector->IsOn() ? 1 : PartCount,
          .debug = rbDebug->isChecked(),
          .helpText = txtHelp->toPlainText().toStdString(),
          .reader = cmdLector->Mode(),
          .bookFile = {}};
}

void rtf2htmlTest::Report(const BookResult& result) {
  for (const Status& warning : result.warnings) services_.Messages().Show(Message(warning));
  if (result.ok()) return;
  // A progress dialog above the message would keep it from being answered.
  progress_.reset();
  services_.Messages().Show(Message(result.status));
}

void rtf2htmlTest::cmdGO_Click() {
  Guarded([&] {
    if (running_ || !cmdGO->isEnabled()) return;
    RunScope run(*this);
    // The dialog comes only once the run's checks are passed and pages are being written.
    const GenerateProgress progress{[this](int partCount) { ShowProgress(partCount); },
                                    [this](int partNumber, int partCount) {
                                      if (!progress_) return;
                                      progress_->setValue(partNumber);
                                      // The pages are put in place and opened without it.
                                      if (partNumber == partCount) progress_.reset();
                                    }};
    Report(builder_->Generate(ReadControls(), progress));
    progress_.reset();
    // The box shows the last part selected; a stray key must not replace it.
    tbRTF->GuardSelection();
  });
}

void rtf2htmlTest::cmdHTML2_Click() {
  Guarded([&] {
    if (running_) return;
    RunScope run(*this);
    Report(builder_->Preview(ReadControls()));
  });
}

void rtf2htmlTest::cmdHelp_Click() {
  Guarded([&] {
    // Help never converts, so it also works during a debug pause.
    Report(builder_->WriteHelp(ReadControls()));
  });
}

void rtf2htmlTest::closeEvent(QCloseEvent* event) {
  // A run cannot stop halfway: it goes on to its end without pausing, and
  // the program ends with it.
  if (running_) {
    quitAfterRun_ = true;
    debugWindow_->RunToEnd();
    if (load_ != nullptr) load_->Cancel();
  }
  event->accept();
}

void rtf2htmlTest::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

}  // namespace quillet
