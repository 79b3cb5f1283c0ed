// Books into the box: a paste, a book file opened with Ctrl+O, dropped on the
// window or named on the command line. Each is read on a worker while the
// window waits in a nested event loop, then put into the box whole or at the cursor.
#include <malloc.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScopeGuard>
#include <QTimer>
#include <memory>
#include <optional>
#include <utility>

#include "builder/book_input.h"
#include "builder/messages.h"
#include "builder/window/main_window.h"
#include "builder/window/qt_platform.h"
#include "builder/window/qt_rich_text_box.h"
#include "builder/window/run_scope.h"

namespace quillet {
namespace {

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

void rtf2htmlTest::ReturnFreedMemory() {
  malloc_trim(0);
}

void rtf2htmlTest::cmdPegar_Click() {
  Guarded([&] {
    if (running_) return;
    // A clipboard without text empties the box.
    LoadIntoBox(
        [this] {
          return ReadClipboardCopy(
              std::make_shared<const ClipboardCopy>(services_.SystemClipboard()),
              RtfOrPlainText(""));
        },
        false);
    box_->SetFocus();
  });
}

bool rtf2htmlTest::PasteMimeData(const QMimeData& source) {
  // Taken also when it fails: the message says so, and the editor must not
  // insert it behind the message's back.
  bool taken = true;
  Guarded([&] {
    if (running_) return;
    if (RtfFromMimeData(source).empty() && !source.hasHtml() && !source.hasText()) {
      taken = false;
      return;
    }
    LoadIntoBox(
        [&source] {
          return ReadClipboardCopy(std::make_shared<const ClipboardCopy>(MimeClipboard(&source)),
                                   Document{});
        },
        true);
  });
  return taken;
}

bool rtf2htmlTest::LoadBookFile(const std::string& path) {
  bool loaded = false;
  Guarded([&] {
    if (running_) return;
    loaded = LoadIntoBox(
        [this, &path] {
          return [read = readBook, options = loadOptions,
                  path](const std::function<bool()>& cancelled) {
            LoadOptions cancellable = options;
            cancellable.cancelled = cancelled;
            return read(path, cancellable);
          };
        },
        false);
    if (loaded) box_->SetFocus();
  });
  return loaded;
}

void rtf2htmlTest::OpenBook() {
  Guarded([&] {
    if (running_) return;
    if (const std::optional<std::string> path = services_.Books().ChooseBook()) LoadBookFile(*path);
  });
}

bool rtf2htmlTest::LoadIntoBox(const std::function<LoadWork()>& prepare, bool atCursor) {
  // Also when the load fails, before the handler's boundary shows why.
  const auto returnMemory = qScopeGuard([] { ReturnFreedMemory(); });
  LoadedBook loaded;
  {
    RunScope run(*this);
    BackgroundLoad load(this);
    load_ = &load;
    const auto forgetLoad = qScopeGuard([this] { load_ = nullptr; });
    loaded = load.Run(prepare());
    if (loaded.ok()) {
      if (atCursor) {
        box_->Paste(loaded.value);
      } else {
        box_->SetDocument(loaded.value);
      }
      loaded = {};
      return true;
    }
  }
  // After the run, so that the message does not wait under the busy cursor;
  // a load the user cancelled needs none.
  if (loaded.status.kind != StatusKind::kCancelled) {
    services_.Messages().Show(Message(loaded.status));
  }
  return false;
}

void rtf2htmlTest::dragEnterEvent(QDragEnterEvent* event) {
  Guarded([&] {
    if (!running_ && !DroppedFile(*event->mimeData()).empty()) AcceptAsCopy(*event);
  });
}

void rtf2htmlTest::dropEvent(QDropEvent* event) {
  Guarded([&] {
    const std::string path = DroppedFile(*event->mimeData());
    if (path.empty()) return;
    AcceptAsCopy(*event);
    tbRTF->fileDropHandler(path);
  });
}

}  // namespace quillet
