// Book files: the one way every command and the window read a book.
#pragma once

#include <string>
#include <string_view>

#include "richtext/document.h"
#include "richtext/formats/book_formats.h"
#include "richtext/status.h"

namespace quillet {

// RTF, or plain text when the bytes do not look like RTF: what the box takes
// when it is given RTF (the clipboard, its TextRTF).
Document RtfOrPlainText(std::string_view bytes);

// A book read from a file, or why it could not be read.
using LoadedBook = Result<Document>;

// Reads the file `name` ("-" for standard input) whole and reads the book in
// it with LoadBook, which chooses the format by content first and name second;
// helpers run within options.helper_timeout and stop when options.cancelled
// says so.
LoadedBook LoadBookFile(const std::string& name, const LoadOptions& options = {});

}  // namespace quillet
