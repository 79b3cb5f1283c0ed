#include "builder/default_book/back_half.h"

#include <system_error>
#include <utility>

#include "builder/page_files.h"

namespace quillet {
namespace {

// Page bodies made and not yet written: the front half takes longer than the
// back half, so a big book's back half would otherwise be held whole.
constexpr std::size_t kMostBytesHeld = 64u << 20;
// Below this many parts a second thread costs more than it saves.
constexpr int kFewestPartsToSplit = 4;

}  // namespace

std::string ConvertedPart(Converter& converter, std::string_view rtf, std::string_view options) {
  return rtf.empty() ? std::string() : converter.ConvertRtfToHtml(rtf, options);
}

std::size_t FrontPartCount(int partCount) {
  if (partCount < kFewestPartsToSplit) return 0;
  return static_cast<std::size_t>(partCount) * 50 / 100;
}

BackHalf::BackHalf(RichTextBox::RangeRtf range, std::vector<PartSpan> spans, std::size_t front,
                   const Converter& converter, std::string_view options)
    : range_(std::move(range)),
      spans_(std::move(spans)),
      front_(front),
      options_(options),
      fork_(converter.Fork()),
      made_(spans_.size()) {
  if (!range_ || front_ == 0 || front_ >= spans_.size()) return;
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

void BackHalf::ConvertAll() {
  try {
    const auto convert = [this](std::size_t index) {
      std::string rtf = range_(spans_[index].start, spans_[index].length);
      return rtf.empty() ? std::string() : fork_.ConvertRtfToHtmlInPlace(std::move(rtf), options_);
    };
    convert(front_ - 1);
    Converter warmed = fork_.Fork();
    {
      const std::lock_guard lock(mutex_);
      warmedState_ = std::move(warmed);
      warmedUp_ = true;
    }
    changed_.notify_all();
    for (std::size_t index = front_; index < spans_.size(); ++index) {
      std::string html = convert(index);
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return heldBytes_ < kMostBytesHeld || stop_; });
      if (stop_) return;
      heldBytes_ += html.size();
      made_[index] = std::move(html);
      ++madeCount_;
      changed_.notify_all();
    }
  } catch (...) {
    // Whatever stopped the thread, the parts it did not make are converted in turn.
    const std::lock_guard lock(mutex_);
    failed_ = true;
    changed_.notify_all();
  }
}

bool BackHalf::Agrees(const Converter& converter) {
  if (!Started()) return false;
  bool agrees = false;
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return warmedUp_ || failed_; });
    agrees = warmedUp_ && converter.HandsOnSameStateAs(warmedState_);
  }
  if (!agrees) Stop();
  return agrees;
}

std::optional<std::string> BackHalf::Take(std::size_t index) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return front_ + madeCount_ > index || failed_; });
  if (front_ + madeCount_ <= index) return std::nullopt;
  std::string html = std::move(made_[index]);
  heldBytes_ -= html.size();
  changed_.notify_all();
  return html;
}

Converter BackHalf::TakeFork() {
  if (thread_.joinable()) thread_.join();
  return std::move(fork_);
}

}  // namespace quillet
