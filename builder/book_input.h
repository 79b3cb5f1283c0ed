// Book files: which kind a file is, and the document the box takes from it.
// The window and every command load a book through LoadBookFile.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "builder/book_error.h"
#include "richtext/document.h"

namespace quillet {

enum class InputKind { kRtf, kPlainText, kHtml };

// ".rtf", ".txt", ".htm" and ".html" by name (any case); standard input ("-")
// and other names by content: RTF when it looks like RTF (LooksLikeRtf, which
// sees through a byte-order mark and white space), else plain text.
InputKind InputKindOf(std::string_view name, std::string_view content);

// RTF, or plain text when the bytes do not look like RTF: what the box takes
// when it is given RTF (a file, the clipboard, its TextRTF).
Document RtfOrPlainText(std::string_view bytes);

// HTML bytes into a document: Qt's import in builds with the window.
using HtmlImport = std::function<Document(std::string_view bytes)>;

// A book read from a file, or why it could not be read.
struct LoadedBook {
  Document document;
  std::optional<BookError> error;

  bool Ok() const { return !error.has_value(); }
};

// Reads the file `name` ("-" for standard input) whole and reads it as its
// InputKindOf says: RTF through the RTF reader (as plain text when it does not
// look like RTF after all), plain text as UTF-8 or else Windows-1252, HTML
// through `importHtml`, without which HTML is refused with a message.
LoadedBook LoadBookFile(const std::string& name, const HtmlImport& importHtml);

}  // namespace quillet
