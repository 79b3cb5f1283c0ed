#include "builder/default_book/default_generation.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/default_book/back_half.h"
#include "builder/text_rules.h"
#include "converter/page_frame.h"

namespace quillet {
namespace {

constexpr std::string_view kIndexHead =
    "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n"
    "<HTML>\r\n"
    "<HEAD>\r\n"
    "<TITLE>:: INDICE ::</TITLE>\r\n"
    "INDICE<br><br>\r\n";
constexpr std::string_view kIndexFoot = "</BODY>\r\n\r\n</html>";

// The "00" pattern: at least two digits.
std::string TwoDigits(int number) {
  return (number >= 0 && number < 10 ? "0" : "") + std::to_string(number);
}

// Integer division rounded to nearest, halves to the even neighbour, exact
// for lengths a double cannot hold.
std::int64_t DivideHalfEven(std::int64_t dividend, std::int64_t divisor) {
  const std::int64_t quotient = dividend / divisor;
  const std::int64_t twiceRest = 2 * (dividend % divisor);
  if (twiceRest > divisor || (twiceRest == divisor && quotient % 2 != 0)) return quotient + 1;
  return quotient;
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Where a part ends: a boundary between the two halves of a surrogate pair
// moves past the second, so that no character is cut in two.
std::int64_t PartBoundary(const RichTextBox::TextReader& text, std::int64_t position) {
  const bool insidePair = position > 0 && position < text.Length() &&
                          IsHighSurrogate(text.At(position - 1)) &&
                          IsLowSurrogate(text.At(position));
  return insidePair ? position + 1 : position;
}

// Where each part lies: from where the one before ended to its boundary;
// the last part runs to the end of the text, so a rounded-down length loses nothing.
std::vector<PartSpan> PartSpans(const RichTextBox::TextReader& text, const RunValues& values,
                                int partCount) {
  std::vector<PartSpan> spans;
  std::int64_t start = 0;
  for (int part = 1; part <= partCount; ++part) {
    const std::int64_t end = PartBoundary(text, part * values.PartLength);
    const bool last = part == partCount;
    spans.push_back(
        {start, last && values.TextLength > end ? values.TextLength - start : end - start, end});
    start = end;
  }
  return spans;
}

// Parts [from, to) converted in turn for the state they leave, each selected
// as converting it would select it; the selection is then put back.
void ConvertInTurn(RichTextBox& box, Converter& converter, const std::vector<PartSpan>& spans,
                   std::size_t from, std::size_t to) {
  const std::int64_t selStart = box.SelStart();
  const std::int64_t selLength = box.SelLength();
  for (std::size_t index = from; index < to; ++index) {
    box.SetSelStart(spans[index].start);
    box.SetSelLength(spans[index].length);
    converter.RtfSource = box.SelRTF();
    converter.HtmlResult = ConvertedPart(converter, converter.RtfSource, kConvertOptions);
  }
  box.SetSelStart(selStart);
  box.SetSelLength(selLength);
}

// The index page linking parts 1 to `partCount`, without the line end its write adds.
std::string IndexPage(std::string_view prefix, int partCount) {
  const std::string shown = ShownPrefix(prefix);
  const std::string target = LinkPrefix(prefix);
  std::string page(kIndexHead);
  for (int part = 1; part <= partCount; ++part) {
    const std::string number = TwoDigits(part);
    page += "<a href=\" " + target + number + ".html\">" + shown + number + "</a> <br>\r\n";
  }
  return page += kIndexFoot;
}

}  // namespace

Status GenerateDefaultBook(RichTextBox& box, Converter& converter, const BookRequest& request,
                           const GenerateProgress& progress, Generation& run) {
  RunValues& values = run.values;
  PageSet& pages = run.pages;
  const int partCount = request.partCount;
  values.PartStart = 0;
  converter.FilePrefix = TitlePrefix(request.prefix);
  const std::unique_ptr<const RichTextBox::TextReader> text = box.ReadText();
  values.TextLength = text->Length();
  values.PartLength = DivideHalfEven(values.TextLength, partCount);
  // A text shorter than the part count still moves forward part by part.
  if (values.TextLength > 0 && values.PartLength == 0) values.PartLength = 1;
  // The first split point moves to the first space at or after it, found in
  // the text as it lies: where selecting one character after another would stop.
  if (partCount != 1 && values.PartLength < values.TextLength) {
    const std::int64_t space = text->Find(u' ', values.PartLength);
    if (space >= 0) values.PartLength = space;
  }
  const std::vector<PartSpan> spans = PartSpans(*text, values, partCount);

  if (Status status = pages.Lock(request.folder); !status.ok()) return status;
  pages.Protect(request.bookFile);
  if (progress.started) progress.started(partCount);
  // A debug trace shows the conversions one after another.
  const std::size_t front = converter.DebugMode ? 0 : FrontPartCount(partCount);
  BackHalf back(box.ConcurrentRangeRtf(), spans, front, converter, kConvertOptions);
  bool taking = false;  // the back half's pages come from the second thread
  for (std::size_t index = 0; index < spans.size(); ++index) {
    values.PartNumber = static_cast<std::int16_t>(index + 1);
    box.SetSelStart(spans[index].start);
    box.SetSelLength(spans[index].length);
    if (index == front && back.Started()) taking = back.Agrees(converter);
    std::optional<std::string> made = taking ? back.Take(index) : std::nullopt;
    if (taking && !made) {
      ConvertInTurn(box, converter, spans, front, index);
      taking = false;
    }
    // The part goes in and out through the converter's hand-over variables.
    const bool last = index + 1 == spans.size();
    if (!made || last) converter.RtfSource = box.SelRTF();
    converter.HtmlResult =
        made ? std::move(*made) : ConvertedPart(converter, converter.RtfSource, kConvertOptions);
    values.OutputPath = request.folder + request.prefix + TwoDigits(values.PartNumber) + ".html";
    Status status = FolderExists(request.folder) ? Status{} : Failure(StatusKind::kMissingFolder);
    if (status.ok()) status = WriteConvertedPage(values.OutputPath, converter, &pages);
    if (!status.ok()) {
      // A run stopped here leaves the converter as converting in turn would.
      if (taking) ConvertInTurn(box, converter, spans, front, index + 1);
      return status;
    }
    values.PartStart = spans[index].end;
    if (progress.partWritten) progress.partWritten(values.PartNumber, partCount);
  }
  if (taking) converter.TakeStateOf(back.TakeFork());
  values.PartNumber = static_cast<std::int16_t>(partCount + 1);

  if (partCount > 1) {
    values.OutputPath = request.folder + request.prefix + ".html";
    const std::string index = IndexPage(request.prefix, partCount);
    if (Status status = WriteTextFile(values.OutputPath, index, &pages); !status.ok()) {
      return status;
    }
  }
  if (Status status = pages.Commit(); !status.ok()) return status;
  run.opened = pages.Paths();
  return {};
}

Status WriteConvertedPage(const std::string& path, const Converter& converter, PageSet* set) {
  PageFile page(set);
  Status status = page.OpenPageFile(path);
  if (status.ok()) status = page.WritePageText(PageHeader(converter.FilePrefix), false);
  if (status.ok()) status = page.WritePageText(converter.HtmlResult, false);
  if (status.ok()) status = page.WritePageText(PageFooter(), false);
  if (status.ok()) status = page.ClosePageFile();
  return status;
}

bool FolderExists(const std::string& folder) {
  // An empty folder text would name the working folder, which nobody chose.
  return !folder.empty() && !ProbePath(folder, kDirectoryAttribute).empty();
}

}  // namespace quillet
