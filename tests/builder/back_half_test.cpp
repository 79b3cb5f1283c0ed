// A book's back half converted on a second thread: the same pages, and the
// converter and the box left in the same state, as converting every part in turn.
#include "builder/default_book/back_half.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "builder/book_builder.h"
#include "builder/book_request.h"
#include "richtext/document_box.h"
#include "richtext/rtf_writer.h"
#include "tests/builder/fakes.h"
#include "tests/builder/generated_book.h"
#include "tests/builder/page_text.h"
#include "tests/test_folder.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

struct BookCase {
  const char* name;
  const char* file;  // under the source folder; none: a generated book
  int parts;
  bool agrees;  // the second thread's guess holds for even parts
};

void PrintTo(const BookCase& row, std::ostream* out) {
  *out << row.name;
}

std::string BookName(const ::testing::TestParamInfo<BookCase>& info) {
  return info.param.name;
}

std::string BookRtf(const BookCase& row) {
  if (row.file == nullptr) return WriteRtf(testing::GeneratedBook(60'000));
  return testing::FileBytes(fs::path(QUILLET_SOURCE_DIR) / row.file);
}

// Books whose back half the converter reaches in the state the second thread
// guessed, and books where it does not (a Word file whose parts leave colours
// and sizes behind), so that both ways are taken.
const auto kBooks = ::testing::Values(
    BookCase{"WordFileInFourParts", "tests/richtext/data/word_sample.rtf", 4, false},
    BookCase{"WordFileInTwentyThreeParts", "tests/richtext/data/word_sample.rtf", 23, false},
    BookCase{"LibreOfficeFileInNinetyNineParts", "tests/reader/data/libreoffice_tide_clock.rtf", 99,
             false},
    BookCase{"PandocFileInSevenParts", "tests/richtext/data/pandoc_sample.rtf", 7, true},
    BookCase{"GeneratedBookInNinetyNineParts", nullptr, 99, true},
    BookCase{"GeneratedBookInFiveParts", nullptr, 5, true});

std::vector<PartSpan> EvenSpans(std::int64_t length, int parts) {
  std::vector<PartSpan> spans;
  for (int part = 0; part < parts; ++part) {
    const std::int64_t start = length * part / parts;
    const std::int64_t end = length * (part + 1) / parts;
    spans.push_back({start, end - start, end});
  }
  return spans;
}

class BackHalfTest : public ::testing::TestWithParam<BookCase> {};

TEST_P(BackHalfTest, GivesThePagesConvertingInTurnGivesWhenTheStatesAgree) {
  DocumentBox box;
  box.SetTextRTF(BookRtf(GetParam()));
  const RichTextBox::RangeRtf range = box.ConcurrentRangeRtf();
  const std::vector<PartSpan> spans =
      EvenSpans(static_cast<std::int64_t>(box.Text().size()), GetParam().parts);
  const std::size_t front = FrontPartCount(GetParam().parts);
  ASSERT_GT(front, 0u);

  Converter inTurn;
  std::vector<std::string> rtfs;
  std::vector<std::string> htmls;
  for (const PartSpan& span : spans) {
    rtfs.push_back(range(span.start, span.length));
    htmls.push_back(ConvertedPart(inTurn, rtfs.back(), kConvertOptions));
  }

  Converter converter;
  BackHalf back(range, spans, front, converter, kConvertOptions);
  ASSERT_TRUE(back.Started());
  for (std::size_t index = 0; index < front; ++index) {
    ConvertedPart(converter, rtfs[index], kConvertOptions);
  }
  // The guess: the front half's last part converted from the state the run started in.
  Converter guess;
  ConvertedPart(guess, rtfs[front - 1], kConvertOptions);
  const bool agrees = back.Agrees(converter);
  EXPECT_EQ(agrees, guess.HandsOnSameStateAs(converter));
  EXPECT_EQ(agrees, GetParam().agrees);
  if (!agrees) return;
  for (std::size_t index = front; index < spans.size(); ++index) {
    EXPECT_EQ(back.Take(index), htmls[index]) << "part " << index + 1;
  }
  EXPECT_TRUE(back.TakeFork().HandsOnSameStateAs(inTurn));
}

INSTANTIATE_TEST_SUITE_P(Books, BackHalfTest, kBooks, BookName);

// A box that offers no second thread, as the window's: every part in turn.
class InTurnBox : public DocumentBox {
 public:
  RangeRtf ConcurrentRangeRtf() const override { return {}; }
};

// One builder over a box, writing into a folder of its own.
struct BookRun {
  BookRun(const fs::path& out, std::unique_ptr<DocumentBox> ownBox)
      : folder(out.string() + "/"), box(std::move(ownBox)) {
    fs::create_directories(out);
    request.folder = folder;
  }
  BookResult Generate(const std::string& rtf, int parts) {
    box->SetTextRTF(rtf);
    request.partCount = parts;
    return builder.Generate(request);
  }

  std::string folder;
  std::unique_ptr<DocumentBox> box;
  testing::RecordingOpener opener;
  BookBuilder builder{*box, opener};
  BookRequest request;
};

class TwoHalvesTest : public ::testing::TestWithParam<BookCase> {
 protected:
  void TearDown() override { testing::RemoveTestFolder(root); }

  // The two runs left everything alike: pages, values, converter, selection.
  static void ExpectAlike(const BookRun& halves, const BookRun& inTurn) {
    for (const auto& entry : fs::directory_iterator(inTurn.folder)) {
      if (!entry.is_regular_file()) continue;
      const std::string name = entry.path().filename().string();
      EXPECT_EQ(testing::FileBytes(halves.folder + name), testing::FileBytes(entry.path())) << name;
    }
    const RunValues& a = halves.builder.LastRun();
    const RunValues& b = inTurn.builder.LastRun();
    EXPECT_EQ(a.PartNumber, b.PartNumber);
    EXPECT_EQ(a.PartStart, b.PartStart);
    EXPECT_EQ(a.PartLength, b.PartLength);
    EXPECT_EQ(a.OutputPath.substr(halves.folder.size()), b.OutputPath.substr(inTurn.folder.size()));
    EXPECT_EQ(halves.builder.converter.RtfSource, inTurn.builder.converter.RtfSource);
    EXPECT_EQ(halves.builder.converter.HtmlResult, inTurn.builder.converter.HtmlResult);
    EXPECT_TRUE(halves.builder.converter.HandsOnSameStateAs(inTurn.builder.converter));
    EXPECT_EQ(halves.box->SelStart(), inTurn.box->SelStart());
    EXPECT_EQ(halves.box->SelLength(), inTurn.box->SelLength());
  }

  const fs::path root = testing::TestFolder("halves");
};

TEST_P(TwoHalvesTest, BookAndTheRunAfterItMatchARunInTurn) {
  BookRun halves(root / "halves", std::make_unique<DocumentBox>());
  BookRun inTurn(root / "in-turn", std::make_unique<InTurnBox>());
  const std::string rtf = BookRtf(GetParam());
  const std::string next =
      testing::FileBytes(fs::path(QUILLET_SOURCE_DIR) / "tests/richtext/data/textedit_sample.rtf");
  for (const std::string* book : {&rtf, &next}) {
    ASSERT_TRUE(halves.Generate(*book, GetParam().parts).ok());
    ASSERT_TRUE(inTurn.Generate(*book, GetParam().parts).ok());
    ExpectAlike(halves, inTurn);
  }
}

INSTANTIATE_TEST_SUITE_P(Books, TwoHalvesTest, kBooks, BookName);

// A run stopped at a page of the back half leaves the converter where a run in
// turn stopped there leaves it, ready for the next run.
TEST_F(TwoHalvesTest, RunStoppedInTheBackHalfMatchesARunInTurn) {
  BookRun halves(root / "halves", std::make_unique<DocumentBox>());
  BookRun inTurn(root / "in-turn", std::make_unique<InTurnBox>());
  const std::string book = WriteRtf(testing::GeneratedBook(60'000));
  for (const BookRun* run : {&halves, &inTurn}) {
    fs::create_directory(run->folder + "Rerud80.html");  // a name that cannot become a file
  }
  ASSERT_FALSE(halves.Generate(book, 99).ok());
  ASSERT_FALSE(inTurn.Generate(book, 99).ok());
  EXPECT_EQ(halves.builder.LastRun().PartNumber, 80);
  ExpectAlike(halves, inTurn);
}

// A part the second thread cannot make is made in turn by the one who takes
// it; one it cannot make before the back half starts sends the whole back
// half in turn.
TEST(BackHalfFailure, LeavesThePartsItCannotMakeToTheTaker) {
  const std::vector<PartSpan> spans = EvenSpans(40, 4);  // front: part 1
  struct Row {
    const char* name;
    std::int64_t failingStart;
    bool agrees;
  };
  for (const Row& row : {Row{"FrontHalfsLastPart", 0, false}, Row{"BackHalfPart", 20, true}}) {
    const RichTextBox::RangeRtf range = [&row](std::int64_t start, std::int64_t) -> std::string {
      if (start == row.failingStart) throw std::runtime_error("no room");
      return "{\\rtf1 x}";
    };
    Converter converter;
    BackHalf back(range, spans, 1, converter, kConvertOptions);
    converter.ConvertRtfToHtml("{\\rtf1 x}", kConvertOptions);
    ASSERT_EQ(back.Agrees(converter), row.agrees) << row.name;
    if (!row.agrees) continue;
    EXPECT_EQ(back.Take(1), "x") << row.name;
    EXPECT_EQ(back.Take(2), std::nullopt) << row.name;
  }
}

}  // namespace
}  // namespace quillet
