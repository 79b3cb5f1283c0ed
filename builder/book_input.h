// Book files for the command line: which kind a file is, and reading it into
// the same rich-text box the window uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "richtext/document_box.h"

namespace quillet {

enum class InputKind { kRtf, kPlainText, kHtml };

// ".rtf", ".txt", ".htm" and ".html" by name (any case); standard input ("-")
// and other names by content: RTF when it starts with "{\rtf", else plain text.
InputKind InputKindOf(std::string_view name, std::string_view content);

// Largest input read, in bytes, unless QUILLET_MAX_INPUT gives another (a
// number of bytes, or of K, M or G). Nothing, with `error` set, when that
// variable is not such a size.
inline constexpr std::uint64_t kDefaultMaxInput = std::uint64_t{1} << 30;
std::optional<std::uint64_t> MaxInputBytes(std::string& error);

// The bytes of a file, or of standard input for "-". A file must be a regular
// file or a pipe no larger than MaxInputBytes. Nothing, with `error` set to a
// message naming the file and the reason, when it cannot be read whole.
std::optional<std::string> ReadBookFile(const std::string& name, std::string& error);

// Puts RTF or plain text into the box; HTML goes through the Qt bridge instead.
void LoadIntoBox(DocumentBox& box, InputKind kind, std::string_view bytes);

}  // namespace quillet
