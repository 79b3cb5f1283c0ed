// DetectFormat: a book's format by its content first, then by its name.
#include <gumbo.h>

#include <algorithm>
#include <optional>
#include <string>

#include "richtext/ascii.h"
#include "richtext/formats/book_formats.h"
#include "richtext/formats/zip_archive.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_encoding.h"

namespace quillet {
namespace {

constexpr std::string_view kOleSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::string_view kWordPerfectSignature = "\xFFWPC";
constexpr std::string_view kZipSignature = "PK\x03\x04";
// How far into a file its XML root element or first HTML tag is looked for.
constexpr std::size_t kSniffBytes = 4096;

constexpr std::pair<std::string_view, BookFormat> kExtensions[] = {
    {".txt", BookFormat::kPlainText},     {".text", BookFormat::kPlainText},
    {".rtf", BookFormat::kRtf},           {".htm", BookFormat::kHtml},
    {".html", BookFormat::kHtml},         {".xhtml", BookFormat::kHtml},
    {".xht", BookFormat::kHtml},          {".md", BookFormat::kMarkdown},
    {".markdown", BookFormat::kMarkdown}, {".mdown", BookFormat::kMarkdown},
    {".mkd", BookFormat::kMarkdown},      {".epub", BookFormat::kEpub},
    {".fb2", BookFormat::kFb2},           {".docx", BookFormat::kDocx},
    {".odt", BookFormat::kOdt},           {".doc", BookFormat::kDoc},
    {".wpd", BookFormat::kWpd},           {".sxw", BookFormat::kSxw}};

std::optional<BookFormat> ByExtension(std::string_view name) {
  const std::string lower = AsciiLower(name);
  for (const auto& [extension, format] : kExtensions) {
    if (lower.ends_with(extension)) return format;
  }
  return std::nullopt;
}

// EPUB, ODF and OOXML are ZIP archives that say what they are inside.
std::optional<BookFormat> ByArchiveContent(std::string_view bytes) {
  // A mimetype is a few dozen bytes; nothing larger is unpacked to find it.
  ZipArchive zip(bytes, ZipLimits{.max_unpacked_bytes = 1024});
  if (!zip.ok()) return std::nullopt;
  if (zip.Has("mimetype")) {
    const std::string mimetype = zip.Read("mimetype").value_or("");
    if (mimetype.starts_with("application/epub+zip")) return BookFormat::kEpub;
    if (mimetype.starts_with("application/vnd.oasis.opendocument.text")) return BookFormat::kOdt;
    if (mimetype.starts_with("application/vnd.sun.xml.writer")) return BookFormat::kSxw;
  }
  if (zip.Has("word/document.xml")) return BookFormat::kDocx;
  if (zip.Has("META-INF/container.xml")) return BookFormat::kEpub;
  return std::nullopt;
}

// FB2 or HTML by the first element of a markup file.
std::optional<BookFormat> ByMarkup(std::string_view bytes) {
  const std::string head = AsciiLower(SkipUtf8ByteOrderMark(bytes).substr(0, kSniffBytes));
  std::string_view text = head;
  text.remove_prefix(std::min(text.size(), text.find_first_not_of(" \t\r\n\f")));
  if (text.starts_with("<?xml") || text.starts_with("<!--") || text.starts_with("<!doctype")) {
    if (text.find("<fictionbook") != std::string_view::npos) return BookFormat::kFb2;
    if (text.starts_with("<!doctype html") || text.find("<html") != std::string_view::npos) {
      return BookFormat::kHtml;
    }
    return std::nullopt;
  }
  if (!text.starts_with('<')) return std::nullopt;
  if (text.starts_with("<fictionbook")) return BookFormat::kFb2;
  const std::size_t name_end = text.find_first_of(" \t\r\n\f/>", 1);
  const std::string_view name =
      text.substr(1, name_end == std::string_view::npos ? 0 : name_end - 1);
  if (gumbo_tagn_enum(name.data(), static_cast<unsigned>(name.size())) != GUMBO_TAG_UNKNOWN) {
    return BookFormat::kHtml;
  }
  return std::nullopt;
}

std::optional<BookFormat> ByContent(std::string_view bytes) {
  if (bytes.starts_with(kZipSignature) || bytes.starts_with("PK\x05\x06")) {
    return ByArchiveContent(bytes);
  }
  if (bytes.starts_with(kOleSignature)) return BookFormat::kDoc;
  if (bytes.starts_with(kWordPerfectSignature)) return BookFormat::kWpd;
  if (LooksLikeRtf(bytes)) return BookFormat::kRtf;
  // UTF-16 markup: "<" after the byte-order mark, in either byte order.
  if (bytes.starts_with(std::string_view("\xFF\xFE<\0", 4)) ||
      bytes.starts_with(std::string_view("\xFE\xFF\0<", 4))) {
    return BookFormat::kHtml;
  }
  return ByMarkup(bytes);
}

}  // namespace

BookFormat DetectFormat(std::string_view name, std::string_view bytes) {
  const std::optional<BookFormat> content = ByContent(bytes);
  const std::optional<BookFormat> extension = ByExtension(name);
  // Markdown and plain text may well start with a tag; only their name tells them apart.
  if (content == BookFormat::kHtml &&
      (extension == BookFormat::kMarkdown || extension == BookFormat::kPlainText)) {
    return *extension;
  }
  if (content) return *content;
  return extension.value_or(BookFormat::kPlainText);
}

bool MayBeFormat(BookFormat format, std::string_view bytes) {
  switch (format) {
    case BookFormat::kDocx:
    case BookFormat::kOdt:
    case BookFormat::kSxw:
      return bytes.starts_with(kZipSignature);
    case BookFormat::kDoc: {
      if (bytes.starts_with(kOleSignature)) return true;
      const std::string_view text = SkipUtf8ByteOrderMark(bytes);
      const std::size_t start = text.find_first_not_of(" \t\r\n");
      return start != std::string_view::npos && text[start] == '<';
    }
    case BookFormat::kWpd:
      return bytes.starts_with(kWordPerfectSignature);
    default:
      return true;
  }
}

}  // namespace quillet
