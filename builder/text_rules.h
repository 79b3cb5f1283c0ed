// Pure text rules of the window and the builder: the folder box's separator,
// the size estimate, the prefix check, page titles and character references.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "builder/platform.h"
#include "richtext/status.h"

namespace quillet {

// What the folder browser yields when the user cancels.
inline constexpr std::string_view kCancelledFolder = "d:\\";

// The folder box's rule: a text that does not end in "\" or "/" gets the
// platform's separator appended ("\" on Windows, "/" elsewhere).
std::string TrailingSeparator(std::string_view text);

// The folder box's text after the folder browser: the chosen folder, or
// kCancelledFolder on cancel, always through TrailingSeparator.
std::string BrowseFolderText(FolderChooser& chooser);

// The size estimate label: "Aprox: " + rtfLength / 900 / partCount rounded
// halves away from zero + " Kb"; no number when it rounds to 0.
std::string EstimateText(std::int64_t rtfLength, int partCount);

// The estimate label in reader mode: "Aprox: 37 partes de 100 Kb"; a question
// mark for the count when the book cannot be cut under the budget (parts 0).
std::string ReaderEstimateText(int parts, int maxKb);

// Why a prefix cannot start file names (a kInvalidPrefix status's `first`).
enum class PrefixFault : std::uint8_t {
  kEmpty,
  kSeparator,
  kDotName,
  kNotUtf8,
  kForbiddenCharacter,  // the character is the status's `second`
  kWhiteSpaceEdge,
  kReservedName,
  kTooLong,
};

// Ok when `prefix` can start file names inside the output folder; otherwise a
// kInvalidPrefix status with the prefix as shown and its PrefixFault.
Status CheckPrefix(std::string_view prefix);

// Upper case of a UTF-8 text, every script's letters, as page titles use it.
std::string UpperCase(std::string_view text);

// The one page-title rule, for every page of a book and `quillet convert
// --page`: the prefix in upper case, with "&", "<", ">" and quotes escaped and
// every character outside ASCII as a decimal character reference.
std::string TitlePrefix(std::string_view prefix);

// The prefix as index links name the part files: "&" escaped, "#" and "%"
// escaped for the URL, every character outside ASCII a character reference.
std::string LinkPrefix(std::string_view prefix);
// The prefix as index links show it: "&" escaped, references as above.
std::string ShownPrefix(std::string_view prefix);

// A UTF-8 text with every character outside ASCII written as a decimal
// character reference, so it reads the same whatever the page's code page.
std::string CharacterReferences(std::string_view text);

}  // namespace quillet
