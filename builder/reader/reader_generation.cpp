#include "builder/reader/reader_generation.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "builder/reader/balancer.h"
#include "builder/reader/book_body.h"
#include "builder/reader/reader_book.h"
#include "builder/text_rules.h"

namespace quillet {
namespace {

// Stale pages named in a warning before the rest are only counted.
constexpr std::size_t kStalePagesNamed = 10;

std::string WithoutLastLineEnd(const std::string& page) {
  return page.ends_with("\r\n") ? page.substr(0, page.size() - 2) : page;
}

// True for a part page name of `prefix`: the prefix, two or three digits, ".html".
bool IsPartPageName(std::string_view name, std::string_view prefix) {
  constexpr std::string_view kExtension = ".html";
  if (!name.starts_with(prefix) || !name.ends_with(kExtension)) return false;
  const std::string_view digits =
      name.substr(prefix.size(), name.size() - prefix.size() - kExtension.size());
  return (digits.size() == 2 || digits.size() == 3) &&
         std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// Part pages of the prefix in the folder that this run did not write: an
// earlier book's, which nothing of this run links.
std::vector<std::string> StalePages(const std::string& folder, const std::string& prefix,
                                    const std::set<std::string>& written) {
  std::vector<std::string> stale;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (IsPartPageName(name, prefix) && !written.contains(name)) stale.push_back(name);
  }
  std::sort(stale.begin(), stale.end());
  return stale;
}

Status StalePagesWarning(const std::vector<std::string>& stale) {
  std::string names;
  for (std::size_t i = 0; i < stale.size() && i < kStalePagesNamed; ++i) {
    names += (i == 0 ? "" : ", ") + stale[i];
  }
  const std::size_t unnamed = stale.size() - std::min(stale.size(), kStalePagesNamed);
  return {StatusKind::kStalePages, names, static_cast<std::int64_t>(unnamed), 0};
}

reader::ReaderOptions OptionsOf(const BookRequest& request) {
  return {request.reader.maxKb, request.partCount, request.reader.navigation,
          request.reader.titledIndex, request.reader.cleanCuts};
}

// The reader book of `rtf`, converted once on `converter` and titled with
// converter.FilePrefix.
reader::ReaderResult MakeBook(Converter& converter, const BookRequest& request, std::string rtf) {
  reader::BookBody book =
      reader::ConvertBook(converter, std::move(rtf), kConvertOptions, reader::kBodyFontSize);
  const reader::BookNames names{converter.FilePrefix, LinkPrefix(request.prefix),
                                ShownPrefix(request.prefix)};
  return reader::MakeReaderBook(std::move(book), names, OptionsOf(request));
}

// One page of the run, named `name` in the request's folder.
Status WritePage(Generation& run, const BookRequest& request, const std::string& name,
                 const std::string& page) {
  run.values.OutputPath = request.folder + name;
  // The page's bytes are what its budget counts; its last line end is the write's.
  const std::string text = WithoutLastLineEnd(page);
  return WriteTextFile(run.values.OutputPath, text, &run.pages);
}

}  // namespace

Status GenerateReaderBook(RichTextBox& box, Converter& converter, const BookRequest& request,
                          const GenerateProgress& progress, Generation& run) {
  RunValues& values = run.values;
  PageSet& pages = run.pages;
  converter.FilePrefix = TitlePrefix(request.prefix);
  converter.RtfSource = box.TextRTF();
  const reader::ReaderResult made = MakeBook(converter, request, converter.RtfSource);
  if (!made.ok()) return made.status;

  if (Status status = pages.Lock(request.folder); !status.ok()) {
    return status;
  }
  pages.Protect(request.bookFile);
  const int count = static_cast<int>(made.value.parts.size());
  if (progress.started) progress.started(count);
  std::set<std::string> written;
  for (values.PartNumber = 1; values.PartNumber <= count; ++values.PartNumber) {
    const std::string name =
        request.prefix + reader::PartNumberText(values.PartNumber, count) + ".html";
    if (Status status = WritePage(run, request, name, made.value.parts[values.PartNumber - 1]);
        !status.ok()) {
      return status;
    }
    written.insert(name);
    if (progress.partWritten) progress.partWritten(values.PartNumber, count);
  }
  run.opened = {values.OutputPath};
  if (count > 1) {
    if (Status status = WritePage(run, request, request.prefix + ".html", made.value.index);
        !status.ok()) {
      return status;
    }
    run.opened = {values.OutputPath};
  }
  const std::vector<std::string> stale = StalePages(request.folder, request.prefix, written);
  if (!stale.empty()) run.warnings.push_back(StalePagesWarning(stale));
  if (Status status = pages.Commit(); !status.ok()) {
    return status;
  }
  return {};
}

Result<int> CountReaderPartsOf(const RichTextBox& box, const BookRequest& request) {
  Converter converter;
  converter.FilePrefix = TitlePrefix(request.prefix);
  const reader::ReaderResult made = MakeBook(converter, request, box.TextRTF());
  return {static_cast<int>(made.value.parts.size()), made.status};
}

}  // namespace quillet
