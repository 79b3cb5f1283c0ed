// Reading an input file whole: the one way every command and the window read
// a book or an RTF file.
#pragma once

#include <cstdint>
#include <string>

#include "richtext/status.h"

namespace quillet {

// Largest input read, in bytes, unless QUILLET_MAX_INPUT gives another (a
// number of bytes, or of K, M or G).
inline constexpr std::uint64_t kDefaultMaxInput = std::uint64_t{1} << 30;

// The bytes of a file, or why it could not be read whole.
using InputFile = Result<std::string>;

// Reads the file `name`, or standard input for "-". A file must be a regular
// file or a pipe no larger than the limit; the error names the file and the
// system's reason.
InputFile ReadInputFile(const std::string& name);

}  // namespace quillet
