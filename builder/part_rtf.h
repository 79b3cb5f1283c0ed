// The RTF of a Generate's parts, made ahead on a second thread where the box
// allows it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "richtext/rich_text_box.h"

namespace quillet {

// Where one part lies in the box's text.
struct PartSpan {
  std::int64_t start = 0;
  std::int64_t length = 0;
  std::int64_t end = 0;  // where the next part starts
};

// Gives the parts' RTF in order. Where the box can give a part's RTF from
// another thread, one thread makes it a few parts ahead, so that writing
// RTF overlaps converting it; otherwise each part is selected and read in turn.
class PartRtf {
 public:
  PartRtf(RichTextBox& box, std::vector<PartSpan> spans);
  PartRtf(const PartRtf&) = delete;
  PartRtf& operator=(const PartRtf&) = delete;
  ~PartRtf();

  // Selects part `index` and gives its RTF; parts are asked for in order.
  std::string Take(std::size_t index);

 private:
  void MakeAll();

  RichTextBox& box_;
  const std::vector<PartSpan> spans_;
  const RichTextBox::RangeRtf range_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> made_;
  std::exception_ptr failure_;  // what stopped the second thread
  bool stop_ = false;
  std::thread thread_;  // last: starts once everything it uses exists
};

}  // namespace quillet
