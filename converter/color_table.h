// Reading a "\colortbl" group into HTML colour values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Entry 0 is "" (the automatic colour); entry k is the k-th colour after the
// table's first ";" as uppercase RRGGBB. A missing component counts as 0.
std::vector<std::string> ParseColorTable(std::string_view group);

}  // namespace quillet
