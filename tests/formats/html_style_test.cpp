#include "richtext/formats/html_style.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct ColorCase {
  const char* name;
  const char* value;
  bool legacy;
  std::optional<Color> color;
};

void PrintTo(const ColorCase& row, std::ostream* out) {
  *out << row.name;
}

class CssColor : public ::testing::TestWithParam<ColorCase> {};

TEST_P(CssColor, Parses) {
  EXPECT_EQ(ParseColor(GetParam().value, GetParam().legacy), GetParam().color);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CssColor,
    ::testing::Values(
        ColorCase{"six_digits", "#C00000", false, Color{192, 0, 0}},
        ColorCase{"three_digits", " #0f8 ", false, Color{0, 255, 136}},
        ColorCase{"eight_digits_alpha_ignored", "#0070c080", false, Color{0, 112, 192}},
        ColorCase{"rgb_function", "rgb(0, 176, 80)", false, Color{0, 176, 80}},
        ColorCase{"rgb_space_separated", "rgb(0 112 192 / 50%)", false, Color{0, 112, 192}},
        ColorCase{"rgba_percentages", "RGBA(100%, 0%, 50%, .5)", false, Color{255, 0, 128}},
        ColorCase{"rgb_clamped", "rgb(300, -5, 12.6)", false, Color{255, 0, 13}},
        ColorCase{"named", "DarkOliveGreen", false, Color{85, 107, 47}},
        ColorCase{"legacy_bare_hex", "ff0000", true, Color{255, 0, 0}},
        ColorCase{"bare_hex_is_no_css", "ff0000", false, std::nullopt},
        ColorCase{"keyword_inherit", "inherit", false, std::nullopt},
        ColorCase{"bad_hex", "#12345", false, std::nullopt},
        ColorCase{"bad_function", "rgb(1, 2)", false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
  const char* name;
  const char* value;
  int parent;
  std::optional<int> half_points;
};

void PrintTo(const SizeCase& row, std::ostream* out) {
  *out << row.name;
}

class CssFontSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(CssFontSize, GivesHalfPoints) {
  EXPECT_EQ(ParseFontSize(GetParam().value, GetParam().parent), GetParam().half_points);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CssFontSize,
    ::testing::Values(SizeCase{"points", "14.0pt", 24, 28}, SizeCase{"pixels", "16px", 24, 24},
                      SizeCase{"ems_of_the_parent", "1.5em", 32, 48},
                      SizeCase{"percent_of_the_parent", "50%", 40, 20},
                      SizeCase{"rems_of_the_default", "2rem", 40, 48},
                      SizeCase{"keyword", "x-large", 24, 36}, SizeCase{"larger", "larger", 20, 24},
                      SizeCase{"inches", "0.5in", 24, 72}, SizeCase{"clamped", "10000pt", 24, 3276},
                      SizeCase{"negative", "-3pt", 24, std::nullopt},
                      SizeCase{"unknown_unit", "3furlongs", 24, std::nullopt},
                      SizeCase{"no_number", "big", 24, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlStyle, LegacyFontSizesFollowWordProcessors) {
  EXPECT_EQ(LegacyFontSize("1"), 16);
  EXPECT_EQ(LegacyFontSize("3"), 24);
  EXPECT_EQ(LegacyFontSize("7"), 72);
  EXPECT_EQ(LegacyFontSize("+2"), 36);
  EXPECT_EQ(LegacyFontSize("-1"), 20);
  EXPECT_EQ(LegacyFontSize("12"), 72);
  EXPECT_EQ(LegacyFontSize("x"), std::nullopt);
}

TEST(HtmlStyle, DeclarationsSplitOutsideQuotesAndParentheses) {
  const auto declarations = ParseDeclarations(
      "COLOR: rgb(1, 2; 3) ; font-family:\"a;b\", serif;/* x: y; */font-weight : bold "
      "!important;broken;;");
  ASSERT_EQ(declarations.size(), 3u);
  EXPECT_EQ(declarations[0], (std::pair<std::string, std::string>{"color", "rgb(1, 2; 3)"}));
  EXPECT_EQ(declarations[1],
            (std::pair<std::string, std::string>{"font-family", "\"a;b\", serif"}));
  EXPECT_EQ(declarations[2], (std::pair<std::string, std::string>{"font-weight", "bold"}));
  EXPECT_EQ(FirstFontFamily(declarations[1].second), "a;b");
  EXPECT_EQ(FirstFontFamily(" 'Times New Roman' , serif"), "Times New Roman");
}

}  // namespace
}  // namespace quillet
