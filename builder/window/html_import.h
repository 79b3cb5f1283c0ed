// Qt's HTML import for callers that do not use Qt themselves (the command line).
#pragma once

#include <string_view>

#include "richtext/document.h"

namespace quillet {

// HTML bytes, decoded by their own charset declaration (UTF-8 when they give
// none), read by Qt's HTML import. Without a Qt application it starts one, on
// the offscreen platform when there is no display.
Document ImportHtml(std::string_view bytes);

}  // namespace quillet
