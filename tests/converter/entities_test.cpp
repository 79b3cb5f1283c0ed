#include "entities.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LookupEntity, TableRowsAndTheirSpecialKinds) {
  EXPECT_EQ(LookupEntity("e9"), "&eacute;");
  EXPECT_EQ(LookupEntity("E9"), "&eacute;");
  EXPECT_EQ(LookupEntity("99"), "<rtf>:\\super TM\\nosupersub");
  EXPECT_EQ(LookupEntity("85"), "...");
  EXPECT_EQ(LookupEntity("00"), "&nbsp;");
}

TEST(LookupEntity, RestOfTheCodePage) {
  const std::pair<const char*, const char*> rows[] = {
      {"80", "&euro;"}, {"91", "&lsquo;"}, {"92", "&rsquo;"}, {"93", "&ldquo;"}, {"94", "&rdquo;"},
      {"95", "&bull;"}, {"96", "&ndash;"}, {"97", "&mdash;"}, {"a0", "&nbsp;"},  {"ae", "&reg;"},
      {"e4", "&auml;"}, {"8e", "&#381;"},  {"9e", "&#382;"},  {"41", "A"},       {"26", "&amp;"},
      {"3c", "&lt;"},   {"3E", "&gt;"},    {"5c", "&#92;"},   {"7b", "&#123;"},  {"7d", "&#125;"},
      {"01", ""},       {"1f", ""},        {"81", ""},        {"8d", ""},        {"8f", ""},
      {"90", ""},       {"9d", ""},        {"", ""},          {"e", ""},         {"zz", ""},
      {"-1", ""},       {"e9x", ""},
  };
  for (const auto& [hex, text] : rows) EXPECT_EQ(LookupEntity(hex), text) << hex;
}

TEST(LookupEntity, EveryHighCodeGivesSomething) {
  const char* digits = "0123456789abcdef";
  for (int code = 0xA0; code <= 0xFF; ++code) {
    const std::string hex = {digits[code >> 4], digits[code & 15]};
    EXPECT_FALSE(LookupEntity(hex).empty()) << hex;
  }
}

}  // namespace
}  // namespace quillet
