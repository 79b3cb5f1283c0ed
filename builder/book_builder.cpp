#include "builder/book_builder.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "builder/default_book/default_generation.h"
#include "builder/reader/reader_book.h"
#include "builder/reader/reader_generation.h"
#include "builder/text_rules.h"

namespace quillet {
namespace {}  // namespace

BookBuilder::BookBuilder(RichTextBox& box, PageOpener& opener) : box_(box), opener_(opener) {
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (!error) tempFolder = TrailingSeparator(temp.string());
}

BookResult BookBuilder::Generate(const BookRequest& request, const GenerateProgress& progress) {
  if (Status count = CheckPartCount(request.partCount, request.reader.On()); !count.ok()) {
    return {{}, count};
  }
  if (Status prefix = CheckPrefix(request.prefix); !prefix.ok()) return {{}, prefix};
  // A missing folder stops the run before any page is converted or written.
  if (!FolderExists(request.folder)) return {{}, Failure(StatusKind::kMissingFolder)};

  const GenerateBook generate = request.reader.On() ? GenerateReaderBook : GenerateDefaultBook;
  Generation run;
  const Status status = generate(box_, converter, request, progress, run);
  lastRun_ = run.values;
  if (!status.ok()) return {{}, status};
  Opened(run.opened);
  return {run.pages.Paths(), {}, run.warnings};
}

BookResult BookBuilder::Preview(const BookRequest& request) {
  if (Status prefix = CheckPrefix(request.prefix); !prefix.ok()) return {{}, prefix};
  converter.FilePrefix = TitlePrefix(request.prefix);
  converter.RtfSource = box_.TextRTF();
  converter.DebugMode = request.debug;
  converter.HtmlResult = converter.ConvertRtfToHtml(converter.RtfSource, kConvertOptions);
  if (!FolderExists(tempFolder)) return {{}, Failure(StatusKind::kMissingFolder)};
  if (Status status = WriteConvertedPage(PreviewPath(), converter, nullptr); !status.ok()) {
    return {{}, status};
  }
  return Opened({PreviewPath()});
}

BookResult BookBuilder::WriteHelp(const BookRequest& request) {
  if (tempFolder.empty()) return {{}, Failure(StatusKind::kMissingFolder)};
  const std::string path = HelpPath();
  if (Status status = WriteTextFile(path, request.helpText); !status.ok()) {
    return {{}, status};
  }
  return Opened({path});
}

std::string BookBuilder::PreviewPath() const {
  return tempFolder + std::string(kPreviewFileName);
}

std::string BookBuilder::HelpPath() const {
  return tempFolder + std::string(kHelpFileName);
}

Result<int> BookBuilder::CountReaderParts(const BookRequest& request) const {
  return CountReaderPartsOf(box_, request);
}

// Pages in place are handed to the viewer, in the order they were written.
BookResult BookBuilder::Opened(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) opener_.Open(path);
  return {paths, {}};
}

}  // namespace quillet
