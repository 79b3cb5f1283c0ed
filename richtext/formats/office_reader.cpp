#include "richtext/formats/office_reader.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "richtext/formats/helper_process.h"
#include "richtext/formats/html_reader.h"
#include "richtext/rtf_reader.h"

namespace quillet {
namespace {

std::string_view Extension(BookFormat format) {
  switch (format) {
    case BookFormat::kDocx:
      return "docx";
    case BookFormat::kOdt:
      return "odt";
    case BookFormat::kWpd:
      return "wpd";
    case BookFormat::kSxw:
      return "sxw";
    default:
      return "doc";
  }
}

// A file: URL for a path, every byte but letters, digits and "/-._~" escaped.
std::string FileUrl(const std::filesystem::path& path) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : path.string()) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || std::string_view("/-._~").find(c) != std::string_view::npos) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    }
  }
  return url;
}

// The converted document, read only when it is within `limit`.
std::optional<std::string> ReadFile(const std::filesystem::path& path, std::uint64_t limit,
                                    bool& tooLarge) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  tooLarge = !error && size > limit;
  if (error || tooLarge) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return std::move(bytes).str();
}

LoadResult Unread(BookFormat format, Status status) {
  LoadResult result;
  result.format = format;
  result.status = std::move(status);
  return result;
}

// What a helper's end means for the load, when it did not convert the document.
Status HelperFailure(std::string_view helper, const HelperRun& run, const HelperOutcome& outcome) {
  const std::string name(helper);
  switch (outcome.end) {
    case HelperEnd::kCancelled:
      return Failure(StatusKind::kCancelled);
    case HelperEnd::kTimedOut:
      return {StatusKind::kHelperTimedOut, name, (run.timeout.count() + 999) / 1000, 0};
    case HelperEnd::kNotStarted:
      return Failure(StatusKind::kHelperNotStarted, name);
    case HelperEnd::kExited:
      break;
  }
  return {StatusKind::kHelperFailed, name, outcome.exit_code, 0, FirstLines(outcome.output)};
}

class OfficeConversion {
 public:
  OfficeConversion(BookFormat format, const LoadOptions& options)
      : format_(format), options_(options) {}
  LoadResult Run(std::string_view bytes);

 private:
  LoadResult Convert(std::string_view helper, HelperRun run, const std::filesystem::path& result,
                     bool html);

  BookFormat format_;
  const LoadOptions& options_;
  PrivateFolder folder_;
};

LoadResult OfficeConversion::Run(std::string_view bytes) {
  const std::optional<std::string> libreoffice =
      FindProgram(kLibreOffice.program, options_.helper_path);
  const std::optional<std::string> pandoc = PandocReads(format_) && !libreoffice
                                                ? FindProgram(kPandoc.program, options_.helper_path)
                                                : std::nullopt;
  if (!libreoffice && !pandoc)
    return Unread(format_, {StatusKind::kHelperMissing, std::string(FormatName(format_)),
                            PandocReads(format_) ? 1 : 0, 0});
  const std::filesystem::path in = folder_.path() / "in";
  const std::filesystem::path out = folder_.path() / "out";
  const std::filesystem::path input = in / ("book." + std::string(Extension(format_)));
  std::error_code error;
  if (!folder_.ok() || !std::filesystem::create_directory(in, error) ||
      !std::filesystem::create_directory(out, error) ||
      !std::filesystem::create_directory(folder_.path() / "tmp", error) ||
      !(std::ofstream(input, std::ios::binary) << bytes)) {
    return Unread(format_, Failure(StatusKind::kNoTempFolder));
  }
  HelperRun run;
  run.temp_folder = (folder_.path() / "tmp").string();
  run.timeout = options_.helper_timeout;
  run.cancelled = options_.cancelled;
  if (libreoffice) {
    run.program = *libreoffice;
    run.arguments = {"--headless",
                     "--norestore",
                     "--convert-to",
                     "rtf",
                     "--outdir",
                     out.string(),
                     "-env:UserInstallation=" + FileUrl(folder_.path() / "profile"),
                     input.string()};
    return Convert("LibreOffice", std::move(run), out / "book.rtf", false);
  }
  run.program = *pandoc;
  run.arguments = {"--sandbox", "--from",   std::string(Extension(format_)), "--to",
                   "html",      "--output", (out / "book.html").string(),    input.string()};
  return Convert("pandoc", std::move(run), out / "book.html", true);
}

LoadResult OfficeConversion::Convert(std::string_view helper, HelperRun run,
                                     const std::filesystem::path& result, bool html) {
  const HelperOutcome outcome = RunHelper(run);
  std::optional<std::string> converted;
  bool tooLarge = false;
  if (outcome.end == HelperEnd::kExited && outcome.exit_code == 0) {
    converted = ReadFile(result, options_.max_helper_output_bytes, tooLarge);
  }
  if (tooLarge) {
    return Unread(format_, {StatusKind::kHelperOutputTooLarge, std::string(helper),
                            static_cast<std::int64_t>(options_.max_helper_output_bytes), 0});
  }
  if (!converted || converted->empty()) {
    return Unread(format_, HelperFailure(helper, run, outcome));
  }
  LoadResult loaded;
  loaded.format = format_;
  if (!html) {
    loaded.document = ReadRtf(*converted);
    return loaded;
  }
  HtmlDocument read = ReadHtml(*converted, {.utf8 = true});
  loaded.document = std::move(read.document);
  if (!read.complete) {
    return Unread(format_, Failure(StatusKind::kTooComplex));
  }
  return loaded;
}

}  // namespace

bool PandocReads(BookFormat format) {
  return format == BookFormat::kDocx || format == BookFormat::kOdt;
}

LoadResult ReadOfficeDocument(BookFormat format, std::string_view bytes,
                              const LoadOptions& options) {
  return OfficeConversion(format, options).Run(bytes);
}

}  // namespace quillet
