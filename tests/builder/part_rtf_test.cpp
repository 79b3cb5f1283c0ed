// The parts' RTF made ahead on a second thread: the same texts in the same
// order as reading each part in turn, failures passed on, and an early end
// that never waits for parts nobody will take.
#include "builder/part_rtf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "richtext/document_box.h"

namespace quillet {
namespace {

// A box over "abcdefghij" whose range function fails for one start position.
class FailingBox : public DocumentBox {
 public:
  explicit FailingBox(std::int64_t failAt) : failAt_(failAt) { SetPlainText("abcdefghij"); }
  RangeRtf ConcurrentRangeRtf() const override {
    return
        [this, range = DocumentBox::ConcurrentRangeRtf()](std::int64_t start, std::int64_t length) {
          ++made;
          if (start == failAt_) throw std::bad_alloc();
          return range(start, length);
        };
  }
  mutable std::atomic<int> made = 0;

 private:
  std::int64_t failAt_;
};

std::vector<PartSpan> FiveParts() {
  std::vector<PartSpan> spans;
  for (std::int64_t start = 0; start < 10; start += 2) spans.push_back({start, 2, start + 2});
  return spans;
}

// What reading each part in turn through the selection gives.
std::vector<std::string> SelectedInTurn(const std::vector<PartSpan>& spans) {
  DocumentBox box;
  box.SetPlainText("abcdefghij");
  std::vector<std::string> rtf;
  for (const PartSpan& span : spans) {
    box.SetSelStart(span.start);
    box.SetSelLength(span.length);
    rtf.push_back(box.SelRTF());
  }
  return rtf;
}

TEST(PartRtf, PartsMadeAheadAreThePartsSelectedInTurn) {
  FailingBox box(-1);
  PartRtf parts(box, FiveParts());
  const std::vector<std::string> expected = SelectedInTurn(FiveParts());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(parts.Take(i), expected[i]) << "part " << i;
    EXPECT_EQ(box.SelStart(), FiveParts()[i].start);
  }
  EXPECT_EQ(box.made, 5);
}

TEST(PartRtf, FailureOnTheSecondThreadReachesTheTakerOfThatPart) {
  FailingBox box(4);
  PartRtf parts(box, FiveParts());
  EXPECT_EQ(parts.Take(0), SelectedInTurn(FiveParts())[0]);
  EXPECT_EQ(parts.Take(1), SelectedInTurn(FiveParts())[1]);
  EXPECT_THROW(parts.Take(2), std::bad_alloc);
}

TEST(PartRtf, EndingEarlyStopsTheSecondThread) {
  FailingBox box(-1);
  {
    PartRtf parts(box, FiveParts());
    EXPECT_FALSE(parts.Take(0).empty());
  }  // must not wait for parts nobody takes
  EXPECT_LE(box.made, 5);
}

}  // namespace
}  // namespace quillet
