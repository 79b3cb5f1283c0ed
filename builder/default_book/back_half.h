// The back half of a book's parts converted on a second thread while this
// thread converts the front half and writes the pages.
//
// It earns its place: paired whole-process runs of `quillet book --parts 99`
// against converting every part in turn (release build, pages in tmpfs, two
// cores) gave a median wall time of 0.81 on a 5 MB LibreOffice RTF (30 pairs)
// and 0.69 on a 10 MB rich-edit RTF (10 pairs), for 5 to 9 % more cpu time.
//
// A page depends only on its part's RTF and on the state the converter hands
// on from the part before. The second thread works on a fork of the
// converter and first converts the front half's last part, guessing that it
// then holds the state the whole front half hands on. Its pages are used only
// when the guess holds; otherwise the back half is converted in turn.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// Where one part lies in the box's text.
struct PartSpan {
  std::int64_t start = 0;
  std::int64_t length = 0;
  std::int64_t end = 0;  // where the next part starts
};

class BackHalf {
 public:
  // Converts spans[front] to the last span on a second thread; starts nothing
  // when `range` is empty, `front` leaves no front half or no thread can start.
  BackHalf(RichTextBox::RangeRtf range, std::vector<PartSpan> spans, std::size_t front,
           const Converter& converter, std::string_view options);
  BackHalf(const BackHalf&) = delete;
  BackHalf& operator=(const BackHalf&) = delete;
  ~BackHalf();

  bool Started() const { return thread_.joinable(); }
  // Once `converter` has converted the front half: whether it hands on the
  // state the fork started the back half from. When not, the thread stops.
  bool Agrees(const Converter& converter);
  // Part `index`'s page body once the thread made it, taken out of the
  // thread's hands; nothing when the thread failed before it.
  std::optional<std::string> Take(std::size_t index);
  // The fork, holding the state the last part left, once every part is taken.
  Converter TakeFork();

 private:
  void ConvertAll();
  void Stop();

  const RichTextBox::RangeRtf range_;
  const std::vector<PartSpan> spans_;
  const std::size_t front_;
  const std::string options_;
  Converter fork_;
  Converter warmedState_;  // the fork's state as the back half starts

  std::mutex mutex_;
  std::condition_variable changed_;
  bool warmedUp_ = false;          // warmedState_ holds the state after the front half's last part
  std::vector<std::string> made_;  // page bodies by part, taken ones emptied
  std::size_t madeCount_ = 0;      // parts from the front on that are in made_
  std::size_t heldBytes_ = 0;      // of the pages made and not yet taken
  bool failed_ = false;
  bool stop_ = false;
  std::thread thread_;  // last: starts once everything it uses exists
};

// How many of `partCount` parts the thread that writes the pages converts
// itself: half, rounded down, which measured best although writing them all
// is its work too (the other thread converts one part more, to start); 0 when
// a book this small is not worth a second thread.
std::size_t FrontPartCount(int partCount);

// A part's page body: an empty part is still a page, so that its index link
// opens this book, but it is not converted and leaves the converter alone.
std::string ConvertedPart(Converter& converter, std::string_view rtf, std::string_view options);

}  // namespace quillet
