// The window's controls: made, placed with their captions and object names,
// set to their start states, and given the caption font that fits them.
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <utility>

#include "builder/window/face_button.h"
#include "builder/window/main_window.h"
#include "builder/window/pictures.h"
#include "builder/window/qt_rich_text_box.h"
#include "builder/window/reader_setting.h"

namespace quillet {
namespace {

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

}  // namespace

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

}  // namespace quillet
