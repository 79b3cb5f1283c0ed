// The values of HTML presentation attributes and inline CSS that the HTML
// reader maps onto the document model: colours, font sizes, declarations.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "richtext/document.h"

namespace quillet {

// "#rgb", "#rrggbb", "rgb(r, g, b)" (numbers or percentages), "rgba(...)", and
// the CSS colour names; with `legacy` (a <font color> attribute), also six hex
// digits without "#". Nothing for anything else ("inherit", "transparent").
std::optional<Color> ParseColor(std::string_view value, bool legacy = false);

// A CSS font-size ("12pt", "16px", "1.5em", "120%", "large", "smaller") in
// half-points, given the parent's size; nothing when it is not understood.
std::optional<int> ParseFontSize(std::string_view value, int parent_half_points);

// The size a <font size="..."> attribute gives: 1 to 7, or "+n"/"-n" from 3.
std::optional<int> LegacyFontSize(std::string_view value);

// "name: value; ..." with names lower-cased, values trimmed and "!important"
// and comments removed, in order of appearance.
std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view style);

// The first family of a font-family list, without quotes.
std::string FirstFontFamily(std::string_view families);

// The half-points of headings h1 to h6, as browsers and word processors size them.
int HeadingSize(int level);

}  // namespace quillet
