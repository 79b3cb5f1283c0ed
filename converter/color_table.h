// Reading a "\colortbl" group into HTML colour values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// Entry 0 is "" (the automatic colour); entry k is the k-th colour after the
// table's first ";" as uppercase RRGGBB. A missing component counts as 0.
std::vector<std::string> ParseColorTable(std::string_view group);

// The component whose control word of `length` characters starts at `pos`: the
// character right after the word and up to two more digits, in hexadecimal.
std::string ColorComponent(std::string_view group, std::size_t pos, std::size_t length);

}  // namespace quillet
