#include "richtext/text_encoding.h"

#include <gtest/gtest.h>

#include <ostream>

namespace quillet {
namespace {

struct Utf8Case {
  const char* name;
  std::string bytes;
  std::optional<std::u16string> text;
};

void PrintTo(const Utf8Case& row, std::ostream* out) {
  *out << row.name;
}

class Utf8Decoding : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Decoding, DecodesValidAndRejectsInvalid) {
  EXPECT_EQ(DecodeUtf8(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Decoding,
    ::testing::Values(Utf8Case{"ascii", "abc", u"abc"},
                      Utf8Case{"two_and_three_bytes", "caf\xC3\xA9 \xE2\x82\xAC", u"café €"},
                      Utf8Case{"four_bytes_become_a_surrogate_pair", "\xF0\x9F\x98\x80",
                               u"\U0001F600"},
                      Utf8Case{"lone_latin1_byte", "caf\xE9", std::nullopt},
                      Utf8Case{"overlong", "\xC0\xAF", std::nullopt},
                      Utf8Case{"encoded_surrogate", "\xED\xA0\x80", std::nullopt},
                      Utf8Case{"truncated", "\xE2\x82", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct LossyCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

void PrintTo(const LossyCase& row, std::ostream* out) {
  *out << row.name;
}

class LossyUtf8Decoding : public ::testing::TestWithParam<LossyCase> {};

TEST_P(LossyUtf8Decoding, ReplacesEachBadByte) {
  EXPECT_EQ(FromUtf8Lossy(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LossyUtf8Decoding,
    ::testing::Values(LossyCase{"valid", "caf\xC3\xA9", u"café"},
                      LossyCase{"lone_latin1_byte", "caf\xE9 x", u"caf\uFFFD x"},
                      LossyCase{"truncated_at_the_end", "a\xE2\x82", u"a\uFFFD\uFFFD"},
                      LossyCase{"cut_by_ascii", "\xE2\x41", u"\uFFFDA"},
                      LossyCase{"encoded_surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      LossyCase{"beyond_unicode", "\xF4\x90\x80\x80x",
                                u"\uFFFD\uFFFD\uFFFD\uFFFDx"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextEncoding, LongTextsConvertWhole) {
  std::string utf8;
  for (int i = 0; i < 20000; ++i) utf8 += "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  const std::optional<std::u16string> text = DecodeUtf8(utf8);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->size(), 20000u * 5);
  EXPECT_EQ(ToUtf8(*text), utf8);
  EXPECT_EQ(FromUtf8Lossy(utf8 + "\xFF"), *text + u"\uFFFD");
}

TEST(TextEncoding, UndeclaredTextIsUtf8OrElseWindows1252) {
  EXPECT_EQ(DecodeUtf8OrWindows1252("caf\xC3\xA9"), u"café");
  EXPECT_EQ(DecodeUtf8OrWindows1252("caf\xE9 \x80"), u"café €");
  EXPECT_EQ(Utf8OrWindows1252ToUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(Utf8OrWindows1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(TextEncoding, ByteOrderMarkIsSkippedOnlyAtTheStart) {
  EXPECT_EQ(SkipUtf8ByteOrderMark("\xEF\xBB\xBFx"), "x");
  EXPECT_EQ(SkipUtf8ByteOrderMark("x\xEF\xBB\xBF"), "x\xEF\xBB\xBF");
  EXPECT_EQ(SkipUtf8ByteOrderMark("\xEF\xBB"), "\xEF\xBB");
}

TEST(TextEncoding, Utf16ToUtf8ReplacesLoneSurrogates) {
  EXPECT_EQ(ToUtf8(u"\U0001F600é"), "\xF0\x9F\x98\x80\xC3\xA9");
  EXPECT_EQ(ToUtf8(std::u16string(1, char16_t{0xD800}) + u"x"), "\xEF\xBF\xBDx");
}

TEST(TextEncoding, Windows1252MapsBothWays) {
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(UnicodeToWindows1252(Windows1252ToUnicode(static_cast<unsigned char>(byte))), byte);
  }
  EXPECT_EQ(Windows1252ToUnicode(0x80), u'€');
  EXPECT_EQ(UnicodeToWindows1252(u'α'), -1);
  // The five bytes the code page leaves out read as the C1 controls of their number.
  for (unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Windows1252ToUnicode(byte), char16_t{byte});
  }
}

struct CodePageCase {
  int code_page;
  std::string bytes;
  std::u16string text;
};

void PrintTo(const CodePageCase& row, std::ostream* out) {
  *out << "code page " << row.code_page;
}

class CodePageDecoding : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageDecoding, DecodesBytesOfTheCodePage) {
  std::u16string out;
  CodePage(GetParam().code_page).Decode(GetParam().bytes, out);
  EXPECT_EQ(out, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePageDecoding,
    ::testing::Values(
        CodePageCase{1250, "\xBF\xF3\xB3\xE6", u"żółć"}, CodePageCase{1251, "\xCF\xF0\xE8", u"При"},
        CodePageCase{1252, "\x80\x93\xE9", u"€“é"}, CodePageCase{1253, "\xE1\xE2\xE3", u"αβγ"},
        CodePageCase{1254, "\xF0\xFE", u"ğş"}, CodePageCase{1255, "\xE0", u"א"},
        CodePageCase{1256, "\xC7", u"ا"}, CodePageCase{1257, "\xE0", u"ą"},
        CodePageCase{1258, "\xD0\xF0", u"Đđ"}, CodePageCase{932, "\x93\xFA\x96\x7B", u"日本"},
        CodePageCase{932, "\x93", u"\uFFFD"}, CodePageCase{1253, "\xAA", u"\uFFFD"},
        CodePageCase{1258, "a\xEC", u"a\u0301"}, CodePageCase{99999, "\x80", u"€"},
        // Long enough for whole words of ASCII, with letters of the code page amid them.
        CodePageCase{1251, "Plain words, then \xCF\xF0\xE8 and more words.",
                     u"Plain words, then При and more words."},
        CodePageCase{1252, "sixteen letters\xE9", u"sixteen lettersé"}),
    [](const auto& info) {
      return std::to_string(info.param.code_page) + "_" + std::to_string(info.index);
    });

}  // namespace
}  // namespace quillet
