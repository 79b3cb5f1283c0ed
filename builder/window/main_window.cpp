#include "builder/window/main_window.h"

#include <malloc.h>

#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QThread>
#include <QToolButton>
#include <memory>
#include <new>
#include <optional>
#include <utility>

#include "builder/book_input.h"
#include "builder/text_rules.h"
#include "builder/window/busy_cursor.h"
#include "builder/window/debug_window.h"
#include "builder/window/face_button.h"
#include "builder/window/help_page.h"
#include "builder/window/qt_document_bridge.h"
#include "builder/window/qt_platform.h"
#include "builder/window/qt_rich_text_box.h"
#include "richtext/rtf_writer.h"
#include "builder/window/reader_setting.h"

namespace quillet {
namespace {

// Up to this many positions the estimate follows every keystroke; beyond it,
// serialising the book would make typing lag, so it waits for a pause.
constexpr std::int64_t kImmediateEstimateLength = 60'000;
constexpr int kEstimateDelayMs = 300;

constexpr const char* kOutOfMemoryMessage =
    "No hay memoria suficiente para este libro; el cuadro queda como estaba / Not enough "
    "memory for this book; the box is left as it was";

// Captions are set at this pixel size, condensed as far as the longest needs.
constexpr int kCaptionPixelSize = 11;
constexpr int kEditorPixelSize = 13;

QString Caption(const char* text) {
  return QString::fromUtf8(text);
}

void SetCaption(QWidget& control, const QString& caption) {
  if (auto* label = qobject_cast<QLabel*>(&control)) {
    label->setText(caption);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
    button->setText(caption);
  } else if (auto* line = qobject_cast<QLineEdit*>(&control)) {
    line->setText(caption);
  } else if (auto* frame = qobject_cast<QGroupBox*>(&control)) {
    frame->setTitle(caption);
  }
}

// A long book is read into one model and copied into the editor; the memory
// the model held goes back to the system rather than waiting in the heap.
void ReturnFreedMemory() {
  malloc_trim(0);
}

// Reads a copy of the clipboard on the worker into what a paste puts in the
// box (`none` when it holds no text), and lets the copy go before the editor
// is filled, so that the clipboard's RTF, the model and the editor's document
// are not all held at once.
LoadWork ReadClipboardCopy(std::shared_ptr<const ClipboardCopy> copy, Document none) {
  return [copy, none](const std::function<bool()>&) mutable {
    std::optional<Document> pasted = DocumentFromClipboard(*copy);
    copy.reset();
    return LoadedBook{pasted ? std::move(*pasted) : std::move(none), {}};
  };
}

}  // namespace

// Everything a Generate or a Preview holds for its length: no second run, the
// controls that start or change a run locked (also through debug pauses), the
// busy cursor, and the debug window's "Run to end" lasting until the run is over.
class rtf2htmlTest::RunScope {
 public:
  explicit RunScope(rtf2htmlTest& window) : window_(window), focused_(QApplication::focusWidget()) {
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
  ~RunScope() {
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
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  void RestoreFocus(bool afterPauses) {
    if (afterPauses && window_.isVisible()) window_.activateWindow();
    if (focused_ != nullptr && focused_->window() == &window_ && focused_->isEnabled()) {
      focused_->setFocus(Qt::OtherFocusReason);
    }
    window_.txtFileName->deselect();
  }

  rtf2htmlTest& window_;
  const BusyCursor busy_;
  QPointer<QWidget> focused_;
  std::array<QWidget*, 4> locked_{window_.cmdGO, window_.cmdHTML2, window_.cmdPegar,
                                  window_.cmdClear};
  std::array<bool, 4> wasEnabled_{};
};

rtf2htmlTest::rtf2htmlTest(const WindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  if (services_.opener == nullptr) {
    ownOpener_ = std::make_unique<QtPageOpener>();
    services_.opener = ownOpener_.get();
  }
  if (services_.messages == nullptr) {
    ownMessages_ = std::make_unique<QtMessageSink>(this);
    services_.messages = ownMessages_.get();
  }
  if (services_.folders == nullptr) {
    ownFolders_ =
        std::make_unique<QtFolderChooser>(this, [this] { return txtDir->text().toStdString(); });
    services_.folders = ownFolders_.get();
  }
  if (services_.clipboard == nullptr) {
    ownClipboard_ = std::make_unique<QtClipboard>();
    services_.clipboard = ownClipboard_.get();
  }
  if (services_.books == nullptr) {
    ownBooks_ = std::make_unique<QtBookChooser>(this);
    services_.books = ownBooks_.get();
  }
  readBook = [](const std::string& path, const LoadOptions& options) {
    return quillet::LoadBookFile(path, options);
  };

  CreateControls();
  box_ = std::make_unique<QtRichTextBox>(*tbRTF);
  builder_ = std::make_unique<BookBuilder>(*box_, *services_.opener);
  debugWindow_ = std::make_unique<DebugWindow>();
  builder_->converter.SetDebugHost(debugWindow_.get());
  ConnectHandlers();
  FitCaptionFont();
  Form_Load();
}

rtf2htmlTest::~rtf2htmlTest() {
  builder_->converter.SetDebugHost(nullptr);
}

void rtf2htmlTest::CreateControls() {
  setWindowTitle(Caption(kWindowCaption));
  setWindowIcon(pictures::WindowIcon());
  setFixedSize(533, 378);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, pictures::kWindowColor);
  setPalette(colours);
  setAutoFillBackground(true);

  // In this order, which is also the order they are stacked in: the help button
  // lies on the pad.
  tbRTF = new RtfTextEdit(this);
  Label2 = new QLabel(this);
  cmdPegar = new FaceButton(pictures::Symbol::kTriangle, this);
  cmdClear = new FaceButton(pictures::Symbol::kSquare, this);
  cmdHTML2 = new FaceButton(pictures::Symbol::kCircle, this);
  cmdGO = new FaceButton(pictures::Symbol::kCross, this);
  Shape1 = new PadShape(this);
  cmdHelp = new FaceButton(pictures::Symbol::kHelp, this);
  frmPasos = new QGroupBox(this);
  for (QLabel*& label : Label1) label = new QLabel(frmPasos);
  txtFileName = new QLineEdit(frmPasos);
  txtDir = new QLineEdit(frmPasos);
  cmdDir = new QToolButton(frmPasos);
  cboPartes = new QComboBox(frmPasos);
  lblKB = new QLabel(frmPasos);
  cmdLector = new ReaderSetting(frmPasos);
  rbDebug = new QRadioButton(this);
  txtHelp = new QPlainTextEdit(this);
  PlaceControls();
  SetStartStates();
}

void rtf2htmlTest::PlaceControls() {
  struct ControlRow {
    QWidget* control;
    QRect place;  // in the window, or in frmPasos for the controls inside it
    const char* caption;
    const char* name;  // the object name, for accessibility tools and tests
  };
  const ControlRow controls[] = {
      {tbRTF, {112, 21, 310, 177}, "", "tbRTF"},
      {Label2,
       {14, 238, 456, 22},
       "PASO 1: Pegue texto aqui / Paste any text here:  RTF, WORD, TXT, HTML, etc",
       "Label2"},
      {cmdPegar, {461, 63, 23, 23}, "", "cmdPegar"},
      {cmdClear, {429, 94, 23, 23}, "", "cmdClear"},
      {cmdHTML2, {490, 95, 23, 23}, "", "cmdHTML2"},
      {cmdGO, {461, 124, 23, 23}, "", "cmdGO"},
      {Shape1, {20, 61, 81, 89}, "", "Shape1"},
      {cmdHelp, {43, 88, 33, 36}, "Help", "cmdHelp"},
      {frmPasos,
       {7, 271, 522, 99},
       "PASO 2: Escoja las Opciones /Choose de Options and then press de [X] button",
       "frmPasos"},
      {Label1[0], {378, 21, 78, 15}, "Nro de Partes", "Label1_0"},
      {Label1[1], {378, 35, 78, 15}, "# parts to split", "Label1_1"},
      {Label1[2], {7, 21, 169, 15}, "Prefijo de Nombre de Archivo(s)", "Label1_2"},
      {Label1[3], {7, 35, 169, 15}, "Prefix. FileName. Ex. Libro01.html", "Label1_3"},
      {Label1[4], {7, 63, 169, 15}, "Carpeta de Salida", "Label1_4"},
      {Label1[5], {7, 77, 169, 15}, "Output Directory", "Label1_5"},
      {txtFileName, {182, 28, 155, 19}, kDefaultPrefix.data(), "txtFileName"},
      {txtDir, {182, 63, 134, 19}, "Please Select/Seleccionar", "txtDir"},
      {cmdDir, {315, 63, 22, 19}, "...", "cmdDir"},
      {cboPartes, {378, 63, 50, 21}, "", "cboPartes"},
      {lblKB, {432, 69, 81, 15}, "0.0 Kb", "lblKB"},
      // In the frame's free corner, beside the part count it computes.
      {cmdLector, {460, 19, 56, 22}, "Lector", "cmdLector"},
      // Outside the client area on purpose: a developer's switch, not the user's.
      {rbDebug, {840, 432, 105, 17}, "Debug Mode", "rbDebug"},
      {txtHelp, {}, "", "txtHelp"},
  };
  for (const ControlRow& row : controls) {
    if (!row.place.isNull()) row.control->setGeometry(row.place);
    if (*row.caption != '\0') SetCaption(*row.control, Caption(row.caption));
    row.control->setObjectName(QString::fromLatin1(row.name));
  }
  setObjectName(QStringLiteral("rtf2htmlTest"));

  const std::pair<QWidget*, const char*> toolTips[] = {{cmdPegar, "Pegar / Paste"},
                                                       {cmdClear, "Limpiar / Clear"},
                                                       {cmdHTML2, "Vista previa / Preview"},
                                                       {cmdGO, "Crear los archivos / Generate"}};
  for (const auto& [control, tip] : toolTips) control->setToolTip(Caption(tip));
  const std::array<QWidget*, 9> tabOrder{tbRTF,       cmdPegar, cmdClear,  cmdHTML2, cmdGO,
                                         txtFileName, cmdDir,   cboPartes, cmdHelp};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void rtf2htmlTest::SetStartStates() {
  cmdGO->setEnabled(false);
  txtDir->setReadOnly(true);
  // Out of the keyboard's reach too: `quillet --debug` is the way to start with it.
  rbDebug->setFocusPolicy(Qt::NoFocus);
  // Like an option button, it cannot be cleared by clicking it again.
  auto* debugGroup = new QButtonGroup(this);
  debugGroup->addButton(rbDebug);
  txtHelp->hide();
  background_ = pictures::Background({tbRTF->geometry(), Shape1->geometry(),
                                      cmdPegar->geometry()
                                          .united(cmdClear->geometry())
                                          .united(cmdHTML2->geometry())
                                          .united(cmdGO->geometry())});
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
  connect(debugWindow_.get(), &DebugWindow::pauseChanged, this, [](bool paused) {
    if (paused) {
      QGuiApplication::restoreOverrideCursor();
    } else {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
  });

  estimateTimer_.setSingleShot(true);
  estimateTimer_.setInterval(kEstimateDelayMs);
  connect(&estimateTimer_, &QTimer::timeout, this, [this] { RefreshEstimate(); });
}

void rtf2htmlTest::FitCaptionFont() {
  // The narrowest stretch that every caption needs, so none is clipped
  // whichever sans-serif face the system supplies.
  const auto fits = [this] {
    for (QLabel* label : Label1) {
      if (label->sizeHint().width() > label->width()) return false;
    }
    for (QWidget* widget : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(cmdHelp),
                            static_cast<QWidget*>(cmdDir)}) {
      if (widget->sizeHint().width() > widget->width()) return false;
    }
    return frmPasos->minimumSizeHint().width() <= frmPasos->width();
  };
  QFont captions(QStringLiteral("DejaVu Sans"));
  captions.setPixelSize(kCaptionPixelSize);
  for (int stretch : {100, 95, 90, 87, 85, 80, 75, 70}) {
    captions.setStretch(stretch);
    setFont(captions);
    if (fits()) break;
  }
  QFont editor(QStringLiteral("DejaVu Sans"));
  editor.setPixelSize(kEditorPixelSize);
  tbRTF->setFont(editor);
  // Three dots need no more than a smaller size to fit the button's height.
  QFont dots = captions;
  dots.setPixelSize(kCaptionPixelSize - 1);
  cmdDir->setFont(dots);
  QFont estimate = captions;
  estimate.setBold(true);
  lblKB->setFont(estimate);
}

void rtf2htmlTest::Form_Load() {
  for (int part = 1; part <= 99; ++part) cboPartes->addItem(QString::number(part));
  // Adding to an empty list selects "1" already; choose it explicitly all the same.
  cboPartes->setCurrentIndex(0);
  cboPartes_Click();

  QByteArray screenshot;
  QBuffer buffer(&screenshot);
  buffer.open(QIODevice::WriteOnly);
  grab().save(&buffer, "PNG");
  txtHelp->setPlainText(HelpPage(screenshot));
}

void rtf2htmlTest::cboPartes_Click() {
  PartCount = static_cast<std::int16_t>(cboPartes->currentIndex() + 1);
  RefreshEstimate();
}

void rtf2htmlTest::tbRTF_Change() {
  PartCount = static_cast<std::int16_t>(cboPartes->currentIndex() + 1);
  if (box_->Length() <= kImmediateEstimateLength) {
    RefreshEstimate();
    return;
  }
  // A stale figure is never shown: the label stays blank until the pause.
  lblKB->clear();
  estimateTimer_.start();
}

void rtf2htmlTest::RefreshEstimate() {
  estimateTimer_.stop();
  cboPartes->setEnabled(!cmdLector->IsOn());
  if (cmdLector->IsOn()) {
    // Counting the parts converts the whole book, which takes a moment of its own.
    std::optional<BusyCursor> busy;
    if (box_->Length() > kImmediateEstimateLength) busy.emplace();
    return ShowReaderEstimate();
  }
  const std::optional<std::size_t> known = box_->KnownRtfLength();
  if (known || box_->Length() <= kImmediateEstimateLength) {
    ShowEstimate(known ? *known : box_->RtfLength());
    return;
  }
  lblKB->clear();
  MeasureRtfInBackground();
}

void rtf2htmlTest::ShowEstimate(std::size_t rtfLength) {
  lblKB->setText(
      QString::fromStdString(EstimateText(static_cast<std::int64_t>(rtfLength), PartCount)));
  emit estimateUpdated();
}

void rtf2htmlTest::MeasureRtfInBackground() {
  // Serialising a long book takes a moment: the model read from the editor
  // is written as RTF on a worker, and the answer shown if the box has not
  // changed since.
  const std::uint64_t revision = box_->Revision();
  auto model = std::make_shared<const Document>(DocumentFromQt(*tbRTF->document()));
  auto length = std::make_shared<std::optional<std::size_t>>();
  QThread* worker = QThread::create([model, length] {
    try {
      *length = WriteRtf(*model).size();
    } catch (const std::bad_alloc&) {
      // Without memory for it, the estimate stays blank.
    }
  });
  ++estimatesMeasured_;
  connect(worker, &QThread::finished, this, [this, worker, length, revision] {
    worker->deleteLater();
    --estimatesMeasured_;
    if (!*length || !box_->SetRtfLength(revision, **length)) return;
    ShowEstimate(**length);
    ReturnFreedMemory();
  });
  worker->start();
}

// Reader mode computes the part count: the list shows it (adding entries past
// 99 when needed) and the label the budget, until the mode is turned off.
void rtf2htmlTest::ShowReaderEstimate() {
  const ReaderParts parts = builder_->CountReaderParts(ReadControls());
  const QSignalBlocker quiet(cboPartes);
  while (cboPartes->count() < parts.count)
    cboPartes->addItem(QString::number(cboPartes->count() + 1));
  if (parts.count > 0) cboPartes->setCurrentIndex(parts.count - 1);
  lblKB->setText(QString::fromStdString(ReaderEstimateText(parts.count, cmdLector->MaxKb())));
  lblKB->setToolTip(QString::fromStdString(parts.error));
  emit estimateUpdated();
}

void rtf2htmlTest::cmdLector_Click() {
  if (cmdLector->IsOn()) {
    chosenParts_ = PartCount;
  } else {
    const QSignalBlocker quiet(cboPartes);
    while (cboPartes->count() > 99) cboPartes->removeItem(cboPartes->count() - 1);
    cboPartes->setCurrentIndex(chosenParts_ - 1);
    lblKB->setToolTip(QString());
  }
  cboPartes_Click();
}

void rtf2htmlTest::txtDir_Change() {
  const std::string text = txtDir->text().toStdString();
  const std::string withSeparator = TrailingSeparator(text);
  if (withSeparator != text) {
    // Runs this handler once more, which then finds the separator.
    txtDir->setText(QString::fromStdString(withSeparator));
    return;
  }
  generateAllowed_ = true;
  if (!running_) cmdGO->setEnabled(true);  // a run re-enables it when it ends
}

void rtf2htmlTest::cmdDir_Click() {
  txtDir->setText(QString::fromStdString(DIRBrowse()));
}

std::string rtf2htmlTest::DIRBrowse() {
  return BrowseFolderText(*services_.folders);
}

void rtf2htmlTest::cmdPegar_Click() {
  if (running_) return;
  // A clipboard without text empties the box.
  LoadIntoBox(
      [this] {
        return ReadClipboardCopy(std::make_shared<const ClipboardCopy>(*services_.clipboard),
                                 RtfOrPlainText(""));
      },
      false);
  box_->SetFocus();
}

bool rtf2htmlTest::PasteMimeData(const QMimeData& source) {
  if (running_) return true;
  if (RtfFromMimeData(source).empty() && !source.hasHtml() && !source.hasText()) return false;
  LoadIntoBox(
      [&source] {
        return ReadClipboardCopy(std::make_shared<const ClipboardCopy>(MimeClipboard(&source)),
                                 Document{});
      },
      true);
  return true;
}

void rtf2htmlTest::cmdClear_Click() {
  if (running_) return;
  builder_->converter.RtfSource.clear();
  box_->SetTextRTF("");
  box_->SetFocus();
}

bool rtf2htmlTest::LoadBookFile(const std::string& path) {
  if (running_) return false;
  const bool loaded = LoadIntoBox(
      [this, &path] {
        return
            [read = readBook, options = loadOptions, path](const std::function<bool()>& cancelled) {
              LoadOptions cancellable = options;
              cancellable.cancelled = cancelled;
              return read(path, cancellable);
            };
      },
      false);
  if (loaded) box_->SetFocus();
  return loaded;
}

void rtf2htmlTest::OpenBook() {
  if (running_) return;
  if (const std::optional<std::string> path = services_.books->ChooseBook()) LoadBookFile(*path);
}

bool rtf2htmlTest::LoadIntoBox(const std::function<LoadWork()>& prepare, bool atCursor) {
  LoadOutcome outcome;
  {
    RunScope run(*this);
    try {
      BackgroundLoad load(this);
      load_ = &load;
      outcome = load.Run(prepare());
      load_ = nullptr;
      if (outcome.end == LoadEnd::kDone && outcome.book.Ok()) {
        if (atCursor) {
          box_->Paste(outcome.book.document);
        } else {
          box_->SetDocument(outcome.book.document);
        }
        outcome = {};
        ReturnFreedMemory();
        return true;
      }
    } catch (const std::bad_alloc&) {
      load_ = nullptr;
      outcome = {LoadEnd::kOutOfMemory, {}};
    }
  }
  ReturnFreedMemory();
  // After the run, so that the message does not wait under the busy cursor.
  if (outcome.end == LoadEnd::kOutOfMemory) {
    services_.messages->Show(kOutOfMemoryMessage);
  } else if (outcome.end == LoadEnd::kDone) {
    services_.messages->Show(outcome.book.error->message);
  }
  return false;
}

void rtf2htmlTest::dragEnterEvent(QDragEnterEvent* event) {
  if (!running_ && !DroppedFile(*event->mimeData()).empty()) event->acceptProposedAction();
}

void rtf2htmlTest::dropEvent(QDropEvent* event) {
  const std::string path = DroppedFile(*event->mimeData());
  if (path.empty()) return;
  event->acceptProposedAction();
  tbRTF->fileDropHandler(path);
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
  for (const std::string& warning : result.warnings) services_.messages->Show(warning);
  if (result.Ok()) return;
  // A progress dialog above the message would keep it from being answered.
  progress_.reset();
  services_.messages->Show(result.error->message);
}

void rtf2htmlTest::cmdGO_Click() {
  if (running_ || !cmdGO->isEnabled()) return;
  RunScope run(*this);
  // The dialog comes only once the run's checks are passed and pages are being written.
  const GenerateProgress progress{[this](int partCount) { ShowProgress(partCount); },
                                  [this](int partNumber, int) {
                                    if (progress_) progress_->setValue(partNumber);
                                  }};
  Report(builder_->Generate(ReadControls(), progress));
  progress_.reset();
}

void rtf2htmlTest::ShowProgress(int partCount) {
  progress_ = std::make_unique<QProgressDialog>(Caption("Generando páginas / Writing pages…"),
                                                QString(), 0, partCount, this);
  progress_->setWindowTitle(Caption(kWindowCaption));
  progress_->setWindowModality(Qt::WindowModal);
  progress_->setMinimumDuration(400);
  progress_->setAutoClose(false);
}

void rtf2htmlTest::cmdHTML2_Click() {
  if (running_) return;
  RunScope run(*this);
  Report(builder_->Preview(ReadControls()));
}

void rtf2htmlTest::cmdHelp_Click() {
  // Help never converts, so it also works during a debug pause.
  Report(builder_->WriteHelp(ReadControls()));
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
