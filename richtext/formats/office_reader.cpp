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

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return std::move(bytes).str();
}

LoadResult Failure(BookFormat format, StatusKind status, std::string message) {
  LoadResult result;
  result.format = format;
  result.status = status;
  result.message = std::move(message);
  return result;
}

std::string Missing(BookFormat format) {
  const std::string name(FormatName(format));
  const std::string libreoffice = "LibreOffice (" + std::string(kLibreOffice.package) + ")";
  if (!PandocReads(format)) {
    return "Para leer " + name + " hace falta instalar " + libreoffice + " / Reading " + name +
           " needs " + libreoffice + " installed";
  }
  const std::string pandoc = "pandoc (" + std::string(kPandoc.package) + ")";
  return "Para leer " + name + " hace falta instalar " + libreoffice + " o " + pandoc +
         " / Reading " + name + " needs " + libreoffice + " or " + pandoc + " installed";
}

// What a helper's end means for the load, when it did not convert the document.
LoadResult HelperFailure(BookFormat format, std::string_view helper, const HelperRun& run,
                         const HelperOutcome& outcome) {
  const std::string name(helper);
  switch (outcome.end) {
    case HelperEnd::kCancelled:
      return Failure(format, StatusKind::kCancelled, "Carga cancelada / Loading cancelled");
    case HelperEnd::kTimedOut: {
      const std::string seconds = std::to_string((run.timeout.count() + 999) / 1000);
      return Failure(format, StatusKind::kHelperTimedOut,
                     name + " tardó más de " + seconds + " s y se detuvo / " + name +
                         " took more than " + seconds + " s and was stopped");
    }
    case HelperEnd::kNotStarted:
      return Failure(format, StatusKind::kHelperFailed,
                     "No se pudo iniciar " + name + " / Could not start " + name);
    case HelperEnd::kExited:
      break;
  }
  const std::string code =
      outcome.exit_code == 0 ? "" : " (" + std::to_string(outcome.exit_code) + ")";
  const std::string lines = FirstLines(outcome.output);
  return Failure(format, StatusKind::kHelperFailed,
                 name + " no pudo convertir el documento / " + name +
                     " could not convert the document" + code +
                     (lines.empty() ? "" : ": " + lines));
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
    return Failure(format_, StatusKind::kHelperMissing, Missing(format_));
  const std::filesystem::path in = folder_.path() / "in";
  const std::filesystem::path out = folder_.path() / "out";
  const std::filesystem::path input = in / ("book." + std::string(Extension(format_)));
  std::error_code error;
  if (!folder_.ok() || !std::filesystem::create_directory(in, error) ||
      !std::filesystem::create_directory(out, error) ||
      !(std::ofstream(input, std::ios::binary) << bytes)) {
    return Failure(
        format_, StatusKind::kHelperFailed,
        "No se pudo preparar una carpeta temporal / Could not prepare a temporary folder");
  }
  HelperRun run;
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
  if (outcome.end == HelperEnd::kExited && outcome.exit_code == 0) converted = ReadFile(result);
  if (!converted || converted->empty()) return HelperFailure(format_, helper, run, outcome);
  LoadResult loaded;
  loaded.format = format_;
  if (!html) {
    loaded.document = ReadRtf(*converted);
    return loaded;
  }
  HtmlDocument read = ReadHtml(*converted, {.utf8 = true});
  loaded.document = std::move(read.document);
  if (!read.complete) {
    return Failure(format_, StatusKind::kRefused,
                   "El documento es demasiado complejo / The document is too complex to read");
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
