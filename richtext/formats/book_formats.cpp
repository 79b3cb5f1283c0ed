// LoadBook and ListFormats: every reader behind the one call.
#include "richtext/formats/book_formats.h"

#include <algorithm>
#include <utility>

#include "richtext/formats/epub_reader.h"
#include "richtext/formats/fb2_reader.h"
#include "richtext/formats/helper_process.h"
#include "richtext/formats/html_reader.h"
#include "richtext/formats/markdown_reader.h"
#include "richtext/formats/office_reader.h"
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"

namespace quillet {
namespace {

struct FormatRow {
  BookFormat format;
  std::string_view name;
  std::string_view extensions;
  std::string_view reader;
  bool office;  // read through LibreOffice (or pandoc)
};

constexpr FormatRow kFormats[] = {
    {BookFormat::kPlainText, "Plain text", ".txt", "Quillet (UTF-8 or Windows-1252)", false},
    {BookFormat::kRtf, "RTF", ".rtf", "Quillet's RTF reader", false},
    {BookFormat::kHtml, "HTML", ".html .htm .xhtml", "gumbo", false},
    {BookFormat::kMarkdown, "Markdown", ".md .markdown", "cmark-gfm, gumbo", false},
    {BookFormat::kEpub, "EPUB", ".epub", "libzip, libxml2, gumbo", false},
    {BookFormat::kFb2, "FB2", ".fb2", "libxml2", false},
    {BookFormat::kDocx, "DOCX", ".docx", "LibreOffice to RTF, or pandoc to HTML", true},
    {BookFormat::kOdt, "ODT", ".odt", "LibreOffice to RTF, or pandoc to HTML", true},
    {BookFormat::kDoc, "DOC", ".doc", "LibreOffice to RTF", true},
    {BookFormat::kWpd, "WPD", ".wpd", "LibreOffice to RTF", true},
    {BookFormat::kSxw, "SXW", ".sxw", "LibreOffice to RTF", true}};

const FormatRow& RowOf(BookFormat format) {
  return *std::find_if(std::begin(kFormats), std::end(kFormats),
                       [&](const FormatRow& row) { return row.format == format; });
}

LoadResult Loaded(BookFormat format, Document document) {
  LoadResult result;
  result.format = format;
  result.document = std::move(document);
  return result;
}

LoadResult FromHtml(BookFormat format, HtmlDocument read) {
  LoadResult result = Loaded(format, std::move(read.document));
  if (!read.complete) {
    result.status = Failure(StatusKind::kTooComplex);
    result.document = {};
  }
  return result;
}

LoadResult Read(BookFormat format, std::string_view bytes, const LoadOptions& options) {
  switch (format) {
    case BookFormat::kPlainText:
      return Loaded(format, ReadPlainText(bytes));
    case BookFormat::kRtf:
      // Named .rtf yet not RTF inside: the text it holds, as the input box takes it.
      return Loaded(format, LooksLikeRtf(bytes) ? ReadRtf(bytes) : ReadPlainText(bytes));
    case BookFormat::kHtml:
      return FromHtml(format, ReadHtml(bytes));
    case BookFormat::kMarkdown:
      return FromHtml(format, ReadMarkdown(bytes));
    case BookFormat::kEpub:
      return ReadEpub(bytes, options);
    case BookFormat::kFb2:
      return ReadFb2(bytes);
    default:
      return ReadOfficeDocument(format, bytes, options);
  }
}

}  // namespace

LoadResult LoadBook(std::string_view name, std::string bytes, const LoadOptions& options) {
  const BookFormat format = DetectFormat(name, bytes);
  LoadResult result;
  result.format = format;
  // A word processor's file is only handed to a helper when its content
  // says it is one: otherwise the helper reads any bytes as text.
  if (!MayBeFormat(format, bytes)) {
    result.status = Failure(StatusKind::kNotThatFormat, std::string(FormatName(format)));
  } else {
    result = Read(format, bytes, options);
  }
  if (!result.ok()) result.status.file = std::string(name);
  return result;
}

bool FormatInfo::Readable() const {
  return helpers.empty() || std::any_of(helpers.begin(), helpers.end(),
                                        [](const HelperInfo& h) { return h.installed; });
}

std::vector<FormatInfo> ListFormats(const LoadOptions& options) {
  const bool libreoffice = FindProgram(kLibreOffice.program, options.helper_path).has_value();
  const bool pandoc = FindProgram(kPandoc.program, options.helper_path).has_value();
  std::vector<FormatInfo> formats;
  for (const FormatRow& row : kFormats) {
    FormatInfo& info = formats.emplace_back();
    info.format = row.format;
    info.name = row.name;
    info.extensions = row.extensions;
    info.reader = row.reader;
    if (!row.office) continue;
    info.helpers.push_back({kLibreOffice.program, kLibreOffice.package, libreoffice});
    if (PandocReads(row.format)) info.helpers.push_back({kPandoc.program, kPandoc.package, pandoc});
  }
  return formats;
}

std::string_view FormatName(BookFormat format) {
  return RowOf(format).name;
}

}  // namespace quillet
