#include "builder/part_rtf.h"

#include <system_error>
#include <utility>

#include "builder/page_files.h"

namespace quillet {
namespace {

// Parts made and not yet taken: enough to keep the conversion fed, few enough
// that a big book is never held twice.
constexpr std::size_t kPartsAhead = 2;

}  // namespace

PartRtf::PartRtf(RichTextBox& box, std::vector<PartSpan> spans)
    : box_(box), spans_(std::move(spans)), range_(box.ConcurrentRangeRtf()) {
  if (!range_ || spans_.size() < 2) return;
  try {
    thread_ = ThreadWithoutTermination([this] { MakeAll(); });
  } catch (const std::system_error&) {
    // No thread to spare: each part is read when it is asked for.
  }
}

PartRtf::~PartRtf() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void PartRtf::MakeAll() {
  for (const PartSpan& span : spans_) {
    std::string rtf;
    try {
      rtf = range_(span.start, span.length);
    } catch (...) {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
      changed_.notify_all();
      return;
    }
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return made_.size() < kPartsAhead || stop_; });
    if (stop_) return;
    made_.push_back(std::move(rtf));
    changed_.notify_all();
  }
}

std::string PartRtf::Take(std::size_t index) {
  const PartSpan& span = spans_.at(index);
  box_.SetSelStart(span.start);
  box_.SetSelLength(span.length);
  if (!thread_.joinable()) return box_.SelRTF();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !made_.empty() || failure_; });
  if (made_.empty()) std::rethrow_exception(failure_);
  std::string rtf = std::move(made_.front());
  made_.pop_front();
  changed_.notify_all();
  return rtf;
}

}  // namespace quillet
