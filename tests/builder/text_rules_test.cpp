// The pure rules the window and the builder share: folder separator, size
// estimate, prefix check, upper case and character references.
#include "builder/text_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "builder/book_builder.h"
#include "tests/builder/fakes.h"

namespace quillet {
namespace {

#ifdef _WIN32
constexpr const char* kSep = "\\";
#else
constexpr const char* kSep = "/";
#endif

// Rows name themselves, in test names and where a row is printed.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
  return info.param.name;
}

struct TextCase {
  const char* name;
  std::string input;
  std::string expected;
};

void PrintTo(const TextCase& row, std::ostream* out) {
  *out << row.name;
}

class TrailingSeparatorTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(TrailingSeparatorTest, EndsWithExactlyOneSeparator) {
  EXPECT_EQ(TrailingSeparator(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, TrailingSeparatorTest,
    ::testing::Values(TextCase{"WindowsFolder", "C:\\Books", std::string("C:\\Books") + kSep},
                      TextCase{"WindowsDrive", "C:\\", "C:\\"},
                      TextCase{"FolderWithSlash", "/home/ana/", "/home/ana/"},
                      TextCase{"FolderWithout", "/home/ana", std::string("/home/ana") + kSep},
                      TextCase{"CancelledFolder", "d:\\", "d:\\"}, TextCase{"Empty", "", kSep}),
    RowName<TextCase>);

TEST(BrowseFolderTextTest, CancelGivesDriveD) {
  testing::FixedFolderChooser cancel(std::nullopt);
  EXPECT_EQ(BrowseFolderText(cancel), "d:\\");
}

TEST(BrowseFolderTextTest, ChosenFolderGetsTheSeparator) {
  testing::FixedFolderChooser chosen(std::string("/media/card/libros"));
  EXPECT_EQ(BrowseFolderText(chosen), std::string("/media/card/libros") + kSep);
}

struct EstimateCase {
  const char* name;
  std::int64_t rtfLength;
  int parts;
  const char* expected;
};

void PrintTo(const EstimateCase& row, std::ostream* out) {
  *out << row.name;
}

class EstimateTest : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(EstimateTest, RoundsHalvesAwayFromZeroAndHidesZero) {
  EXPECT_EQ(EstimateText(GetParam().rtfLength, GetParam().parts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Estimates, EstimateTest,
    ::testing::Values(EstimateCase{"OnePart", 2000, 1, "Aprox: 2 Kb"},
                      EstimateCase{"FiveParts", 9000, 5, "Aprox: 2 Kb"},
                      EstimateCase{"EmptyBox", 0, 1, "Aprox:  Kb"},
                      EstimateCase{"RoundsToZero", 449, 1, "Aprox:  Kb"},
                      EstimateCase{"HalfRoundsUp", 450, 1, "Aprox: 1 Kb"},
                      EstimateCase{"TwoAndAHalf", 2250, 1, "Aprox: 3 Kb"},
                      EstimateCase{"ThreeAndAHalf", 3150, 1, "Aprox: 4 Kb"},
                      EstimateCase{"FiveDigits", 9000000, 1, "Aprox: 10000 Kb"},
                      EstimateCase{"NoPartsCountsAsOne", 9000, 0, "Aprox: 10 Kb"}),
    RowName<EstimateCase>);

struct ReaderEstimateCase {
  const char* name;
  int parts;
  int maxKb;
  const char* expected;
};

void PrintTo(const ReaderEstimateCase& row, std::ostream* out) {
  *out << row.name;
}

class ReaderEstimateTest : public ::testing::TestWithParam<ReaderEstimateCase> {};

TEST_P(ReaderEstimateTest, NamesThePartsAndTheBudget) {
  EXPECT_EQ(ReaderEstimateText(GetParam().parts, GetParam().maxKb), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ReaderEstimates, ReaderEstimateTest,
    ::testing::Values(ReaderEstimateCase{"ManyParts", 37, 100, "Aprox: 37 partes de 100 Kb"},
                      ReaderEstimateCase{"OnePart", 1, 100, "Aprox: 1 parte de 100 Kb"},
                      ReaderEstimateCase{"ThreeDigits", 120, 50, "Aprox: 120 partes de 50 Kb"},
                      ReaderEstimateCase{"BookDoesNotFit", 0, 50, "Aprox: ? partes de 50 Kb"}),
    RowName<ReaderEstimateCase>);

struct PrefixCase {
  const char* name;
  const char* prefix;
};

void PrintTo(const PrefixCase& row, std::ostream* out) {
  *out << row.name;
}

class GoodPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(GoodPrefixTest, IsAccepted) {
  EXPECT_EQ(PrefixProblem(GetParam().prefix), "");
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, GoodPrefixTest,
    ::testing::Values(PrefixCase{"Default", "Rerud"}, PrefixCase{"LowerCase", "libro"},
                      PrefixCase{"InnerDot", "a.b"}, PrefixCase{"Accents", "Ñandú"},
                      PrefixCase{"InnerSpace", "mi libro"},
                      PrefixCase{"LongerThanADeviceName", "CONSOLA"},
                      PrefixCase{"DeviceNameWithZero", "COM0"}, PrefixCase{"LeadingDots", "..a"},
                      PrefixCase{"Ampersand", "a&b"}, PrefixCase{"Apostrophe", "O'Brien"}),
    RowName<PrefixCase>);

TEST(PrefixProblemTest, NamesTheOffendingCharacter) {
  const std::string message = PrefixProblem("a?b");
  EXPECT_NE(message.find("?"), std::string::npos);
  EXPECT_NE(PrefixProblem("a\x01").find("U+0001"), std::string::npos);
}

TEST(PrefixProblemTest, RefusesNamesLongerThanTheFileSystemTakes) {
  EXPECT_EQ(PrefixProblem(std::string(248, 'a')), "");
  EXPECT_NE(PrefixProblem(std::string(249, 'a')), "");
}

TEST(PrefixProblemTest, RefusesEmptyAndWhiteSpaceEdgedPrefixes) {
  for (const char* prefix : {"", " Libro", "Libro ", "\u00a0Libro", "Libro\u2003"}) {
    const std::string message = PrefixProblem(prefix);
    EXPECT_NE(message.find("prefijo"), std::string::npos) << prefix;
    EXPECT_NE(message.find("prefix"), std::string::npos) << prefix;
  }
  EXPECT_EQ(PrefixProblem("mi libro"), "");
}

TEST(TitlePrefixTest, UpperCaseWithMarkupEscaped) {
  for (const auto& [prefix, title] : {std::pair{"Rerud", "RERUD"},
                                      {"a&b", "A&amp;B"},
                                      {"&lt;b&gt;", "&amp;LT;B&amp;GT;"},
                                      {"O'Brien", "O&#39;BRIEN"},
                                      {"x<y>\"z\"", "X&lt;Y&gt;&quot;Z&quot;"},
                                      {"Ñandú", "&#209;AND&#218;"}}) {
    EXPECT_EQ(TitlePrefix(prefix), title) << prefix;
  }
}

TEST(UpperCaseTest, CoversAsciiAndLatinLetters) {
  EXPECT_EQ(UpperCase("libro ñandú ÿ ß ÷ 1"), "LIBRO ÑANDÚ Ÿ ß ÷ 1");
  EXPECT_EQ(UpperCase("книга ő αβγ"), "КНИГА Ő ΑΒΓ");
}

TEST(CharacterReferencesTest, LeavesAsciiAndWritesTheRestAsDecimal) {
  EXPECT_EQ(CharacterReferences("Libro"), "Libro");
  EXPECT_EQ(CharacterReferences("Ñandú"), "&#209;and&#250;");
  EXPECT_EQ(CharacterReferences("€𝄞"), "&#8364;&#119070;");
  EXPECT_EQ(CharacterReferences("a\xff"), "a&#65533;");
}

}  // namespace
}  // namespace quillet
