#include "builder/back_half.h"

#include <system_error>
#include <utility>

#include "builder/page_files.h"

namespace quillet {
namespace {

// Pages made and not yet written, in bytes of RTF and HTML: the front half
// takes long enough that a big book's back half would otherwise be held whole.
constexpr std::size_t kMostBytesHeld = 64u << 20;
// Below this many parts a second thread costs more than it saves.
constexpr int kFewestPartsToSplit = 4;

}  // namespace

std::string ConvertedPart(Converter& converter, std::string_view rtf, std::string_view options) {
  return rtf.empty() ? std::string() : converter.ConvertRtfToHtml(rtf, options);
}

std::size_t FrontPartCount(int partCount) {
  if (partCount < kFewestPartsToSplit) return 0;
  return static_cast<std::size_t>(partCount) * 45 / 100;
}

BackHalf::BackHalf(RichTextBox::RangeRtf range, const std::vector<PartSpan>& spans,
                   std::size_t first, const Converter& converter, std::string_view options)
    : range_(std::move(range)),
      spans_(spans),
      first_(first),
      options_(options),
      fork_(converter.Fork()) {
  if (!range_ || first_ == 0 || first_ >= spans_.size()) return;
  try {
    thread_ = ThreadWithoutTermination([this] { ConvertAll(); });
  } catch (const std::system_error&) {
    // No thread to spare: the back half is converted in turn.
  }
}

BackHalf::~BackHalf() {
  Stop();
}

void BackHalf::Stop() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

BackHalf::Part BackHalf::Convert(const PartSpan& span) {
  Part part{range_(span.start, span.length), {}};
  part.html = ConvertedPart(fork_, part.rtf, options_);
  return part;
}

void BackHalf::ConvertAll() {
  try {
    Convert(spans_[first_ - 1]);
    {
      const std::lock_guard lock(mutex_);
      warmedState_ = fork_.Fork();
      warmedUp_ = true;
    }
    changed_.notify_all();
    for (std::size_t index = first_; index < spans_.size(); ++index) {
      if (!Hand(Convert(spans_[index]))) return;
    }
  } catch (...) {
    const std::lock_guard lock(mutex_);
    failure_ = std::current_exception();
    changed_.notify_all();
  }
}

// False once the thread is told to stop.
bool BackHalf::Hand(Part part) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return heldBytes_ < kMostBytesHeld || made_.empty() || stop_; });
  if (stop_) return false;
  heldBytes_ += part.rtf.size() + part.html.size();
  made_.push_back(std::move(part));
  changed_.notify_all();
  return true;
}

bool BackHalf::Agrees(const Converter& converter) {
  if (!Started()) return false;
  bool agrees = false;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return warmedUp_ || failure_; });
    agrees = warmedUp_ && converter.HandsOnSameStateAs(warmedState_);
  }
  if (!agrees) Stop();
  return agrees;
}

BackHalf::Part BackHalf::Take() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !made_.empty() || failure_; });
  if (made_.empty()) std::rethrow_exception(failure_);
  Part part = std::move(made_.front());
  made_.pop_front();
  heldBytes_ -= part.rtf.size() + part.html.size();
  changed_.notify_all();
  return part;
}

}  // namespace quillet
