#include "richtext/formats/fb2_reader.h"

#include <gtest/gtest.h>

#include "builder/messages.h"
#include "richtext/text_encoding.h"
#include "tests/richtext/test_documents.h"

namespace quillet {
namespace {

using testing::Bold;
using testing::Bullet;
using testing::D;
using testing::Italic;
using testing::P;
using testing::R;

CharFormat Heading(int half_points) {
  CharFormat format;
  format.bold = true;
  format.size_half_points = half_points;
  return format;
}

std::string Book(const std::string& bodies) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><FictionBook "
         "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
         "xmlns:l=\"http://www.w3.org/1999/xlink\"><description><title-info><genre>prose</genre>"
         "<author><first-name>Ana</first-name></author><book-title>Metadata</book-title>"
         "</title-info></description>" +
         bodies + "<binary id=\"i\" content-type=\"image/png\">iVBORw0KGgo=</binary></FictionBook>";
}

struct Fb2Case {
  const char* name;
  std::string xml;
  Document expected;
};

void PrintTo(const Fb2Case& row, std::ostream* out) {
  *out << row.name;
}

class Fb2Reading : public ::testing::TestWithParam<Fb2Case> {};

TEST_P(Fb2Reading, ReadsTheBook) {
  const LoadResult result = ReadFb2(GetParam().xml);
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(result.document, GetParam().expected) << ToUtf8(result.document.PlainText());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fb2Reading,
    ::testing::Values(
        Fb2Case{"titles_are_headings_by_section_depth",
                Book("<body><title><p>Book</p></title><section><title><p>One</p></title><p>a</p>"
                     "<section><title><p>One.1</p></title><p>b</p></section></section></body>"),
                D({P({R(u"Book", Heading(48))}), P({R(u"One", Heading(48))}), P({R(u"a")}),
                   P({R(u"One.1", Heading(36))}), P({R(u"b")})})},
        Fb2Case{"inline_formats",
                Book("<body><section><p>x <strong>b</strong> <emphasis>i</emphasis> "
                     "<strikethrough>s</strikethrough>H<sub>2</sub>O</p></section></body>"),
                D({P({R(u"x "), R(u"b", Bold()), R(u" "), R(u"i", Italic()), R(u" "),
                      R(u"s",
                        [] {
                          CharFormat f;
                          f.strike = true;
                          return f;
                        }()),
                      R(u"H"),
                      R(u"2",
                        [] {
                          CharFormat f;
                          f.vertical = VerticalPosition::kSubscript;
                          return f;
                        }()),
                      R(u"O")})})},
        Fb2Case{"poems_epigraphs_and_empty_lines",
                Book("<body><section><epigraph><p>Quote</p><text-author>Someone</text-author>"
                     "</epigraph><empty-line/><poem><stanza><v>line one</v><v>line two</v>"
                     "</stanza></poem><subtitle>* * *</subtitle></section></body>"),
                D({P({R(u"Quote")}), P({R(u"Someone")}), P({}), P({R(u"line one")}),
                   P({R(u"line two")}), P({R(u"* * *")})})},
        Fb2Case{"bullets_tables_images_and_notes",
                Book("<body><section><p>\u2022\u00a0item</p><p>• second</p><table><tr><th>A</th>"
                     "<th>B</th></tr><tr><td>1</td><td>2</td></tr></table><p>see "
                     "<image l:href=\"#i\" alt=\"the map\"/><a l:href=\"#n1\" "
                     "type=\"note\">[1]</a></p></section></body><body name=\"notes\"><section "
                     "id=\"n1\"><title><p>1</p></title><p>A note.</p></section></body>"),
                D({Bullet({R(u"item")}), Bullet({R(u"second")}), P({R(u"A\tB", Bold())}),
                   P({R(u"1\t2")}), P({R(u"see the map[1]")}), P({R(u"1", Heading(48))}),
                   P({R(u"A note.")})})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Fb2Reader, DecodesTheDeclaredEncoding) {
  const LoadResult result = ReadFb2(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><FictionBook><body><section><p>"
      "\xCF\xF0\xE8\xE2\xE5\xF2</p></section></body></FictionBook>");
  EXPECT_EQ(result.document.PlainText(), u"Привет");
}

// A damaged file that still ends is read as far as it can be; one cut short
// is refused, as half a book would pass for the whole.
TEST(Fb2Reader, KeepsWhatADamagedFileHolds) {
  const LoadResult result = ReadFb2(
      "<FictionBook><body><section><p>kept & <b>ok</p><p>after</p></section></body></FictionBook>");
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(result.document.PlainText().substr(0, 4), u"kept");
  const LoadResult cut = ReadFb2("<FictionBook><body><section><p>kept</p><p>cut sh");
  EXPECT_EQ(cut.status.kind, StatusKind::kXmlTruncated);
  // What may follow the root's end tag does not make a damaged file look cut.
  for (const std::string_view after :
       {std::string_view("\n<!-- end -->\n"), std::string_view("<?pi x?>"),
        std::string_view("\n\0\0", 3), std::string_view("\x1A")}) {
    const std::string damaged =
        "<FictionBook><body><section><p>kept <emphasis>ok</p></section></body></FictionBook>" +
        std::string(after);
    EXPECT_TRUE(ReadFb2(damaged).ok()) << Message(ReadFb2(damaged).status);
  }
}

TEST(Fb2Reader, RefusesEntitiesAndOtherXml) {
  const LoadResult external = ReadFb2(
      "<?xml version=\"1.0\"?><!DOCTYPE FictionBook [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
      "<FictionBook><body><section><p>&x;</p></section></body></FictionBook>");
  EXPECT_EQ(external.status.kind, StatusKind::kXmlEntities);
  EXPECT_NE(Message(external.status).find("XML entities"), std::string::npos);
  const LoadResult bomb = ReadFb2(
      "<?xml version=\"1.0\"?><!DOCTYPE f [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
      "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><FictionBook><body><p>&b;</p></body></FictionBook>");
  EXPECT_EQ(bomb.status.kind, StatusKind::kXmlEntities);
  const LoadResult other = ReadFb2("<?xml version=\"1.0\"?><html><body>x</body></html>");
  EXPECT_EQ(other.status.kind, StatusKind::kNotFb2);
}

TEST(Fb2Reader, ReadsDeepNestingWithoutRecursion) {
  std::string xml = "<FictionBook><body><section><p>";
  for (int i = 0; i < 200; ++i) xml += "<emphasis>";
  xml += "deep";
  for (int i = 0; i < 200; ++i) xml += "</emphasis>";
  xml += "</p></section></body></FictionBook>";
  EXPECT_EQ(ReadFb2(xml).document, D({P({R(u"deep", Italic())})}));
}

// Past libxml2's depth limit the parser stops; what it read is not the book.
TEST(Fb2Reader, RefusesNestingTooDeepToReadWhole) {
  std::string xml = "<FictionBook><body><section><p>before</p>";
  for (int i = 0; i < 300; ++i) xml += "<section>";
  xml += "<p>deep</p>";
  for (int i = 0; i < 300; ++i) xml += "</section>";
  xml += "<p>after</p></section></body></FictionBook>";
  const LoadResult result = ReadFb2(xml);
  EXPECT_EQ(result.status.kind, StatusKind::kXmlTooDeep);
  EXPECT_NE(Message(result.status).find("nests elements too deeply"), std::string::npos)
      << Message(result.status);
  EXPECT_NE(Message(result.status).find("anida"), std::string::npos) << Message(result.status);
}

}  // namespace
}  // namespace quillet
