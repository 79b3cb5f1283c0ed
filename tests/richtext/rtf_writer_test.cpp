#include "richtext/rtf_writer.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/richtext/test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::Bullet;
using testing::Colored;
using testing::D;
using testing::Italic;
using testing::P;
using testing::R;
using testing::Sized;

// The text between "\viewkind4\uc1\pard\plain" and the final "}".
std::string Body(const Document& document) {
  const std::string rtf = WriteRtf(document);
  const std::string start = "\\viewkind4\\uc1\\pard\\plain";
  const std::size_t from = rtf.find(start);
  EXPECT_NE(from, std::string::npos) << rtf;
  return rtf.substr(from + start.size(), rtf.size() - 3 - from - start.size());
}

TEST(RtfWriter, WritesTheGoldenDocumentByteForByte) {
  CharFormat title = Bold();
  title.size_half_points = 32;
  CharFormat super;
  super.vertical = VerticalPosition::kSuperscript;
  CharFormat serif;
  serif.font = "Times New Roman";
  serif.underline = true;
  serif.strike = true;
  const Document document = D({
      P({R(u"Title", title)}, Alignment::kCenter),
      P({R(u"Plain, "), R(u"red", Colored(255, 0, 0)), R(u", "), R(u"italic", Italic()), R(u" x"),
         R(u"2", super), R(u" \u00e9\u20ac\u03b1\\{}\tend")}),
      Bullet({R(u"One")}),
      Bullet({R(u"Two", Bold())}),
      P({R(u"Last", serif)}, Alignment::kRight),
  });
  const std::string expected =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
      "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fnil\\fcharset0 Times New Roman;}}\r\n"
      "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
      "\\viewkind4\\uc1\\pard\\plain\\qc\\f0\\fs32\\b Title\\par\r\n"
      "\\pard\\fs24\\b0 Plain, \\cf1 red\\cf0 , \\i italic\\i0  x\\super 2\\nosupersub  "
      "\\'e9\\'80\\u945\\'3f\\'5c\\'7b\\'7d\\tab end\\par\r\n"
      "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
      "\\fi-720\\li720 One\\par\r\n"
      "{\\pntext\\f1\\'B7\\tab}\\b Two\\par\r\n"
      "\\pard\\qr\\f2\\b0\\ul\\strike Last\\par\r\n"
      "}\r\n";
  EXPECT_EQ(WriteRtf(document), expected);
}

struct BodyCase {
  const char* name;
  Document document;
  std::string body;
};

void PrintTo(const BodyCase& row, std::ostream* out) {
  *out << row.name;
}

class RtfWriterBody : public ::testing::TestWithParam<BodyCase> {};

TEST_P(RtfWriterBody, WritesTheText) {
  EXPECT_EQ(Body(GetParam().document), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RtfWriterBody,
    ::testing::Values(
        BodyCase{"empty_document", Document{}, "\r\n"},
        BodyCase{"empty_paragraph", D({P({})}), "\\par\r\n"},
        BodyCase{"delimiter_space_before_punctuation", D({P({R(u"a", Bold()), R(u",")})}),
                 "\\f0\\b a\\b0 ,\\par\r\n"},
        BodyCase{"delimiter_space_before_a_space", D({P({R(u" a")})}), "\\f0  a\\par\r\n"},
        BodyCase{"braces_and_backslash_as_hex", D({P({R(u"\\{}")})}),
                 "\\f0\\'5c\\'7b\\'7d\\par\r\n"},
        BodyCase{"tab_and_line_break", D({P({R(u"a\tb\u2028c")})}),
                 "\\f0 a\\tab b\\line c\\par\r\n"},
        BodyCase{"windows_1252_in_lower_case_hex", D({P({R(u"\u00e9\u2014\u201c")})}),
                 "\\f0\\'e9\\'97\\'93\\par\r\n"},
        BodyCase{"unicode_escape_is_signed", D({P({R(u"\u0416\uFB01")})}),
                 "\\f0\\u1046\\'3f\\u-1279\\'3f\\par\r\n"},
        BodyCase{"control_characters_dropped", D({P({R(u"a\u0001b")})}), "\\f0 ab\\par\r\n"},
        BodyCase{"size_back_to_default", D({P({R(u"big", Sized(40)), R(u"normal")})}),
                 "\\f0\\fs40 big\\fs24 normal\\par\r\n"},
        BodyCase{"subscript_after_superscript_closes_it",
                 D({P({R(u"a",
                         [] {
                           CharFormat f;
                           f.vertical = VerticalPosition::kSuperscript;
                           return f;
                         }()),
                       R(u"b",
                         [] {
                           CharFormat f;
                           f.vertical = VerticalPosition::kSubscript;
                           return f;
                         }())})}),
                 "\\f0\\super a\\nosupersub\\sub b\\par\r\n"},
        BodyCase{"bullet_item_restates_formatting_after_its_group",
                 D({Bullet({R(u"a", Bold())}), Bullet({R(u"b", Bold())})}),
                 "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}"
                 "\\fi-720\\li720\\f0\\b a\\par\r\n{\\pntext\\f1\\'B7\\tab}\\b b\\par\r\n"},
        BodyCase{"same_paragraph_format_writes_no_pard",
                 D({P({R(u"a")}, Alignment::kJustified), P({R(u"b")}, Alignment::kJustified)}),
                 "\\qj\\f0 a\\par\r\nb\\par\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RtfWriter, ColourTableHoldsEachColourOnceInOrderOfUse) {
  const std::string rtf = WriteRtf(D(
      {P({R(u"a", Colored(0, 0, 255)), R(u"b", Colored(1, 2, 3)), R(u"c", Colored(0, 0, 255))})}));
  EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue255;\\red1\\green2\\blue3;}\r\n"),
            std::string::npos)
      << rtf;
  EXPECT_NE(rtf.find("\\cf1 a\\cf2 b\\cf1 c"), std::string::npos) << rtf;
}

TEST(RtfWriter, WritesNoColourTableWithoutColours) {
  EXPECT_EQ(WriteRtf(D({P({R(u"a")})})).find("colortbl"), std::string::npos);
}

}  // namespace
}  // namespace quillet
