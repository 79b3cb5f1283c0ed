#include "converter/color_table.h"

#include <cstddef>
#include <cstdio>

#include "converter/text_utils.h"

namespace quillet {
namespace {

constexpr auto npos = std::string_view::npos;

// The component whose control word of `length` characters starts at `pos`: the
// character right after the word and up to two more digits, in hexadecimal.
std::string ColorComponent(std::string_view group, std::size_t pos, std::size_t length) {
  const std::size_t first = pos + length;
  unsigned value = 0;
  if (first < group.size() && IsDigitChar(group[first])) {
    value = static_cast<unsigned>(group[first] - '0');
    // The two characters after it count each on its own when it is a digit.
    for (std::size_t i = first + 1; i <= first + 2 && i < group.size(); ++i) {
      if (IsDigitChar(group[i])) value = value * 10 + static_cast<unsigned>(group[i] - '0');
    }
  }
  char hex[8];
  std::snprintf(hex, sizeof hex, "%02X", value);
  return hex;
}

}  // namespace

std::vector<std::string> ParseColorTable(std::string_view group) {
  std::vector<std::string> table{""};
  std::size_t a = group.find("\\colortbl");
  if (a == npos) return table;
  a = group.find(';', a);
  if (a == npos) return table;
  const std::size_t last = group.find(";}", a);
  if (last == npos) return table;
  for (std::size_t r = group.find("\\red", a); r != npos && r <= last;) {
    std::string entry = ColorComponent(group, r, 4);
    const std::size_t g = group.find("\\green", r);
    entry += g == npos ? "00" : ColorComponent(group, g, 6);
    const std::size_t afterGreen = g == npos ? r : g;
    const std::size_t b = group.find("\\blue", afterGreen);
    entry += b == npos ? "00" : ColorComponent(group, b, 5);
    table.push_back(std::move(entry));
    r = group.find("\\red", (b == npos ? afterGreen : b) + 1);
  }
  return table;
}

}  // namespace quillet
