// The part count and the size estimate beside it: the estimated size of a
// part, or in reader mode the part count the builder computes and the budget.
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QThread>
#include <memory>
#include <optional>

#include "builder/messages.h"
#include "builder/text_rules.h"
#include "builder/window/busy_cursor.h"
#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"
#include "builder/window/reader_setting.h"
#include "richtext/rtf_writer.h"

namespace quillet {
namespace {

// Up to this many positions the estimate follows every keystroke; beyond it,
// serialising the book would make typing lag, so it waits for a pause.
constexpr std::int64_t kImmediateEstimateLength = 60'000;
constexpr int kEstimateDelayMs = 300;

}  // namespace

void rtf2htmlTest::ConnectEstimate() {
  estimateTimer_.setSingleShot(true);
  estimateTimer_.setInterval(kEstimateDelayMs);
  connect(&estimateTimer_, &QTimer::timeout, this, [this] { RefreshEstimate(); });
}

void rtf2htmlTest::cboPartes_Click() {
  Guarded([&] {
    PartCount = static_cast<std::int16_t>(cboPartes->currentIndex() + 1);
    RefreshEstimate();
  });
}

void rtf2htmlTest::tbRTF_Change() {
  Guarded([&] {
    PartCount = static_cast<std::int16_t>(cboPartes->currentIndex() + 1);
    if (box_->Length() <= kImmediateEstimateLength) {
      RefreshEstimate();
      return;
    }
    // A stale figure is never shown: the label stays blank until the pause.
    lblKB->clear();
    estimateTimer_.start();
  });
}

void rtf2htmlTest::RefreshEstimate() {
  Guarded([&] {
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
  });
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
  auto model = std::make_shared<const Document>(box_->Read());
  auto length = std::make_shared<std::optional<std::size_t>>();
  QThread* worker = QThread::create([model, length] {
    try {
      *length = WriteRtf(*model).size();
    } catch (...) {
      // Without memory for it, or whatever else stops it, the estimate stays
      // blank: nothing escapes a worker thread.
    }
  });
  ++estimatesMeasured_;
  connect(worker, &QThread::finished, this, [this, worker, length, revision] {
    worker->deleteLater();
    --estimatesMeasured_;
    Guarded([&] {
      if (!*length || !box_->SetRtfLength(revision, **length)) return;
      ShowEstimate(**length);
      ReturnFreedMemory();
    });
  });
  worker->start();
}

// Reader mode computes the part count: the list shows it (adding entries past
// 99 when needed) and the label the budget, until the mode is turned off.
void rtf2htmlTest::ShowReaderEstimate() {
  const Result<int> parts = builder_->CountReaderParts(ReadControls());
  const QSignalBlocker quiet(cboPartes);
  while (cboPartes->count() < parts.value)
    cboPartes->addItem(QString::number(cboPartes->count() + 1));
  if (parts.value > 0) cboPartes->setCurrentIndex(parts.value - 1);
  lblKB->setText(QString::fromStdString(ReaderEstimateText(parts.value, cmdLector->MaxKb())));
  lblKB->setToolTip(QString::fromStdString(Message(parts.status)));
  emit estimateUpdated();
}

void rtf2htmlTest::cmdLector_Click() {
  Guarded([&] {
    if (cmdLector->IsOn()) {
      chosenParts_ = PartCount;
    } else {
      const QSignalBlocker quiet(cboPartes);
      while (cboPartes->count() > MostParts(false)) cboPartes->removeItem(cboPartes->count() - 1);
      cboPartes->setCurrentIndex(chosenParts_ - 1);
      lblKB->setToolTip(QString());
    }
    cboPartes_Click();
  });
}

}  // namespace quillet
