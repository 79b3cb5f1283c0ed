#include "richtext/formats/markdown_reader.h"

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
using testing::R;

TEST(MarkdownReader, ReadsBlocksAndEmphasis) {
  const HtmlDocument read = ReadMarkdown("# Title\n\nSome *italic* and **bold**.\n\n- a\n- b\n");
  CharFormat heading;
  heading.bold = true;
  heading.size_half_points = 48;
  EXPECT_EQ(read.document,
            D({P({R(u"Title", heading)}),
               P({R(u"Some "), R(u"italic", Italic()), R(u" and "), R(u"bold", Bold()), R(u".")}),
               Bullet({R(u"a")}), Bullet({R(u"b")})}));
}

TEST(MarkdownReader, ReadsTablesAndStrikethrough) {
  const HtmlDocument read =
      ReadMarkdown("| Boat | Men |\n|------|-----|\n| Esperanza | four |\n\n~~gone~~ back\n");
  CharFormat struck;
  struck.strike = true;
  EXPECT_EQ(read.document, D({P({R(u"Boat\tMen", Bold())}), P({R(u"Esperanza\tfour")}),
                              P({R(u"gone", struck), R(u" back")})}));
}

TEST(MarkdownReader, ReadsHtmlWrittenInIt) {
  const HtmlDocument read =
      ReadMarkdown("The <span style=\"color: #c00000\">red</span> word.\n\n<!-- hidden -->\n");
  EXPECT_EQ(read.document, D({P({R(u"The "), R(u"red", Colored(192, 0, 0)), R(u" word.")})}));
}

TEST(MarkdownReader, ReadsWindows1252WhenNotUtf8) {
  EXPECT_EQ(ReadMarkdown("Ca\xF1\x61 \x93quoted\x94").document.PlainText(), u"Caña “quoted”");
  EXPECT_EQ(ReadMarkdown("\xEF\xBB\xBF\xC3\xB1").document.PlainText(), u"ñ");
}

}  // namespace
}  // namespace quillet
