#include "builder/book_builder.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "builder/page_files.h"
#include "builder/reader/reader_book.h"
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

// Where one part lies in the box's text.
struct PartSpan {
  std::int64_t start = 0;
  std::int64_t length = 0;
  std::int64_t end = 0;  // where the next part starts
};

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

void SelectPart(RichTextBox& box, const PartSpan& span) {
  box.SetSelStart(span.start);
  box.SetSelLength(span.length);
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

BookError InvalidPartCount(int partCount, int maxParts) {
  const std::string count = std::to_string(partCount);
  const std::string most = std::to_string(maxParts);
  return {"Número de partes no válido: " + count + " (de 1 a " + most +
          ").\nInvalid number of parts: " + count + " (1 to " + most + ")."};
}

BookError MissingFolder() {
  return {std::string(kMissingFolderMessage)};
}

BookError WriteFailure(std::string_view detail) {
  return {WriteFailureMessage(detail)};
}

std::optional<BookError> BadPrefix(std::string_view prefix) {
  if (std::string problem = PrefixProblem(prefix); !problem.empty()) return BookError{problem};
  return std::nullopt;
}

bool FolderExists(const std::string& folder) {
  // An empty folder text would name the working folder, which nobody chose.
  return !folder.empty() && !ProbePath(folder, kDirectoryAttribute).empty();
}

// Head, converted body and foot as three writes; "" or what went wrong.
std::string WriteConvertedPage(const std::string& path, const Converter& converter, PageSet* set) {
  PageFile page(set);
  std::string error = page.OpenPageFile(path);
  if (error.empty()) error = page.WritePageText(PageHeader(converter.FilePrefix), false);
  if (error.empty()) error = page.WritePageText(converter.HtmlResult, false);
  if (error.empty()) error = page.WritePageText(PageFooter(), false);
  if (error.empty()) error = page.ClosePageFile();
  return error;
}

}  // namespace

// One Generate: the split of the box's text and a page per part, all waiting
// in one PageSet until every page is written.
class BookBuilder::Generation {
 public:
  Generation(BookBuilder& builder, const BookRequest& request)
      : builder_(builder), request_(request) {}

  std::optional<BookError> Run(const GenerateProgress& progress);

  RunValues values;
  PageSet pages;

 private:
  using TextReader = RichTextBox::TextReader;

  void MoveFirstSplitPoint(const TextReader& text);
  PartSpan SpanOf(const TextReader& text, int part, std::int64_t start) const;
  std::optional<BookError> WriteParts(const TextReader& text, const GenerateProgress& progress);
  void ConvertPart(std::string rtf);
  std::optional<BookError> WritePartPage(std::string rtf, const std::string& name);
  std::optional<BookError> WriteConverted(const std::string& name);
  std::optional<BookError> WriteIndexPage();

  BookBuilder& builder_;
  const BookRequest& request_;
};

std::optional<BookError> BookBuilder::Generation::Run(const GenerateProgress& progress) {
  values.PartStart = 0;
  builder_.converter.FilePrefix = TitlePrefix(request_.prefix);
  const std::unique_ptr<const TextReader> text = builder_.box_.ReadText();
  values.TextLength = text->Length();
  values.PartLength = DivideHalfEven(values.TextLength, request_.partCount);
  // A text shorter than the part count still moves forward part by part.
  if (values.TextLength > 0 && values.PartLength == 0) values.PartLength = 1;
  if (request_.partCount != 1) MoveFirstSplitPoint(*text);

  if (std::string error = pages.Lock(request_.folder); !error.empty()) return WriteFailure(error);
  pages.Protect(request_.bookFile);
  const bool withIndex = request_.partCount > 1;
  if (std::optional<BookError> error = WriteParts(*text, progress)) return error;
  if (withIndex) {
    if (std::optional<BookError> error = WriteIndexPage()) return error;
  }
  if (std::string error = pages.Commit(); !error.empty()) return WriteFailure(error);
  return std::nullopt;
}

// The first space at or after the split point, found in the text as it lies:
// the position that selecting one character after another would reach.
void BookBuilder::Generation::MoveFirstSplitPoint(const TextReader& text) {
  if (values.PartLength >= values.TextLength) return;
  const std::int64_t space = text.Find(u' ', values.PartLength);
  // Without a space at or after the split point there is nothing to move to.
  if (space >= 0) values.PartLength = space;
}

PartSpan BookBuilder::Generation::SpanOf(const TextReader& text, int part,
                                         std::int64_t start) const {
  const std::int64_t end = PartBoundary(text, part * values.PartLength);
  // The last part runs to the end of the text, so a rounded-down length
  // loses nothing.
  const bool last = part == request_.partCount;
  return {start, last && values.TextLength > end ? values.TextLength - start : end - start, end};
}

std::optional<BookError> BookBuilder::Generation::WriteParts(const TextReader& text,
                                                             const GenerateProgress& progress) {
  const int partCount = request_.partCount;
  if (progress.started) progress.started(partCount);
  PartSpan span{};
  for (int part = 1; part <= partCount; ++part) {
    values.PartNumber = static_cast<std::int16_t>(part);
    span = SpanOf(text, part, span.end);
    SelectPart(builder_.box_, span);
    const std::string name = request_.prefix + TwoDigits(values.PartNumber);
    if (std::optional<BookError> error = WritePartPage(builder_.box_.SelRTF(), name)) return error;
    values.PartStart = span.end;
    if (progress.partWritten) progress.partWritten(values.PartNumber, partCount);
  }
  values.PartNumber = static_cast<std::int16_t>(partCount + 1);
  return std::nullopt;
}

// The part goes in and out through the converter's hand-over variables.
void BookBuilder::Generation::ConvertPart(std::string rtf) {
  Converter& converter = builder_.converter;
  converter.RtfSource = std::move(rtf);
  // An empty part is still a page, so that its index link opens this book,
  // but it is not converted and leaves the converter alone.
  converter.HtmlResult = converter.RtfSource.empty()
                             ? std::string()
                             : converter.ConvertRtfToHtml(converter.RtfSource, kConvertOptions);
}

std::optional<BookError> BookBuilder::Generation::WritePartPage(std::string rtf,
                                                                const std::string& name) {
  ConvertPart(std::move(rtf));
  return WriteConverted(name);
}

// The page of the part the converter holds.
std::optional<BookError> BookBuilder::Generation::WriteConverted(const std::string& name) {
  values.OutputPath = request_.folder + name + ".html";
  if (!FolderExists(request_.folder)) return MissingFolder();
  if (std::string error = WriteConvertedPage(values.OutputPath, builder_.converter, &pages);
      !error.empty()) {
    return WriteFailure(error);
  }
  return std::nullopt;
}

std::optional<BookError> BookBuilder::Generation::WriteIndexPage() {
  values.OutputPath = request_.folder + request_.prefix + ".html";
  const std::string page = IndexPage(request_.prefix, request_.partCount);
  if (std::string error = WriteTextFile(values.OutputPath, page, &pages); !error.empty()) {
    return WriteFailure(error);
  }
  return std::nullopt;
}

BookBuilder::BookBuilder(RichTextBox& box, PageOpener& opener) : box_(box), opener_(opener) {
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (!error) tempFolder = TrailingSeparator(temp.string());
}

BookResult BookBuilder::Generate(const BookRequest& request, const GenerateProgress& progress) {
  const int maxParts = request.reader.On() ? reader::kMaxParts : 99;
  if (request.partCount < 1 || request.partCount > maxParts) {
    return {{}, InvalidPartCount(request.partCount, maxParts)};
  }
  if (std::optional<BookError> error = BadPrefix(request.prefix)) return {{}, error};
  // A missing folder stops the run before any page is converted or written.
  if (!FolderExists(request.folder)) return {{}, MissingFolder()};
  if (request.reader.On()) return GenerateReader(request, progress);

  Generation run(*this, request);
  const std::optional<BookError> error = run.Run(progress);
  lastRun_ = run.values;
  if (error) return {{}, error};
  return Opened(run.pages.Paths());
}

BookResult BookBuilder::Preview(const BookRequest& request) {
  if (std::optional<BookError> error = BadPrefix(request.prefix)) return {{}, error};
  converter.FilePrefix = TitlePrefix(request.prefix);
  converter.RtfSource = box_.TextRTF();
  converter.DebugMode = request.debug;
  converter.HtmlResult = converter.ConvertRtfToHtml(converter.RtfSource, kConvertOptions);
  if (!FolderExists(tempFolder)) return {{}, MissingFolder()};
  if (std::string error = WriteConvertedPage(PreviewPath(), converter, nullptr); !error.empty()) {
    return {{}, WriteFailure(error)};
  }
  return Opened({PreviewPath()});
}

BookResult BookBuilder::WriteHelp(const BookRequest& request) {
  if (tempFolder.empty()) return {{}, MissingFolder()};
  const std::string path = HelpPath();
  if (std::string error = WriteTextFile(path, request.helpText); !error.empty()) {
    return {{}, WriteFailure(error)};
  }
  return Opened({path});
}

std::string BookBuilder::PreviewPath() const {
  return tempFolder + std::string(kPreviewFileName);
}

std::string BookBuilder::HelpPath() const {
  return tempFolder + std::string(kHelpFileName);
}

// Pages in place are handed to the viewer, in the order they were written.
BookResult BookBuilder::Opened(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) opener_.Open(path);
  return {paths, std::nullopt};
}

}  // namespace quillet
