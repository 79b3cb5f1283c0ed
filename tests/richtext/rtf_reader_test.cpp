#include "richtext/rtf_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "richtext/rtf_writer.h"
#include "richtext/text_encoding.h"
#include "tests/richtext/test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::Bullet;
using testing::Colored;
using testing::D;
using testing::Italic;
using testing::P;
using testing::Plain;
using testing::R;
using testing::Sized;

std::string Rtf(std::string body) {
  return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
         "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset204 Cyr;}{\\f3\\fnil\\fcharset238 "
         "Pol;}}{\\colortbl ;\\red255\\green0\\blue0;}\r\n" +
         body + "}";
}

struct TextCase {
  const char* name;
  std::string body;
  std::u16string text;
};

void PrintTo(const TextCase& row, std::ostream* out) {
  *out << row.name;
}

class RtfReaderText : public ::testing::TestWithParam<TextCase> {};

TEST_P(RtfReaderText, ReadsTheText) {
  EXPECT_EQ(ReadRtf(Rtf(GetParam().body)).PlainText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfReaderText,
    ::testing::Values(
        TextCase{"paragraphs", "a\\par b\\par", u"a\nb"},
        TextCase{"last_paragraph_without_par", "a\\par b", u"a\nb"},
        TextCase{"empty_paragraph_kept", "a\\par\\par b", u"a\n\nb"},
        TextCase{"line_ends_are_no_text", "a\r\nb\nc\rd", u"abcd"},
        TextCase{"escaped_symbols", "\\\\\\{\\}", u"\\{}"},
        TextCase{"hex_in_document_code_page", "caf\\'e9 \\'80", u"café €"},
        TextCase{"hex_in_font_code_page", "\\f2\\'cf\\'f0\\f3\\'bf\\f0\\'e9", u"Прżé"},
        TextCase{"unicode_skips_one_fallback", "\\u945\\'3f\\u946?", u"αβ"},
        TextCase{"unicode_negative", "\\u-1279?", u"\uFB01"},
        TextCase{"uc0_skips_nothing", "\\uc0\\u945 x", u"αx"},
        TextCase{"uc2_skips_two", "\\uc2\\u945\\'3f\\'3fx", u"αx"},
        TextCase{"uc_is_scoped_by_group", "{\\uc0 a}\\u945?b", u"aαb"},
        TextCase{"named_characters",
                 "\\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\~\\_\\-",
                 u"—–‘’“”•\u00a0\u2011\u00ad"},
        TextCase{"tab_and_line", "a\\tab b\\line c", u"a\tb\u2028c"},
        TextCase{"page_and_sect_end_paragraphs", "a\\page b\\sect c", u"a\nb\nc"},
        TextCase{"textedit_backslash_newline", "a\\\nb", u"a\nb"},
        TextCase{"field_result_not_instruction",
                 "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}", u"link"},
        TextCase{"fldinst_without_star", "{\\field{\\fldinst PAGE}{\\fldrslt 1}}", u"1"},
        TextCase{"skipped_destinations",
                 "{\\*\\unknown x}{\\stylesheet{s;}}{\\info{\\title t}}{\\header h}"
                 "{\\footer f}{\\pict 0a0b}{\\object o}text",
                 u"text"},
        TextCase{"bin_data_skipped", "{\\pict\\bin3 }{\\}a", u"a"},
        TextCase{"hidden_text_dropped", "a{\\v hidden}b", u"ab"},
        TextCase{"table_row_is_one_paragraph", "\\intbl A\\cell B\\cell\\row C", u"A\tB\nC"},
        TextCase{"empty_first_cell", "\\intbl\\cell B\\cell\\row", u"\tB"},
        TextCase{"paragraph_end_inside_cell",
                 "{\\pard\\intbl A\\par}\\cell{\\pard\\intbl B\\par}\\cell\\intbl\\row", u"A\tB"},
        TextCase{"numbered_marker_stays_text", "{\\listtext 1.\\tab}\\ls1 one\\par", u"1.\tone"},
        TextCase{"control_word_names_end_at_non_letters", "\\b0,x", u",x"},
        TextCase{"unknown_control_words_ignored", "\\foo12 \\bar-3 x", u"x"},
        TextCase{"control_bytes_inside_text_dropped",
                 "ab\x01"
                 "cd\tef",
                 u"abcd\tef"},
        TextCase{"unicode_fallback_taken_from_a_text_run", "\\u945 abc", u"αbc"},
        TextCase{"raw_bytes_decoded_in_each_font_code_page", "\\f2 \xcf\xf0\\f0 \xe9", u"Прé"},
        TextCase{"escaped_control_bytes_dropped_but_the_tab", "a\\'0ab\\'09c\\'00", u"ab\tc"},
        TextCase{"double_byte_characters_across_escapes_and_text",
                 "{\\fonttbl{\\f5\\fnil\\fcharset128 J;}}\\f5 a\\'93\\'fa\\'96{b}\\f0 c",
                 u"a日\uFFFDbc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfReader, ReadsAnsiCodePage) {
  EXPECT_EQ(ReadRtf("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}").PlainText(), u"Пр");
  EXPECT_EQ(ReadRtf("{\\rtf1\\mac \\'8e}").PlainText(), u"é");
}

TEST(RtfReader, ReadsCharacterFormats) {
  const Document document =
      ReadRtf(Rtf("\\b bold\\b0  \\i it\\i0 \\ul u\\ulnone \\strike s\\strike0 \\super 2"
                  "\\nosupersub\\sub 3\\nosupersub\\cf1 red\\cf0\\fs40 big\\fs24\\f2 cyr\\plain "
                  "plain"));
  CharFormat underline, strike, super, sub, cyr;
  underline.underline = true;
  strike.strike = true;
  super.vertical = VerticalPosition::kSuperscript;
  sub.vertical = VerticalPosition::kSubscript;
  cyr.font = "Cyr";
  const Document expected =
      D({P({R(u"bold", Bold()), R(u" "), R(u"it", Italic()), R(u"u", underline), R(u"s", strike),
            R(u"2", super), R(u"3", sub), R(u"red", Colored(255, 0, 0)), R(u"big", Sized(40)),
            R(u"cyr", cyr), R(u"plain")})});
  EXPECT_EQ(document, expected);
}

TEST(RtfReader, GroupOfDroppedBytesAddsNoRun) {
  EXPECT_EQ(ReadRtf(Rtf("a{\\b \\'0a\\'0d}b{\\i{\\v c}}d")), D({P({R(u"abd")})}));
}

TEST(RtfReader, GroupEndRestoresTheEnclosingFormat) {
  EXPECT_EQ(ReadRtf(Rtf("a{\\b b{\\i c}d}e")), D({P({R(u"a"), R(u"b", Bold()),
                                                     R(u"c",
                                                       [] {
                                                         CharFormat f = Bold();
                                                         f.italic = true;
                                                         return f;
                                                       }()),
                                                     R(u"d", Bold()), R(u"e")})}));
}

TEST(RtfReader, ReadsParagraphFormats) {
  const Document document =
      ReadRtf(Rtf("\\pard\\qc c\\par\\pard\\qr r\\par\\qj j\\par\\pard l\\par"
                  "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'B7}}\\fi-720 b1\\par"
                  "\\pard{\\listtext\\pard\\plain \\u8226\\'95\\tab}\\ls1 b2\\par"
                  "\\pard\\ls1 b3\\par\\pard n\\par"));
  const Document expected =
      D({P({R(u"c")}, Alignment::kCenter), P({R(u"r")}, Alignment::kRight),
         P({R(u"j")}, Alignment::kJustified), P({R(u"l")}), Bullet({R(u"b1")}), Bullet({R(u"b2")}),
         Bullet({R(u"b3")}), P({R(u"n")})});
  EXPECT_EQ(document, expected);
}

TEST(RtfReader, PandocBulletTextBecomesABulletItem) {
  const Document document =
      ReadRtf(Rtf("{\\pard \\fi-360 \\bullet \\tx360\\tab Item\\par}"
                  "{\\pard \\li720\\fi-360 \\endash \\tx360\\tab nested\\par}"));
  EXPECT_EQ(document, D({Bullet({R(u"Item")}), Bullet({R(u"nested")})}));
}

TEST(RtfReader, TypedBulletAndTabStayText) {
  const Document typed = D({P({R(u"\u2022\tItem")}), P({R(u"\u2013\tdash")})});
  EXPECT_EQ(ReadRtf(WriteRtf(typed)), typed);
}

TEST(RtfReader, FontNamesAreReadInTheirCodePage) {
  const Document document = ReadRtf(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 \\'d8\\'f0\\'e8\\'f4\\'f2;}}"
      "\\f1 x}");
  ASSERT_EQ(document.paragraphs.size(), 1u);
  EXPECT_EQ(document.paragraphs[0].Runs()[0].format.font, "Шрифт");
}

TEST(RtfReader, HugeFontNameIsCut) {
  const Document document =
      ReadRtf("{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 " + std::string(100000, 'N') + ";}}\\f1 x}");
  ASSERT_EQ(document.paragraphs.size(), 1u);
  EXPECT_EQ(document.paragraphs[0].Runs()[0].format.font, std::string(256, 'N'));
}

TEST(RtfReader, WriterOutputReadsBackAsTheSameDocument) {
  CharFormat mixed = Bold();
  mixed.italic = true;
  mixed.underline = true;
  mixed.strike = true;
  mixed.vertical = VerticalPosition::kSubscript;
  mixed.color = Color{1, 2, 3};
  mixed.size_half_points = 17;
  mixed.font = "Ça va";
  CharFormat default_face_named = Plain();
  default_face_named.font = "Arial";
  const Document document = D({
      P({R(u"Title", Sized(48))}, Alignment::kCenter),
      P({}),
      P({R(u" lead and trail ", mixed), R(u"\\{}\t\u2028é€αЖ\U0001F600", Colored(9, 9, 9)),
         R(u"face", default_face_named)},
        Alignment::kJustified),
      Bullet({R(u"one", Bold())}),
      Bullet({}),
      P({R(u"right")}, Alignment::kRight),
      P({}),
  });
  EXPECT_EQ(ReadRtf(WriteRtf(document)), document);
}

// Malformed input: each must end, without a crash, with what text can be recovered.
struct MalformedCase {
  const char* name;
  std::string rtf;
  std::u16string text;
};

void PrintTo(const MalformedCase& row, std::ostream* out) {
  *out << row.name;
}

class RtfReaderMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(RtfReaderMalformed, RecoversTheText) {
  EXPECT_EQ(ReadRtf(GetParam().rtf).PlainText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfReaderMalformed,
    ::testing::Values(
        MalformedCase{"empty", "", u""}, MalformedCase{"unclosed_groups", "{\\rtf1{{{a", u"a"},
        MalformedCase{"extra_closing_braces", "{\\rtf1 a}}}}b", u"ab"},
        MalformedCase{"truncated_hex", "{\\rtf1 a\\'4", u"a"},
        MalformedCase{"bad_hex", "{\\rtf1 a\\'zzb}", u"azzb"},
        MalformedCase{"lone_backslash_at_end", "{\\rtf1 a\\", u"a"},
        MalformedCase{"huge_numbers", "{\\rtf1\\uc99999999999\\u99999999999 a\\fs-99999999999 b}",
                      u"\uFFFD"},
        MalformedCase{"huge_bin", "{\\rtf1 a{\\bin99999999999 xyz}}", u"a"},
        MalformedCase{"negative_bin", "{\\rtf1 {\\bin-5 a}}", u"a"},
        MalformedCase{"binary_bytes", std::string("{\\rtf1 a\0\x01\x7f\xff", 12) + "}",
                      u"a\u007f\u00ff"},
        MalformedCase{"long_control_word", "{\\rtf1 \\" + std::string(100000, 'b') + " x}", u"x"},
        MalformedCase{"unknown_code_page", "{\\rtf1\\ansicpg77777 \\'e9}", u"é"}),
    [](const auto& info) { return std::string(info.param.name); });

// Text is scanned and decoded many bytes at a time: whatever ends or changes a
// run must count at every place in those blocks, and near the end of the input.
struct ByteInTextCase {
  const char* name;
  std::string bytes;       // put in a run of plain letters
  std::u16string decoded;  // what the bytes read as
};

TEST(RtfReader, ReadsEveryByteInTextWhereverItFalls) {
  const ByteInTextCase cases[] = {
      {"group", "{\\b B}", u"B"},
      {"group_end_and_start", "}{", u""},
      {"control_word", "\\tab ", u"\t"},
      {"escaped_brace", "\\}", u"}"},
      {"line_end", "\r\n", u""},
      {"control_byte", "\x01", u""},
      {"tab_byte", "\t", u"\t"},
      {"delete_byte", "\x7f", u"\x7f"},
      {"high_bytes", "\x80\xe9\xff", u"€éÿ"},
      {"nul_byte", std::string("\0", 1), u""},
      {"last_control_byte_and_space", "\x1f ", u" "},
      {"stops_side_by_side", "\t\\tab\t\x01\\~{}", u"\t\t\t\u00a0"},
  };
  for (const ByteInTextCase& row : cases) {
    for (std::size_t before = 0; before < 40; before += before < 20 ? 1 : 7) {
      for (const std::size_t after : {0, 1, 7, 8, 9, 70}) {
        SCOPED_TRACE(std::string(row.name) + " after " + std::to_string(before) +
                     " letters, before " + std::to_string(after));
        const std::string rtf =
            "{\\rtf1\\ansi " + std::string(before, 'a') + row.bytes + std::string(after, 'b');
        const std::u16string text =
            std::u16string(before, u'a') + row.decoded + std::u16string(after, u'b');
        EXPECT_EQ(ReadRtf(rtf).PlainText(), text);
        EXPECT_EQ(ReadRtf(rtf + "}").PlainText(), text);
      }
    }
  }
}

TEST(RtfReader, DecodesLongRunsInEveryCodePage) {
  for (const int code_page : {1252, 1251, 1250, 437, 10000}) {
    const CodePage decoder(code_page);
    for (std::size_t high = 0; high < 150; high += high < 40 ? 1 : 13) {
      SCOPED_TRACE("code page " + std::to_string(code_page) + ", byte 0xC9 at " +
                   std::to_string(high));
      std::string run(150, 'x');
      run[high] = '\xC9';
      std::u16string expected;
      for (const char byte : run) decoder.Decode(std::string_view(&byte, 1), expected);
      const std::string rtf =
          "{\\rtf1\\ansi\\ansicpg" + std::to_string(code_page) + " " + run + "}";
      EXPECT_EQ(ReadRtf(rtf).PlainText(), expected);
    }
  }
}

TEST(RtfReader, ReadsDeepNestingWithoutRecursion) {
  const std::size_t depth = 100000;
  const std::string rtf =
      "{\\rtf1 " + std::string(depth, '{') + "\\b deep" + std::string(depth, '}') + " flat}";
  EXPECT_EQ(ReadRtf(rtf), D({P({R(u"deep", Bold()), R(u" flat")})}));
}

TEST(RtfReader, NestingPastTheDepthLimitStillReadsTheText) {
  const std::size_t depth = 300000;
  const std::string rtf =
      "{\\rtf1 " + std::string(depth, '{') + "deep" + std::string(depth, '}') + " flat}";
  EXPECT_EQ(ReadRtf(rtf).PlainText(), u"deep flat");
}

TEST(RtfReader, ReadsManyRepetitionsOfHostilePatterns) {
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 50000; ++i) {
    rtf += "{\\fonttbl{\\f1\\cpg" + std::to_string(i) + " F;}}{\\f1\\'e9}{\\listtext x}\\cell ";
  }
  rtf += "\\row}";
  // Each "\\'e9" in its own font's code page (those that are no code page read
  // as Windows-1252), then a tab for the cell; the last cell is followed by no text.
  std::map<int, std::u16string> e9;  // by code page
  std::u16string expected;
  for (int i = 0; i < 50000; ++i) {
    const auto [decoded, fresh] = e9.try_emplace(IsSupportedCodePage(i) ? i : 1252);
    if (fresh) CodePage(decoded->first).Decode("\xE9", decoded->second);
    expected += decoded->second + u'\t';
  }
  expected.pop_back();
  EXPECT_EQ(ReadRtf(rtf).PlainText(), expected);
}

TEST(RtfReader, RecognisesRtfByItsStart) {
  EXPECT_TRUE(LooksLikeRtf(" \r\n{\\rtf1 x}"));
  EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF{\\rtf1 x}"));
  EXPECT_TRUE(LooksLikeRtf("\xEF\xBB\xBF \t\r\n{\\rtf1 x}"));
  EXPECT_FALSE(LooksLikeRtf(" \xEF\xBB\xBF{\\rtf1 x}"));  // the mark only counts first
  EXPECT_EQ(ReadRtf("\xEF\xBB\xBF{\\rtf1 hi\\par}").PlainText(), u"hi");
  // White space in front of the document is recognised, and is no text of it.
  EXPECT_EQ(ReadRtf(" \r\n{\\rtf1 hi\\par}").PlainText(), u"hi");
  EXPECT_EQ(ReadRtf("\xEF\xBB\xBF\t{\\rtf1 hi\\par}").PlainText(), u"hi");
  EXPECT_FALSE(LooksLikeRtf("plain {\\rtf1"));
  EXPECT_FALSE(LooksLikeRtf(""));
}

}  // namespace
}  // namespace quillet
