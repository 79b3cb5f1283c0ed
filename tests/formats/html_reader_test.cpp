#include "richtext/formats/html_reader.h"

#include <gtest/gtest.h>

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

CharFormat Format(void (*change)(CharFormat&)) {
  CharFormat format;
  change(format);
  return format;
}

struct DocumentCase {
  const char* name;
  std::string html;
  Document expected;
};

void PrintTo(const DocumentCase& row, std::ostream* out) {
  *out << row.name;
}

class HtmlReading : public ::testing::TestWithParam<DocumentCase> {};

TEST_P(HtmlReading, ReadsTheDocument) {
  const HtmlDocument read = ReadHtml(GetParam().html);
  EXPECT_TRUE(read.complete);
  EXPECT_EQ(read.document, GetParam().expected) << ToUtf8(read.document.PlainText());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlReading,
    ::testing::Values(
        DocumentCase{"paragraphs_of_runs", "<p>uno <b>dos</b></p><p><i>tres</i></p>",
                     D({P({R(u"uno "), R(u"dos", Bold())}), P({R(u"tres", Italic())})})},
        DocumentCase{"white_space_collapses", "<p>\n  a \t\n b  <b> c </b> </p>",
                     D({P({R(u"a b "), R(u"c", Bold())})})},
        DocumentCase{"text_outside_blocks_is_a_paragraph", "before<div>inside</div>after",
                     D({P({R(u"before")}), P({R(u"inside")}), P({R(u"after")})})},
        DocumentCase{"empty_blocks_make_no_paragraph", "<p></p><div> </div><p>x</p>",
                     D({P({R(u"x")})})},
        DocumentCase{"line_breaks", "<p>a <br> b<br></p><p><br></p><p>c</p>",
                     D({P({R(u"a\u2028b")}), P({}), P({R(u"c")})})},
        DocumentCase{"entities_decoded", "<p>caf&eacute; &amp; &#8220;x&#x201D;&nbsp;&lt;b&gt;</p>",
                     D({P({R(u"café & “x”\u00a0<b>")})})},
        DocumentCase{"head_script_style_and_comments_are_no_text",
                     "<html><head><title>Title</title><style>p{color:red}</style>"
                     "<meta name=author content=Someone></head><body><script>var x = "
                     "'<p>no</p>';</script><!-- a comment --><p>yes</p><noscript>no</noscript>"
                     "<template><p>no</p></template></body></html>",
                     D({P({R(u"yes")})})},
        DocumentCase{
            "headings_bold_and_larger", "<h1>One</h1><h2>Two</h2><h3>Three</h3><h6>Six</h6>",
            D({P({R(u"One",
                    Format([](CharFormat& f) { f.bold = true, f.size_half_points = 48; }))}),
               P({R(u"Two",
                    Format([](CharFormat& f) { f.bold = true, f.size_half_points = 36; }))}),
               P({R(u"Three",
                    Format([](CharFormat& f) { f.bold = true, f.size_half_points = 28; }))}),
               P({R(u"Six",
                    Format([](CharFormat& f) { f.bold = true, f.size_half_points = 16; }))})})},
        DocumentCase{
            "phrase_elements",
            "<p><u>u</u><s>s</s><del>d</del><sup>2</sup><sub>3</sub><em>e</em>"
            "<strong>b</strong></p>",
            D({P({R(u"u", Format([](CharFormat& f) { f.underline = true; })),
                  R(u"sd", Format([](CharFormat& f) { f.strike = true; })),
                  R(u"2",
                    Format([](CharFormat& f) { f.vertical = VerticalPosition::kSuperscript; })),
                  R(u"3", Format([](CharFormat& f) { f.vertical = VerticalPosition::kSubscript; })),
                  R(u"e", Italic()), R(u"b", Bold())})})},
        DocumentCase{"font_element",
                     "<p><font color=red size=5 face='Georgia, serif'>f</font>"
                     "<font color=0000ff size=-1>g</font></p>",
                     D({P({R(u"f", Format([](CharFormat& f) {
                               f.color = Color{255, 0, 0};
                               f.size_half_points = 36;
                               f.font = "Georgia";
                             })),
                           R(u"g", Format([](CharFormat& f) {
                               f.color = Color{0, 0, 255};
                               f.size_half_points = 20;
                             }))})})},
        DocumentCase{"inline_css",
                     "<p><span style=\"font-weight: 700; font-style: italic; text-decoration: "
                     "underline line-through; color: rgb(0, 112, 192); font-size: 18pt; "
                     "vertical-align: super; font-family: &quot;Times New Roman&quot;\">c</span>"
                     "<b style='font-weight:normal !important'>n</b>"
                     "<span style='font-size:150%'><span style='font-size:2em'>e</span></span></p>",
                     D({P({R(u"c", Format([](CharFormat& f) {
                               f.bold = f.italic = f.underline = f.strike = true;
                               f.color = Color{0, 112, 192};
                               f.size_half_points = 36;
                               f.vertical = VerticalPosition::kSuperscript;
                               f.font = "Times New Roman";
                             })),
                           R(u"n"), R(u"e", Sized(72))})})},
        DocumentCase{"alignment_from_attributes_and_css",
                     "<p align=center>c</p><div style='text-align:right'><p>r</p></div>"
                     "<center>m</center><p style='text-align: justify'>j</p>"
                     "<p><span style='text-align:right'>inline</span></p>",
                     D({P({R(u"c")}, Alignment::kCenter), P({R(u"r")}, Alignment::kRight),
                        P({R(u"m")}, Alignment::kCenter), P({R(u"j")}, Alignment::kJustified),
                        P({R(u"inline")})})},
        DocumentCase{"bulleted_and_nested_lists",
                     "<ul><li>a<ul><li>b</li></ul></li><li><p>c</p><p>more</p></li></ul>",
                     D({Bullet({R(u"a")}), Bullet({R(u"b")}), Bullet({R(u"c")}), P({R(u"more")})})},
        DocumentCase{"numbered_lists_write_their_numbers",
                     "<ol start=3><li>c</li><li value=7>g</li><li>h</li></ol>"
                     "<ol type=a><li>x</li><li>y</li></ol><ol type=I><li>i</li><li>ii</li>"
                     "<li>iii</li><li>iv</li></ol>",
                     D({P({R(u"3.\tc")}), P({R(u"7.\tg")}), P({R(u"8.\th")}), P({R(u"a.\tx")}),
                        P({R(u"b.\ty")}), P({R(u"I.\ti")}), P({R(u"II.\tii")}),
                        P({R(u"III.\tiii")}), P({R(u"IV.\tiv")})})},
        DocumentCase{
            "list_numbers_never_overflow",
            "<ol start=2147483647><li>a</li><li>b</li></ol>"
            "<ol start=99999999999999999999><li>c</li></ol>",
            D({P({R(u"1000000000.\ta")}), P({R(u"1000000001.\tb")}), P({R(u"1000000000.\tc")})})},
        DocumentCase{"list_without_markers", "<ul style='list-style-type:none'><li>a</li></ul>",
                     D({P({R(u"a")})})},
        DocumentCase{"table_rows_are_paragraphs_with_tabs",
                     "<table><tr><th>Name</th><th>Value</th></tr>\n<tr><td> one </td>\n"
                     "<td></td><td><p>1</p><p>2</p></td></tr></table>",
                     D({P({R(u"Name\tValue", Bold())}), P({R(u"one\t\t1\u20282")})})},
        DocumentCase{"preformatted_keeps_spaces_and_lines",
                     "<pre>\n  a  b\nc\r\n</pre><p style='white-space:pre'>x  y</p>",
                     D({P({R(u"  a  b\u2028c")}), P({R(u"x  y")})})},
        DocumentCase{"images_leave_their_alt_text",
                     "<p>a <img src=x.png alt='small picture'> b <img src=y.png></p>",
                     D({P({R(u"a small picture b")})})},
        DocumentCase{"hidden_elements_are_no_text",
                     "<p>a<span style='display:none'>no</span><span hidden>no</span>"
                     "<span style='visibility: hidden'>no</span>b</p><svg><text>no</text></svg>",
                     D({P({R(u"ab")})})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlReader, XhtmlEmptyElementsCloseThemselves) {
  const std::string xhtml = "<p>a<script src='x.js'/>b<span id='s'/>c</p>";
  EXPECT_EQ(ReadHtml(xhtml, {.xhtml = true}).document.PlainText(), u"abc");
  // As HTML, the script swallows the rest.
  EXPECT_EQ(ReadHtml(xhtml).document.PlainText(), u"a");
}

TEST(HtmlReader, ReportsTheFirstHeading) {
  EXPECT_EQ(ReadHtml("<p>a</p><p>b</p><h2>T</h2><h1>U</h1>").first_heading, 2u);
  EXPECT_EQ(ReadHtml("<p>a</p>").first_heading, std::nullopt);
}

struct EncodingCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

void PrintTo(const EncodingCase& row, std::ostream* out) {
  *out << row.name;
}

class HtmlEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(HtmlEncoding, DecodesTheDeclaredCharset) {
  EXPECT_EQ(ReadHtml(GetParam().bytes).document.PlainText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlEncoding,
    ::testing::Values(
        EncodingCase{"undeclared_utf8", "<p>ni\xC3\xB1o \xE2\x82\xAC</p>", u"niño €"},
        EncodingCase{"undeclared_not_utf8_is_windows_1252", "<p>ni\xF1o \x80</p>", u"niño €"},
        EncodingCase{"meta_charset", "<meta charset=\"windows-1251\"><p>\xCF\xF0\xE8</p>", u"При"},
        EncodingCase{"meta_http_equiv",
                     "<html><head><meta http-equiv=Content-Type content='text/html; "
                     "charset=iso-8859-2'></head><body><p>\xB1</p></body></html>",
                     u"ą"},
        EncodingCase{"latin1_label_reads_as_windows_1252",
                     "<meta charset=iso-8859-1><p>\x93q\x94</p>", u"“q”"},
        EncodingCase{"xml_declaration",
                     "<?xml version='1.0' encoding='ISO-8859-7'?><html><body><p>\xE1</p></body>"
                     "</html>",
                     u"α"},
        EncodingCase{"utf8_byte_order_mark_wins",
                     "\xEF\xBB\xBF<meta charset=windows-1252><p>\xC3\xA9</p>", u"é"},
        EncodingCase{"utf16_byte_order_mark",
                     std::string("\xFF\xFE<\0p\0>\0\xB1\x03<\0/\0p\0>\0", 16), u"α"},
        EncodingCase{"unknown_label_falls_back", "<meta charset=nonsense-9><p>\xC3\xA9</p>", u"é"},
        EncodingCase{"utf32_label_reads_as_utf8", "<meta charset=utf-32><p>\xC3\xA9</p>", u"é"},
        EncodingCase{"utf32le_label_reads_as_utf8", "<meta charset=UTF-32LE><p>ni\xC3\xB1o</p>",
                     u"niño"},
        EncodingCase{"utf7_label_is_ignored", "<meta charset=utf-7><p>a+ADw-script+AD4-b\xE9</p>",
                     u"a+ADw-script+AD4-bé"},
        EncodingCase{"ebcdic_label_is_ignored", "<meta charset=IBM037><p>ni\xC3\xB1o</p>", u"niño"},
        EncodingCase{"ebcdic_xml_declaration_is_ignored",
                     "<?xml version='1.0' encoding='CP500'?><html><body><p>\xE9</p></body></html>",
                     u"é"},
        EncodingCase{"byte_order_mark_wins_over_utf7",
                     "\xEF\xBB\xBF<meta charset=utf-7><p>+ADw-</p>", u"+ADw-"}),
    [](const auto& info) { return std::string(info.param.name); });

// Nesting far deeper than any document has: read in one pass, the text and the
// formats of the outer levels kept. Its speed is in bench/html_reader_bench.
struct DeepCase {
  const char* name;
  const char* open;
  const char* close;
  Document expected;
};

void PrintTo(const DeepCase& row, std::ostream* out) {
  *out << row.name;
}

class HtmlDeepNesting : public ::testing::TestWithParam<DeepCase> {};

TEST_P(HtmlDeepNesting, ReadsTheText) {
  constexpr int kDepth = 100000;
  std::string html;
  for (int i = 0; i < kDepth; ++i) html += GetParam().open;
  html += "deep";
  for (int i = 0; i < kDepth; ++i) html += GetParam().close;
  html += " flat";
  const HtmlDocument read = ReadHtml(html);
  ASSERT_TRUE(read.complete);
  EXPECT_EQ(read.document, GetParam().expected) << ToUtf8(read.document.PlainText());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlDeepNesting,
    ::testing::Values(DeepCase{"bold", "<b>", "</b>", D({P({R(u"deep", Bold()), R(u" flat")})})},
                      DeepCase{"div", "<div>", "</div>", D({P({R(u"deep")}), P({R(u"flat")})})},
                      DeepCase{"span_with_colour", "<span style='color:red'>", "</span>",
                               D({P({R(u"deep", Colored(255, 0, 0)), R(u" flat")})})},
                      DeepCase{"font_unclosed", "<font color=#00ff00>", "",
                               D({P({R(u"deep flat", Colored(0, 255, 0))})})},
                      DeepCase{"list", "<ul><li>", "</li></ul>",
                               D({Bullet({R(u"deep")}), P({R(u"flat")})})},
                      DeepCase{"table", "<table><tr><td>", "</td></tr></table>",
                               D({P({R(u"deep")}), P({R(u"flat")})})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlReader, SloppyUnclosedFontsInEveryParagraphAreRead) {
  std::string html;
  for (int i = 0; i < 20000; ++i) html += "<p><font face=Arial color=red>x";
  const HtmlDocument read = ReadHtml(html);
  ASSERT_TRUE(read.complete);
  ASSERT_EQ(read.document.paragraphs.size(), 20000u);
  EXPECT_EQ(read.document.paragraphs.back().Runs().at(0).format.color, (Color{255, 0, 0}));
}

TEST(HtmlReader, RefusesFormattingThatWouldBeReopenedWithoutEnd) {
  // Hundreds of distinct unclosed elements, each re-opened in every later paragraph:
  // gigabytes for the tree builder, so the reader gives up.
  std::string html = "<p>";
  for (int i = 0; i < 500; ++i) html += "<font color=#" + std::to_string(100000 + i) + ">";
  for (int i = 0; i < 50000; ++i) html += "<p>x";
  const HtmlDocument read = ReadHtml(html);
  EXPECT_FALSE(read.complete);
  EXPECT_TRUE(read.document.paragraphs.empty());
}

TEST(HtmlReader, ManyAttributesOnOneTag) {
  std::string html = "<p";
  for (int i = 0; i < 100000; ++i) html += " a" + std::to_string(i) + "=1";
  html += " style='font-weight:bold'>x</p>";
  EXPECT_EQ(ReadHtml(html).document.PlainText(), u"x");
}

}  // namespace
}  // namespace quillet
