// The window's one exception boundary. Qt cannot carry an exception out of a
// slot or an event handler, and a failure must not cost the user the book in
// the box: every handler runs inside Guarded, which turns whatever it throws
// into a message and leaves the box as it was.
#include "builder/window/handler_boundary.h"

#include <QProgressDialog>
#include <new>

#include "builder/window/main_window.h"
#include "builder/window/qt_rich_text_box.h"

namespace quillet {
namespace {

constexpr const char* kOutOfMemoryMessage =
    "No hay memoria suficiente para este libro; el cuadro queda como estaba / Not enough "
    "memory for this book; the box is left as it was";
constexpr const char* kUnexpectedMessage =
    "Algo falló por un error inesperado; el cuadro queda como estaba / Something failed with "
    "an unexpected error; the box is left as it was";

}  // namespace

std::string FailureMessage(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryMessage;
  } catch (const std::exception& error) {
    const std::string what = error.what();
    return "Algo falló (" + what + "); el cuadro queda como estaba / Something failed (" + what +
           "); the box is left as it was";
  } catch (...) {
  }
  return kUnexpectedMessage;
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
      services_.Messages().Show(FailureMessage(failure));
    } catch (...) {
      // Not even the message could be shown; the window goes on all the same.
    }
  }
  return false;
}

}  // namespace quillet
