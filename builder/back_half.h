// The back half of a Generate's parts, converted on a second thread while the
// front half is converted in turn.
//
// A page depends only on its part's RTF and on the state the converter hands
// on from the part before. The second thread works on a fork of the
// converter, and first converts the front half's last part, so that it
// starts the back half from the state that part leaves. Its pages are kept
// only when, the front half done, the converter hands on that same state;
// otherwise the back half is converted in turn after all.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "builder/part_rtf.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

class BackHalf {
 public:
  struct Part {
    std::string rtf;
    std::string html;
  };

  // Converts spans[first] to the last span on a second thread; starts nothing
  // when `first` leaves no front half or no thread can be started.
  BackHalf(RichTextBox::RangeRtf range, const std::vector<PartSpan>& spans, std::size_t first,
           const Converter& converter, std::string_view options);
  BackHalf(const BackHalf&) = delete;
  BackHalf& operator=(const BackHalf&) = delete;
  ~BackHalf();

  bool Started() const { return thread_.joinable(); }
  // Once `converter` has converted the front half: whether it hands on the
  // state the fork started the back half from. When not, the thread is stopped.
  bool Agrees(const Converter& converter);
  // The next part of the back half, in order, once Agrees has said yes.
  Part Take();
  // The fork, holding the state the last part left, once every part is taken.
  Converter& Fork() { return fork_; }

 private:
  void ConvertAll();
  Part Convert(const PartSpan& span);
  bool Hand(Part part);
  void Stop();

  const RichTextBox::RangeRtf range_;
  const std::vector<PartSpan> spans_;
  const std::size_t first_;
  const std::string options_;
  Converter fork_;
  Converter warmedState_;  // the fork's state as the back half starts

  std::mutex mutex_;
  std::condition_variable changed_;
  bool warmedUp_ = false;  // warmedState_ holds the state after the front half's last part
  std::deque<Part> made_;
  std::size_t heldBytes_ = 0;
  std::exception_ptr failure_;  // what stopped the second thread
  bool stop_ = false;
  std::thread thread_;  // last: starts once everything it uses exists
};

// A part's page body: an empty part is still a page, so that its index link
// opens this book, but it is not converted and leaves the converter alone.
std::string ConvertedPart(Converter& converter, std::string_view rtf, std::string_view options);

// How many parts of `partCount` the thread that writes the pages converts
// itself: a little under half, as writing them all is its work too; 0 when a
// book this small is not worth a second thread.
std::size_t FrontPartCount(int partCount);

}  // namespace quillet
