// Reads a book in any format Quillet knows into the document model.
//
//   LoadResult result = LoadBook(name, std::move(bytes), options);
//   if (result.ok()) box.SetDocument(std::move(result.document));
//   else show(Message(result.status));
//
// RTF and plain text are read by the engine itself; HTML (gumbo), Markdown
// (cmark-gfm), EPUB (libzip, libxml2) and FB2 (libxml2) by the libraries named;
// DOCX, ODT, DOC, WPD and SXW by LibreOffice converting them to RTF, and DOCX
// and ODT by pandoc converting them to HTML when LibreOffice is not installed.
// A helper runs without a shell, in a private temporary folder that is always
// removed, within a time limit, and can be cancelled.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/document.h"
#include "richtext/status.h"

namespace quillet {

enum class BookFormat : std::uint8_t {
  kPlainText,
  kRtf,
  kHtml,
  kMarkdown,
  kEpub,
  kFb2,
  kDocx,
  kOdt,
  kDoc,
  kWpd,
  kSxw,
};

struct LoadOptions {
  // How long a helper program may run before it and its children are killed.
  std::chrono::milliseconds helper_timeout = std::chrono::seconds(120);
  // Asked every tenth of a second or so while loading; true stops the load, and
  // the helper with it, with StatusKind::kCancelled.
  std::function<bool()> cancelled = {};
  // Where helper programs are looked for, as in PATH; empty: the environment's PATH.
  std::string helper_path = {};
  // Against ZIP bombs in EPUB files: bytes unpacked in all, and the compression
  // ratio of each entry that unpacks to more than a mebibyte.
  std::uint64_t max_unpacked_bytes = std::uint64_t{512} << 20;
  std::uint64_t max_compression_ratio = 100;
  // The largest document a helper may hand back: it is read whole.
  std::uint64_t max_helper_output_bytes = std::uint64_t{1} << 30;
};

// A book read, or what kept it from being read (its `file` the name given).
struct LoadResult {
  Status status;
  BookFormat format = BookFormat::kPlainText;
  Document document;

  bool ok() const { return status.ok(); }
};

// The format of a book by its content first (a ZIP with an EPUB mimetype, OOXML,
// ODF, an OLE compound file, WordPerfect, FB2 XML, RTF, HTML), then by the
// extension of its name; plain text when neither tells. HTML found by content
// gives way to a name ending in a Markdown or plain-text extension.
BookFormat DetectFormat(std::string_view name, std::string_view bytes);
// Whether `bytes` may be a file of `format`, read by a helper: a ZIP archive
// for DOCX, ODT and SXW (damaged ones too, for the helper to try), an OLE
// file or Word's XML for DOC, WordPerfect's mark for WPD; anything else a
// helper would read as plain text. True for the formats Quillet reads itself.
bool MayBeFormat(BookFormat format, std::string_view bytes);

// Reads a book; `name` chooses the format with the bytes and names the book in
// messages, but is never given to a helper or a shell.
LoadResult LoadBook(std::string_view name, std::string bytes, const LoadOptions& options = {});

struct HelperInfo {
  std::string_view program;  // "soffice"
  std::string_view package;  // the Debian package that installs it
  bool installed = false;
};

struct FormatInfo {
  BookFormat format;
  std::string_view name;            // "EPUB"
  std::string_view extensions;      // ".epub"
  std::string_view reader;          // what reads it
  std::vector<HelperInfo> helpers;  // the programs it can run, the first installed one used

  // True when the format needs no helper or one of its helpers is installed.
  bool Readable() const;
};

// Every format, in the order above, with whether its helpers are installed
// (looked for along options.helper_path).
std::vector<FormatInfo> ListFormats(const LoadOptions& options = {});

std::string_view FormatName(BookFormat format);

}  // namespace quillet
