#include "builder/book_builder.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "builder/page_files.h"
#include "converter/page_file.h"

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

// The link target of a part: characters a URL would read as syntax are escaped
// so that every link reaches its page.
std::string LinkTarget(std::string_view prefixText) {
  std::string target;
  for (char c : prefixText) {
    if (c == '#') {
      target += "%23";
    } else if (c == '%') {
      target += "%25";
    } else {
      target += c;
    }
  }
  return target;
}

// Where a part ends: a boundary between the two halves of a surrogate pair
// moves past the second, so that no character is cut in two.
std::int64_t PartBoundary(const std::u16string& text, std::int64_t position) {
  const auto at = static_cast<std::size_t>(position);
  const bool insidePair = position > 0 && at < text.size() && text[at - 1] >= 0xD800 &&
                          text[at - 1] <= 0xDBFF && text[at] >= 0xDC00 && text[at] <= 0xDFFF;
  return insidePair ? position + 1 : position;
}

std::string EscapeAmpersands(std::string_view text) {
  std::string result;
  for (char c : text) result += c == '&' ? std::string("&amp;") : std::string(1, c);
  return result;
}

std::string InvalidPartCountMessage(int partCount) {
  const std::string count = std::to_string(partCount);
  return "Número de partes no válido: " + count +
         " (de 1 a 99).\nInvalid number of parts: " + count + " (1 to 99).";
}

}  // namespace

BookBuilder::BookBuilder(RichTextBox& box, PageOpener& opener, MessageSink& messages)
    : box_(box), opener_(opener), messages_(messages) {
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (!error) TempFolder = TrailingSeparator(temp.string());
}

bool BookBuilder::cmdGO_Click() {
  WrittenPaths.clear();
  if (PartCount < 1 || PartCount > 99) return Report(InvalidPartCountMessage(PartCount));
  if (std::string problem = PrefixProblem(controls.prefixText); !problem.empty()) {
    return Report(problem);
  }
  // A missing folder stops the run before any page is converted or written.
  if (!FolderExists(controls.folderText)) return Report(std::string(kMissingFolderMessage));

  PartStart = 0;
  converter.FilePrefix = TitlePrefix(controls.prefixText);
  const std::u16string text = box_.Text();
  TextLength = static_cast<std::int64_t>(text.size());
  PartLength = DivideHalfEven(TextLength, PartCount);
  // A text shorter than the part count still moves forward part by part.
  if (TextLength > 0 && PartLength == 0) PartLength = 1;
  if (PartCount != 1) MoveFirstSplitPoint(text);

  PageSet pages;
  if (std::string error = pages.Lock(controls.folderText); !error.empty()) {
    return Report(WriteFailureMessage(error));
  }
  run_ = &pages;
  const bool written = WriteParts(text) && (PartCount == 1 || WriteIndexPage());
  run_ = nullptr;
  return written && PutInPlace(pages);
}

// The first space at or after the split point, found in the text read once:
// the position that selecting one character after another would reach.
void BookBuilder::MoveFirstSplitPoint(const std::u16string& text) {
  if (PartLength >= TextLength) return;
  const std::size_t space = text.find(u' ', static_cast<std::size_t>(PartLength));
  // Without a space at or after the split point there is nothing to move to.
  if (space != std::u16string::npos) PartLength = static_cast<std::int64_t>(space);
}

bool BookBuilder::WriteParts(const std::u16string& text) {
  const int partCount = PartCount;
  if (partsStarting) partsStarting(partCount);
  for (PartNumber = 1; PartNumber <= partCount; ++PartNumber) {
    // The last part runs to the end of the text, so a rounded-down length
    // loses nothing.
    const std::int64_t end = PartBoundary(text, PartNumber * PartLength);
    const bool last = PartNumber == partCount;
    box_.SetSelStart(PartStart);
    box_.SetSelLength(last && TextLength > end ? TextLength - PartStart : end - PartStart);
    const std::string rtf = box_.SelRTF();
    if (!WritePartPage(rtf, controls.prefixText + TwoDigits(PartNumber))) return false;
    PartStart = end;
    if (progress) progress(PartNumber, partCount);
  }
  return true;
}

bool BookBuilder::WritePartPage(const std::string& rtf, const std::string& name) {
  converter.RtfSource = rtf;
  // An empty part is still a page, so that its index link opens this book.
  converter.HtmlResult = rtf.empty()
                             ? std::string()
                             : converter.ConvertRtfToHtml(converter.RtfSource, kConvertOptions);
  OutputPath = controls.folderText + name + ".html";
  if (!FolderExists(controls.folderText)) return Report(std::string(kMissingFolderMessage));
  return WriteConvertedPage(OutputPath);
}

bool BookBuilder::WriteIndexPage() {
  const std::string shown = CharacterReferences(EscapeAmpersands(controls.prefixText));
  const std::string target = CharacterReferences(EscapeAmpersands(LinkTarget(controls.prefixText)));
  std::string page(kIndexHead);
  for (int part = 1; part <= PartCount; ++part) {
    const std::string number = TwoDigits(part);
    page += "<a href=\" " + target + number + ".html\">" + shown + number + "</a> <br>\r\n";
  }
  page += kIndexFoot;
  OutputPath = controls.folderText + controls.prefixText + ".html";
  if (std::string error = WriteTextFile(OutputPath, page, run_); !error.empty()) {
    return Report(WriteFailureMessage(error));
  }
  return Written(OutputPath);
}

bool BookBuilder::cmdHTML2_Click() {
  WrittenPaths.clear();
  if (std::string problem = PrefixProblem(controls.prefixText); !problem.empty()) {
    return Report(problem);
  }
  converter.FilePrefix = TitlePrefix(controls.prefixText);
  converter.RtfSource = box_.TextRTF();
  converter.DebugMode = controls.debugSelected;
  converter.HtmlResult = converter.ConvertRtfToHtml(converter.RtfSource, kConvertOptions);
  if (!FolderExists(TempFolder)) return Report(std::string(kMissingFolderMessage));
  return WriteConvertedPage(PreviewPath());
}

bool BookBuilder::cmdHelp_Click() {
  WrittenPaths.clear();
  if (TempFolder.empty()) return Report(std::string(kMissingFolderMessage));
  const std::string path = HelpPath();
  if (std::string error = WriteTextFile(path, controls.helpText); !error.empty()) {
    return Report(WriteFailureMessage(error));
  }
  return Written(path);
}

std::string BookBuilder::PreviewPath() const {
  return TempFolder + std::string(kPreviewFileName);
}

std::string BookBuilder::HelpPath() const {
  return TempFolder + std::string(kHelpFileName);
}

bool BookBuilder::FolderExists(const std::string& folder) {
  // An empty folder text would name the working folder, which nobody chose.
  return !folder.empty() && !ProbePath(folder, kDirectoryAttribute).empty();
}

bool BookBuilder::WriteConvertedPage(const std::string& path) {
  PageFile page(run_);
  std::string error = page.OpenPageFile(path);
  if (error.empty()) error = page.WritePageText(PageHeader(converter.FilePrefix), false);
  if (error.empty()) error = page.WritePageText(converter.HtmlResult, false);
  if (error.empty()) error = page.WritePageText(PageFooter(), false);
  if (error.empty()) error = page.ClosePageFile();
  if (!error.empty()) return Report(WriteFailureMessage(error));
  return Written(path);
}

// A page in place is listed and opened; one that waits for its run is not yet.
bool BookBuilder::Written(const std::string& path) {
  if (run_ != nullptr) return true;
  WrittenPaths.push_back(path);
  opener_.Open(path);
  return true;
}

bool BookBuilder::PutInPlace(PageSet& pages) {
  if (std::string error = pages.Commit(); !error.empty()) {
    return Report(WriteFailureMessage(error));
  }
  for (const std::string& path : pages.Paths()) Written(path);
  return true;
}

bool BookBuilder::Report(const std::string& message) {
  messages_.Show(message);
  return false;
}

}  // namespace quillet
