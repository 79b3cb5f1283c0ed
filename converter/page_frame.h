// The fixed head and foot of a page around a converted body.
#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Every line of a page file ends so.
inline constexpr std::string_view kCrLf = "\r\n";

// Head of a converted page; `filePrefix` (upper case) goes into the title.
std::string PageHeader(std::string_view filePrefix);
// Foot of a converted page, without a line end after the last tag.
std::string PageFooter();

}  // namespace quillet
