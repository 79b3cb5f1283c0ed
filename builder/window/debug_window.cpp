#include "builder/window/debug_window.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

DebugWindow::DebugWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      dumpView(new QPlainTextEdit(this)),
      htmlView(new QPlainTextEdit(this)),
      continueButton(new QPushButton("Continue", this)),
      runToEndButton(new QPushButton("Run to end", this)) {
  setWindowTitle("Debug Mode");
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (QPlainTextEdit* view : {dumpView, htmlView}) {
    view->setReadOnly(true);
    view->setFont(fixed);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
  }
  htmlView->setLineWrapMode(QPlainTextEdit::WidgetWidth);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(continueButton);
  buttons->addWidget(runToEndButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Estado / State:", this));
  layout->addWidget(dumpView, 3);
  layout->addWidget(new QLabel("HTML:", this));
  layout->addWidget(htmlView, 2);
  layout->addLayout(buttons);
  continueButton->setDefault(true);
  resize(560, 420);

  connect(continueButton, &QPushButton::clicked, this, [this] { Release(false); });
  connect(runToEndButton, &QPushButton::clicked, this, [this] { Release(true); });
}

DebugWindow::~DebugWindow() {
  if (loop_ != nullptr) loop_->quit();
}

void DebugWindow::Pause(Converter& converter, const std::string& dump) {
  if (runToEnd_ || loop_ != nullptr) return;
  ++pauseCount_;
  converter_ = &converter;
  dumpView->setPlainText(QString::fromStdString(dump));
  htmlView->setPlainText(QString::fromStdString(converter.HtmlResult));
  show();
  raise();
  activateWindow();
  continueButton->setFocus();

  QEventLoop loop;
  loop_ = &loop;
  emit pauseChanged(true);
  loop.exec();
  loop_ = nullptr;
  converter_ = nullptr;
  emit pauseChanged(false);
}

void DebugWindow::BeginRun() {
  runToEnd_ = false;
  pauseCount_ = 0;
}

void DebugWindow::EndRun() {
  runToEnd_ = false;
  hide();
}

void DebugWindow::RunToEnd() {
  hide();
  runToEnd_ = true;
  Release(true);
}

void DebugWindow::Release(bool runToEnd) {
  if (loop_ == nullptr) return;
  runToEnd_ = runToEnd;
  converter_->DebugContinue = true;
  loop_->quit();
}

void DebugWindow::closeEvent(QCloseEvent* event) {
  // Closing the window must not leave a conversion stuck in its pause.
  Release(true);
  event->accept();
}

}  // namespace quillet
