#include "converter/entities.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

struct EntityRow {
  const char* hex;
  const char* text;
  bool rtf = false;
};

void PrintTo(const EntityRow& row, std::ostream* out) {
  *out << row.hex;
}

class EscapeEntity : public testing::TestWithParam<EntityRow> {};

TEST_P(EscapeEntity, GivesTheTableEntry) {
  const Entity* entity = EntityForHex(GetParam().hex);
  ASSERT_NE(entity, nullptr);
  EXPECT_EQ(entity->text, GetParam().text);
  EXPECT_EQ(entity->rtf, GetParam().rtf);
}

// The converter's own entities where they differ from the code page, the rest
// of Windows-1252, markup characters, and codes that are no character.
INSTANTIATE_TEST_SUITE_P(
    Codes, EscapeEntity,
    testing::Values(EntityRow{"e9", "&eacute;"}, EntityRow{"E9", "&eacute;"},
                    EntityRow{"99", "\\super TM\\nosupersub", true}, EntityRow{"85", "..."},
                    EntityRow{"00", "&nbsp;"}, EntityRow{"80", "&euro;"},
                    EntityRow{"91", "&lsquo;"}, EntityRow{"92", "&rsquo;"},
                    EntityRow{"93", "&ldquo;"}, EntityRow{"94", "&rdquo;"},
                    EntityRow{"95", "&bull;"}, EntityRow{"96", "&ndash;"},
                    EntityRow{"97", "&mdash;"}, EntityRow{"a0", "&nbsp;"}, EntityRow{"ae", "&reg;"},
                    EntityRow{"e4", "&auml;"}, EntityRow{"8e", "&#381;"}, EntityRow{"9e", "&#382;"},
                    EntityRow{"41", "A"}, EntityRow{"26", "&amp;"}, EntityRow{"3c", "&lt;"},
                    EntityRow{"3E", "&gt;"}, EntityRow{"5c", "&#92;"}, EntityRow{"7b", "&#123;"},
                    EntityRow{"7d", "&#125;"}, EntityRow{"01", ""}, EntityRow{"1f", ""},
                    EntityRow{"7f", ""}, EntityRow{"81", ""}, EntityRow{"8d", ""},
                    EntityRow{"8f", ""}, EntityRow{"90", ""}, EntityRow{"9d", ""}),
    [](const auto& info) { return std::string("code_") + info.param.hex; });

TEST(EscapeEntity, OnlyTwoHexadecimalDigitsAreAnEscape) {
  for (const char* hex : {"", "e", "zz", "-1", "+1", "e9x", "0x"}) {
    EXPECT_EQ(EntityForHex(hex), nullptr) << hex;
  }
}

TEST(EscapeEntity, EveryHighCodeGivesText) {
  for (int code = 0xA0; code <= 0xFF; ++code) {
    EXPECT_FALSE(kEntities[static_cast<std::size_t>(code)].text.empty()) << code;
    EXPECT_FALSE(kEntities[static_cast<std::size_t>(code)].rtf) << code;
  }
}

}  // namespace
}  // namespace quillet
