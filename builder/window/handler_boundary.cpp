// The window's one exception boundary. Qt cannot carry an exception out of a
// slot or an event handler, and a failure must not cost the user the book in
// the box: every handler runs inside Guarded, which turns whatever it throws
// into a message and leaves the box as it was.
#include "builder/window/handler_boundary.h"

#include <QProgressDialog>
#include <new>

#include "builder/messages.h"
#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"

namespace quillet {

Status FailureStatus(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return Failure(StatusKind::kOutOfMemory);
  } catch (const std::exception& error) {
    return Failure(StatusKind::kUnexpected, error.what());
  } catch (...) {
  }
  return Failure(StatusKind::kUnexpected);
}

bool rtf2htmlTest::Guarded(const std::function<void()>& handler) noexcept {
  // A run moves the selection part by part; a failed one puts it back.
  std::int64_t selStart = -1;
  std::int64_t selLength = 0;
  try {
    if (box_) {
      selStart = box_->SelStart();
      selLength = box_->SelLength();
    }
    handler();
    return true;
  } catch (...) {
    const std::exception_ptr failure = std::current_exception();
    try {
      // A progress dialog above the message would keep it from being answered.
      progress_.reset();
      if (selStart >= 0 && (box_->SelStart() != selStart || box_->SelLength() != selLength)) {
        box_->SetSelStart(selStart);
        box_->SetSelLength(selLength);
      }
      services_.Messages().Show(Message(FailureStatus(failure)));
    } catch (...) {
      // Not even the message could be shown; the window goes on all the same.
    }
  }
  return false;
}

}  // namespace quillet
