#include "richtext/formats/html_style.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "richtext/ascii.h"

namespace quillet {
namespace {

struct NamedColor {
  std::string_view name;
  std::uint32_t rgb;
};

// The CSS colour keywords, sorted by name.
constexpr NamedColor kNamedColors[] = {
    {"aliceblue", 0xf0f8ff},
    {"antiquewhite", 0xfaebd7},
    {"aqua", 0x00ffff},
    {"aquamarine", 0x7fffd4},
    {"azure", 0xf0ffff},
    {"beige", 0xf5f5dc},
    {"bisque", 0xffe4c4},
    {"black", 0x000000},
    {"blanchedalmond", 0xffebcd},
    {"blue", 0x0000ff},
    {"blueviolet", 0x8a2be2},
    {"brown", 0xa52a2a},
    {"burlywood", 0xdeb887},
    {"cadetblue", 0x5f9ea0},
    {"chartreuse", 0x7fff00},
    {"chocolate", 0xd2691e},
    {"coral", 0xff7f50},
    {"cornflowerblue", 0x6495ed},
    {"cornsilk", 0xfff8dc},
    {"crimson", 0xdc143c},
    {"cyan", 0x00ffff},
    {"darkblue", 0x00008b},
    {"darkcyan", 0x008b8b},
    {"darkgoldenrod", 0xb8860b},
    {"darkgray", 0xa9a9a9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xa9a9a9},
    {"darkkhaki", 0xbdb76b},
    {"darkmagenta", 0x8b008b},
    {"darkolivegreen", 0x556b2f},
    {"darkorange", 0xff8c00},
    {"darkorchid", 0x9932cc},
    {"darkred", 0x8b0000},
    {"darksalmon", 0xe9967a},
    {"darkseagreen", 0x8fbc8f},
    {"darkslateblue", 0x483d8b},
    {"darkslategray", 0x2f4f4f},
    {"darkslategrey", 0x2f4f4f},
    {"darkturquoise", 0x00ced1},
    {"darkviolet", 0x9400d3},
    {"deeppink", 0xff1493},
    {"deepskyblue", 0x00bfff},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1e90ff},
    {"firebrick", 0xb22222},
    {"floralwhite", 0xfffaf0},
    {"forestgreen", 0x228b22},
    {"fuchsia", 0xff00ff},
    {"gainsboro", 0xdcdcdc},
    {"ghostwhite", 0xf8f8ff},
    {"gold", 0xffd700},
    {"goldenrod", 0xdaa520},
    {"gray", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xadff2f},
    {"grey", 0x808080},
    {"honeydew", 0xf0fff0},
    {"hotpink", 0xff69b4},
    {"indianred", 0xcd5c5c},
    {"indigo", 0x4b0082},
    {"ivory", 0xfffff0},
    {"khaki", 0xf0e68c},
    {"lavender", 0xe6e6fa},
    {"lavenderblush", 0xfff0f5},
    {"lawngreen", 0x7cfc00},
    {"lemonchiffon", 0xfffacd},
    {"lightblue", 0xadd8e6},
    {"lightcoral", 0xf08080},
    {"lightcyan", 0xe0ffff},
    {"lightgoldenrodyellow", 0xfafad2},
    {"lightgray", 0xd3d3d3},
    {"lightgreen", 0x90ee90},
    {"lightgrey", 0xd3d3d3},
    {"lightpink", 0xffb6c1},
    {"lightsalmon", 0xffa07a},
    {"lightseagreen", 0x20b2aa},
    {"lightskyblue", 0x87cefa},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xb0c4de},
    {"lightyellow", 0xffffe0},
    {"lime", 0x00ff00},
    {"limegreen", 0x32cd32},
    {"linen", 0xfaf0e6},
    {"magenta", 0xff00ff},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66cdaa},
    {"mediumblue", 0x0000cd},
    {"mediumorchid", 0xba55d3},
    {"mediumpurple", 0x9370db},
    {"mediumseagreen", 0x3cb371},
    {"mediumslateblue", 0x7b68ee},
    {"mediumspringgreen", 0x00fa9a},
    {"mediumturquoise", 0x48d1cc},
    {"mediumvioletred", 0xc71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xf5fffa},
    {"mistyrose", 0xffe4e1},
    {"moccasin", 0xffe4b5},
    {"navajowhite", 0xffdead},
    {"navy", 0x000080},
    {"oldlace", 0xfdf5e6},
    {"olive", 0x808000},
    {"olivedrab", 0x6b8e23},
    {"orange", 0xffa500},
    {"orangered", 0xff4500},
    {"orchid", 0xda70d6},
    {"palegoldenrod", 0xeee8aa},
    {"palegreen", 0x98fb98},
    {"paleturquoise", 0xafeeee},
    {"palevioletred", 0xdb7093},
    {"papayawhip", 0xffefd5},
    {"peachpuff", 0xffdab9},
    {"peru", 0xcd853f},
    {"pink", 0xffc0cb},
    {"plum", 0xdda0dd},
    {"powderblue", 0xb0e0e6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xff0000},
    {"rosybrown", 0xbc8f8f},
    {"royalblue", 0x4169e1},
    {"saddlebrown", 0x8b4513},
    {"salmon", 0xfa8072},
    {"sandybrown", 0xf4a460},
    {"seagreen", 0x2e8b57},
    {"seashell", 0xfff5ee},
    {"sienna", 0xa0522d},
    {"silver", 0xc0c0c0},
    {"skyblue", 0x87ceeb},
    {"slateblue", 0x6a5acd},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xfffafa},
    {"springgreen", 0x00ff7f},
    {"steelblue", 0x4682b4},
    {"tan", 0xd2b48c},
    {"teal", 0x008080},
    {"thistle", 0xd8bfd8},
    {"tomato", 0xff6347},
    {"turquoise", 0x40e0d0},
    {"violet", 0xee82ee},
    {"wheat", 0xf5deb3},
    {"white", 0xffffff},
    {"whitesmoke", 0xf5f5f5},
    {"yellow", 0xffff00},
    {"yellowgreen", 0x9acd32},
};

// Half-points of <font size="1"> to "7", as word processors and older browsers size them.
constexpr std::array<int, 7> kLegacySizes = {16, 20, 24, 28, 36, 48, 72};
constexpr std::array<int, 6> kHeadingSizes = {48, 36, 28, 24, 20, 16};
constexpr int kLargestSize = 3276;  // the largest \fs an RTF reader takes

Color FromRgb(std::uint32_t rgb) {
  return Color{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
               static_cast<std::uint8_t>(rgb)};
}

// Three or four hex digits (#rgb, #rgba) or six or eight (#rrggbb, #rrggbbaa); alpha is ignored.
std::optional<Color> ParseHex(std::string_view digits) {
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return HexDigitValue(c) >= 0; })) {
    return std::nullopt;
  }
  std::uint32_t rgb = 0;
  if (digits.size() == 3 || digits.size() == 4) {
    for (std::size_t i = 0; i < 3; ++i)
      rgb = rgb << 8 | static_cast<std::uint32_t>(HexDigitValue(digits[i]) * 17);
  } else if (digits.size() == 6 || digits.size() == 8) {
    for (std::size_t i = 0; i < 6; ++i)
      rgb = rgb << 4 | static_cast<std::uint32_t>(HexDigitValue(digits[i]));
  } else {
    return std::nullopt;
  }
  return FromRgb(rgb);
}

std::optional<double> ParseNumber(std::string_view text, std::string_view& unit) {
  double value = 0;
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
  unit = text.substr(static_cast<std::size_t>(end - text.data()));
  return value;
}

// "rgb(0, 112, 192)", "rgb(0 112 192 / 50%)", "rgba(100%, 0%, 0%, 0.5)".
std::optional<Color> ParseRgbFunction(std::string_view arguments) {
  std::array<std::uint8_t, 3> channels{};
  std::size_t count = 0;
  std::size_t i = 0;
  while (count < 3 && i < arguments.size()) {
    while (i < arguments.size() && (IsHtmlSpace(arguments[i]) || arguments[i] == ',')) ++i;
    std::size_t end = i;
    while (end < arguments.size() && !IsHtmlSpace(arguments[end]) && arguments[end] != ',' &&
           arguments[end] != '/') {
      ++end;
    }
    std::string_view unit;
    const std::optional<double> number = ParseNumber(arguments.substr(i, end - i), unit);
    if (!number || !(unit.empty() || unit == "%")) return std::nullopt;
    const double value = unit == "%" ? *number * 255 / 100 : *number;
    channels[count++] = static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
    i = end;
  }
  if (count < 3) return std::nullopt;
  return Color{channels[0], channels[1], channels[2]};
}

}  // namespace

std::optional<Color> ParseColor(std::string_view value, bool legacy) {
  const std::string text = AsciiLower(TrimHtmlSpace(value));
  if (text.starts_with('#')) return ParseHex(std::string_view(text).substr(1));
  for (std::string_view function : {"rgb(", "rgba("}) {
    if (text.starts_with(function) && text.ends_with(')')) {
      return ParseRgbFunction(
          std::string_view(text).substr(function.size(), text.size() - function.size() - 1));
    }
  }
  const auto* found = std::lower_bound(
      std::begin(kNamedColors), std::end(kNamedColors), text,
      [](const NamedColor& entry, const std::string& name) { return entry.name < name; });
  if (found != std::end(kNamedColors) && found->name == text) return FromRgb(found->rgb);
  if (legacy && text.size() == 6) return ParseHex(text);
  return std::nullopt;
}

std::optional<int> ParseFontSize(std::string_view value, int parent_half_points) {
  const std::string text = AsciiLower(TrimHtmlSpace(value));
  // The keywords, with "medium" the 12-point default.
  constexpr std::pair<std::string_view, int> kKeywords[] = {
      {"xx-small", 14}, {"x-small", 15}, {"small", 20},    {"medium", 24},
      {"large", 27},    {"x-large", 36}, {"xx-large", 48}, {"xxx-large", 72}};
  for (const auto& [keyword, size] : kKeywords) {
    if (text == keyword) return size;
  }
  double half_points = 0;
  if (text == "larger") {
    half_points = parent_half_points * 1.2;
  } else if (text == "smaller") {
    half_points = parent_half_points / 1.2;
  } else {
    std::string_view unit;
    const std::optional<double> number = ParseNumber(text, unit);
    if (!number || *number <= 0) return std::nullopt;
    // Half-points per unit; relative units scale the parent's size.
    constexpr std::pair<std::string_view, double> kUnits[] = {{"pt", 2.0},
                                                              {"px", 1.5},
                                                              {"pc", 24.0},
                                                              {"in", 144.0},
                                                              {"cm", 144.0 / 2.54},
                                                              {"mm", 14.4 / 2.54},
                                                              {"rem", kDefaultSizeHalfPoints}};
    if (unit == "em") {
      half_points = *number * parent_half_points;
    } else if (unit == "%") {
      half_points = *number * parent_half_points / 100;
    } else if (unit == "ex") {
      half_points = *number * parent_half_points / 2;
    } else {
      const auto* found = std::find_if(std::begin(kUnits), std::end(kUnits),
                                       [&](const auto& entry) { return entry.first == unit; });
      if (found == std::end(kUnits)) return std::nullopt;
      half_points = *number * found->second;
    }
  }
  return static_cast<int>(std::lround(std::clamp(half_points, 1.0, double{kLargestSize})));
}

std::optional<int> LegacyFontSize(std::string_view value) {
  value = TrimHtmlSpace(value);
  const bool relative = !value.empty() && (value.front() == '+' || value.front() == '-');
  const bool negative = !value.empty() && value.front() == '-';
  if (relative) value.remove_prefix(1);
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end == value.data()) return std::nullopt;
  if (relative) number = negative ? 3 - number : 3 + number;
  return kLegacySizes[static_cast<std::size_t>(std::clamp(number, 1, 7) - 1)];
}

std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view style) {
  std::vector<std::pair<std::string, std::string>> declarations;
  std::string declaration;
  const auto finish = [&] {
    const std::size_t colon = declaration.find(':');
    if (colon != std::string::npos) {
      std::string_view value = TrimHtmlSpace(std::string_view(declaration).substr(colon + 1));
      const std::string lower = AsciiLower(value);
      const std::size_t important = lower.rfind("!important");
      if (important != std::string::npos) value = TrimHtmlSpace(value.substr(0, important));
      declarations.emplace_back(
          AsciiLower(TrimHtmlSpace(std::string_view(declaration).substr(0, colon))),
          std::string(value));
    }
    declaration.clear();
  };
  char quote = 0;
  int parentheses = 0;
  for (std::size_t i = 0; i < style.size(); ++i) {
    const char c = style[i];
    if (quote == 0 && c == '/' && i + 1 < style.size() && style[i + 1] == '*') {
      const std::size_t end = style.find("*/", i + 2);
      i = end == std::string_view::npos ? style.size() : end + 1;
      continue;
    }
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '(') {
      ++parentheses;
    } else if (c == ')' && parentheses > 0) {
      --parentheses;
    } else if (c == ';' && parentheses == 0) {
      finish();
      continue;
    }
    declaration += c;
  }
  finish();
  return declarations;
}

std::string FirstFontFamily(std::string_view families) {
  // Every run carries its font's name; no face needs more than this, and a
  // longer one would be copied into each run.
  constexpr std::size_t kLongestFontName = 256;
  std::string_view first = TrimHtmlSpace(families.substr(0, families.find(',')));
  if (first.size() >= 2 && (first.front() == '"' || first.front() == '\'') &&
      first.back() == first.front()) {
    first = TrimHtmlSpace(first.substr(1, first.size() - 2));
  }
  if (first.size() > kLongestFontName) {
    std::size_t cut = kLongestFontName;
    while (cut > 0 && (static_cast<unsigned char>(first[cut]) & 0xC0) == 0x80)
      --cut;  // whole characters
    first = first.substr(0, cut);
  }
  return std::string(first);
}

int HeadingSize(int level) {
  return kHeadingSizes[static_cast<std::size_t>(std::clamp(level, 1, 6) - 1)];
}

}  // namespace quillet
