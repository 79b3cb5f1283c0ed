// Book files for the command line: which kind a file is, and reading it into
// the same rich-text box the window uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "document_box.h"

namespace quillet {

enum class InputKind { kRtf, kPlainText, kHtml };

// ".rtf", ".txt", ".htm" and ".html" by name (any case); standard input ("-")
// and other names by content: RTF when it starts with "{\rtf", else plain text.
InputKind InputKindOf(std::string_view name, std::string_view content);

// The bytes of a file, or of standard input for "-"; nothing, with `error`
// set to a message naming the file, when it cannot be read.
std::optional<std::string> ReadBookFile(const std::string& name, std::string& error);

// Puts RTF or plain text into the box; HTML goes through the Qt bridge instead.
void LoadIntoBox(DocumentBox& box, InputKind kind, std::string_view bytes);

}  // namespace quillet
