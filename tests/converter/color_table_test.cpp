#include "converter/color_table.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quillet {
namespace {

using Table = std::vector<std::string>;

struct Case {
  const char* name;
  std::string group;
  Table table;
};

void PrintTo(const Case& row, std::ostream* out) {
  *out << row.name;
}

class ColorTable : public testing::TestWithParam<Case> {};

TEST_P(ColorTable, ReadsEntries) {
  EXPECT_EQ(ParseColorTable(GetParam().group), GetParam().table);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, ColorTable,
    testing::Values(
        Case{"Usual", "{\\colortbl ;\\red255\\green128\\blue0;}", {"", "FF8000"}},
        Case{"SmallAndLargeComponents", "{\\colortbl;\\red0\\green5\\blue300;}", {"", "000512C"}},
        Case{"FirstColourWithoutAutomaticEntryIsLost",
             "{\\colortbl\\red1\\green2\\blue3;\\red4\\green5\\blue6;}",
             {"", "040506"}},
        Case{"AutomaticOnly", "{\\colortbl ;}", {""}},
        Case{"NoSemicolonBrace", "{\\colortbl ;\\red1\\green2\\blue3}", {""}},
        Case{"NoSemicolonAtAll", "{\\colortbl \\red1}", {""}},
        Case{"NotAColourTable", "{\\fonttbl ;}", {""}},
        Case{"MissingGreenBorrowsFromNextEntry",
             "{\\colortbl;\\red1\\blue3;\\red4\\green5\\blue6;}",
             {"", "010506"}},
        Case{"MissingComponentsAtTheEndCountAsZero", "{\\colortbl;\\red9;}", {"", "090000"}},
        Case{"ComponentWithoutDigitIsZero", "{\\colortbl;\\red\\green1\\blue2;}", {"", "000102"}},
        Case{"FourthDigitIgnored", "{\\colortbl;\\red1234\\green0\\blue0;}", {"", "7B0000"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet
