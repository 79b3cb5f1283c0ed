#include "builder/default_book/default_generation.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

  if (Status status = pages.Lock(request.folder); !status.ok()) return status;
  pages.Protect(request.bookFile);
  if (progress.started) progress.started(partCount);
  for (int part = 1; part <= partCount; ++part) {
    values.PartNumber = static_cast<std::int16_t>(part);
    // The last part runs to the end of the text, so a rounded-down length loses nothing.
    const std::int64_t end = PartBoundary(*text, part * values.PartLength);
    const bool last = part == partCount;
    box.SetSelStart(values.PartStart);
    box.SetSelLength(last && values.TextLength > end ? values.TextLength - values.PartStart
                                                     : end - values.PartStart);
    // The part goes in and out through the converter's hand-over variables. An
    // empty part is still a page, so that its index link opens this book, but
    // it is not converted and leaves the converter alone.
    converter.RtfSource = box.SelRTF();
    converter.HtmlResult = converter.RtfSource.empty()
                               ? std::string()
                               : converter.ConvertRtfToHtml(converter.RtfSource, kConvertOptions);
    values.OutputPath = request.folder + request.prefix + TwoDigits(part) + ".html";
    if (!FolderExists(request.folder)) return Failure(StatusKind::kMissingFolder);
    if (Status status = WriteConvertedPage(values.OutputPath, converter, &pages); !status.ok()) {
      return status;
    }
    values.PartStart = end;
    if (progress.partWritten) progress.partWritten(part, partCount);
  }
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
