#include "builder/book_builder.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "builder/default_book/default_generation.h"
#include "builder/reader/reader_book.h"
#include "builder/reader/reader_generation.h"
#include "builder/text_rules.h"

namespace quillet {
namespace {

BookError InvalidPartCount(int partCount, int maxParts) {
  const std::string count = std::to_string(partCount);
  const std::string most = std::to_string(maxParts);
  return {"Número de partes no válido: " + count + " (de 1 a " + most +
          ").\nInvalid number of parts: " + count + " (1 to " + most + ")."};
}

std::optional<BookError> BadPrefix(std::string_view prefix) {
  if (std::string problem = PrefixProblem(prefix); !problem.empty()) return BookError{problem};
  return std::nullopt;
}

}  // namespace

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

  DefaultGeneration run(box_, converter, request);
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

ReaderParts BookBuilder::CountReaderParts(const BookRequest& request) const {
  return CountReaderPartsOf(box_, request);
}

BookResult BookBuilder::GenerateReader(const BookRequest& request,
                                       const GenerateProgress& progress) {
  ReaderGeneration run(box_, converter, request);
  const std::optional<BookError> error = run.Run(progress);
  lastRun_ = run.values;
  if (error) return {{}, error};
  Opened({run.opened});
  return {run.pages.Paths(), std::nullopt, run.warnings};
}

// Pages in place are handed to the viewer, in the order they were written.
BookResult BookBuilder::Opened(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) opener_.Open(path);
  return {paths, std::nullopt};
}

}  // namespace quillet
