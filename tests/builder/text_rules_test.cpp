// The pure rules the window and the builder share: folder separator, size
// estimate, prefix check, upper case and character references.
#include "builder/text_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "builder/book_builder.h"
#include "builder/messages.h"
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
  EXPECT_TRUE(CheckPrefix(GetParam().prefix).ok());
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

struct PrefixMessageCase {
  std::string name;
  std::string prefix;
  std::string message;
};

class PrefixMessageTest : public ::testing::TestWithParam<PrefixMessageCase> {};

TEST_P(PrefixMessageTest, SaysWhatIsWrongInBothLanguages) {
  EXPECT_EQ(Message(CheckPrefix(GetParam().prefix)), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, PrefixMessageTest,
    ::testing::Values(
        PrefixMessageCase{"Empty", "",
                          "El prefijo \"\" no sirve para nombres de archivo: está vacío.\n"
                          "The prefix \"\" cannot start file names: it is empty."},
        PrefixMessageCase{"Separator", "a/b",
                          "El prefijo \"a/b\" no sirve para nombres de archivo: contiene un "
                          "separador de carpetas (/ o \\).\nThe prefix \"a/b\" cannot start file "
                          "names: it holds a folder separator (/ or \\)."},
        PrefixMessageCase{"DotDot", "..",
                          "El prefijo \"..\" no sirve para nombres de archivo: \".\" y \"..\" "
                          "nombran carpetas.\nThe prefix \"..\" cannot start file names: \".\" "
                          "and \"..\" name folders."},
        PrefixMessageCase{"NotUtf8", "a\xff",
                          "El prefijo \"\" no sirve para nombres de archivo: no es texto UTF-8 "
                          "válido.\nThe prefix \"\" cannot start file names: it is not valid "
                          "UTF-8 text."},
        PrefixMessageCase{"Question", "a?b",
                          "El prefijo \"a?b\" no sirve para nombres de archivo: contiene el "
                          "carácter no permitido ?.\nThe prefix \"a?b\" cannot start file names: "
                          "it holds the character ?, which file names do not allow."},
        PrefixMessageCase{"Tab", "a\tb",
                          "El prefijo \"a\tb\" no sirve para nombres de archivo: contiene el "
                          "carácter no permitido U+0009.\nThe prefix \"a\tb\" cannot start file "
                          "names: it holds the character U+0009, which file names do not allow."},
        PrefixMessageCase{"TrailingSpace", "Libro ",
                          "El prefijo \"Libro \" no sirve para nombres de archivo: empieza o "
                          "termina con un espacio.\nThe prefix \"Libro \" cannot start file "
                          "names: it begins or ends with white space."},
        PrefixMessageCase{"Device", "CON",
                          "El prefijo \"CON\" no sirve para nombres de archivo: es un nombre "
                          "reservado del sistema.\nThe prefix \"CON\" cannot start file names: "
                          "it is a name the system reserves."},
        PrefixMessageCase{"TooLong", std::string(249, 'a'),
                          "El prefijo \"" + std::string(20, 'a') +
                              "\" no sirve para nombres de archivo: es demasiado largo.\nThe "
                              "prefix \"" +
                              std::string(20, 'a') +
                              "\" cannot start file names: it is too long."}),
    RowName<PrefixMessageCase>);

TEST(PrefixRuleTest, NamesTheOffendingCharacter) {
  const std::string message = Message(CheckPrefix("a?b"));
  EXPECT_NE(message.find("?"), std::string::npos);
  EXPECT_NE(Message(CheckPrefix("a\x01")).find("U+0001"), std::string::npos);
}

TEST(PrefixRuleTest, RefusesNamesLongerThanTheFileSystemTakes) {
  EXPECT_TRUE(CheckPrefix(std::string(248, 'a')).ok());
  EXPECT_FALSE(CheckPrefix(std::string(249, 'a')).ok());
}

TEST(PrefixRuleTest, RefusesEmptyAndWhiteSpaceEdgedPrefixes) {
  for (const char* prefix : {"", " Libro", "Libro ", "\u00a0Libro", "Libro\u2003"}) {
    const std::string message = Message(CheckPrefix(prefix));
    EXPECT_NE(message.find("prefijo"), std::string::npos) << prefix;
    EXPECT_NE(message.find("prefix"), std::string::npos) << prefix;
  }
  EXPECT_TRUE(CheckPrefix("mi libro").ok());
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
