#include "builder/window/background_load.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <exception>
#include <utility>

#include "builder/window/handler_boundary.h"

namespace quillet {
namespace {

// A load that ends sooner than this is over before anyone could press Cancel.
constexpr int kProgressDelayMs = 500;

}  // namespace

// What the worker and the window both hold: the worker may outlive a
// cancelled wait, and even the window.
struct BackgroundLoad::Shared {
  std::atomic<bool> cancelled = false;
  LoadedBook book;
  std::exception_ptr failure;
};

LoadedBook BackgroundLoad::Run(LoadWork work) {
  auto shared = std::make_shared<Shared>();
  QThread* worker = QThread::create([shared, work = std::move(work)] {
    try {
      shared->book = work([&shared] { return shared->cancelled.load(); });
    } catch (...) {
      // Nothing may leave a thread; the window's thread takes it up.
      shared->book = {};
      shared->failure = std::current_exception();
    }
  });
  QEventLoop loop;
  QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
  QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
  stopWaiting_ = [&loop, shared] {
    shared->cancelled = true;
    loop.quit();
  };

  std::unique_ptr<QProgressDialog> progress;
  QTimer showProgress;
  showProgress.setSingleShot(true);
  QObject::connect(&showProgress, &QTimer::timeout, &loop, [this, &progress] {
    progress =
        std::make_unique<QProgressDialog>(QString::fromUtf8("Leyendo el libro / Reading the book…"),
                                          QString::fromUtf8("Cancelar / Cancel"), 0, 0, owner_);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(0);
    progress->setAutoClose(false);
    QObject::connect(progress.get(), &QProgressDialog::canceled, [this] { Cancel(); });
    progress->show();
  });
  showProgress.start(kProgressDelayMs);
  worker->start();
  loop.exec();
  stopWaiting_ = nullptr;
  if (shared->cancelled) return {{}, Failure(StatusKind::kCancelled)};
  if (shared->failure) return {{}, FailureStatus(shared->failure)};
  return std::move(shared->book);
}

void BackgroundLoad::Cancel() {
  if (stopWaiting_) stopWaiting_();
}

}  // namespace quillet
