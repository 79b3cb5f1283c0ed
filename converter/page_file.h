// The fixed head and foot around a converted body: a page file's layout. The
// files themselves are written by the book builder (builder/page_files.h).
#pragma once

#include <string>
#include <string_view>

namespace quillet {

inline constexpr std::string_view kCrLf = "\r\n";

// Head of a converted page; `filePrefix` (upper case) goes into the title.
std::string PageHeader(std::string_view filePrefix);
// Foot of a converted page, without a line end after the last tag.
std::string PageFooter();

}  // namespace quillet
