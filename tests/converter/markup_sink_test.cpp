// The conversion handed to a sink piece by piece writes, piece after piece,
// exactly the page ConvertRtfToHtml returns.
#include "converter/markup_sink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "converter/converter.h"

namespace quillet {
namespace {

// Writes the pieces back into one text, and keeps the destinations it was told of.
class PageText : public MarkupSink {
 public:
  void Text(std::string_view html) override { page += html; }
  void StartTag(std::string_view endTag, std::string_view startTag) override {
    EXPECT_FALSE(endTag.empty()) << startTag;
    page += startTag;
  }
  void EndTag(std::string_view endTag) override { page += endTag; }
  void LineBreak() override { page += "<br>"; }
  void Destination(std::string_view word) override {
    destinations.emplace_back(word);
    destinationAt.push_back(page.size());
  }

  std::string page;
  std::vector<std::string> destinations;
  std::vector<std::size_t> destinationAt;
};

struct Row {
  const char* name;
  const char* rtf;
};

class PiecesMakeThePage : public ::testing::TestWithParam<Row> {};

TEST_P(PiecesMakeThePage, WithAndWithoutLineEnds) {
  for (const char* options : {"+H+G+F=3", "+CR+F=3"}) {
    Converter html;
    Converter pieces;
    PageText text;
    const std::string expected = html.ConvertRtfToHtml(GetParam().rtf, options);
    pieces.ConvertRtfToMarkup(GetParam().rtf, options, text);
    EXPECT_EQ(text.page, expected) << options;
    // A second conversion on each starts from the state the first one left.
    PageText again;
    pieces.ConvertRtfToMarkup(GetParam().rtf, options, again);
    EXPECT_EQ(again.page, html.ConvertRtfToHtml(GetParam().rtf, options)) << options;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PiecesMakeThePage,
    ::testing::Values(
        Row{"Empty", ""}, Row{"PlainText", "{\\rtf1 plain text}"},
        Row{"NestedFormatting", "{\\rtf1 \\b bold \\i both\\b0  italic\\i0  plain}"},
        Row{"ColourAndSize",
            "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1\\fs40 red big\\cf0\\fs24  back}"},
        Row{"AlignedParagraphs", "{\\rtf1 \\qc centred\\par\\qr right\\par\\pard left}"},
        Row{"ListItems",
            "{\\rtf1{\\pntext\\f1 x\\tab}{\\*\\pn\\pnlvlblt}one\\par{\\pntext "
            "x\\tab}two\\par\\pard after}"},
        Row{"LineBreaksAndSpacesAtLineStart", "{\\rtf1 a\\line\\line   b\\par\r\n  c\\par\\par}"},
        Row{"EscapesAndEntities", "{\\rtf1 caf\\'e9 \\u8364? <tag> & more}"},
        Row{"UnclosedAtTheEnd", "{\\rtf1 \\b\\i\\ul open}"},
        Row{"FormattingWithoutText", "{\\rtf1 a\\b\\i\\par}"}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(PiecesMakeThePageOfABook, EveryFixtureBook) {
  const std::filesystem::path root = QUILLET_SOURCE_ROOT;
  std::vector<std::filesystem::path> books{root / "samples/sample-book.rtf"};
  for (const auto& entry : std::filesystem::directory_iterator(root / "tests/richtext/data")) {
    if (entry.path().extension() == ".rtf") books.push_back(entry.path());
  }
  ASSERT_GT(books.size(), 3u);
  for (const auto& book : books) {
    const std::string rtf = ReadFile(book);
    Converter html;
    Converter pieces;
    PageText text;
    const std::string expected = html.ConvertRtfToHtml(rtf, "+H+G+F=3");
    pieces.ConvertRtfToMarkup(rtf, "+H+G+F=3", text);
    EXPECT_TRUE(text.page == expected) << book.filename();
  }
}

TEST(Destinations, AreToldWhereTheyStandAndWriteNothing) {
  Converter converter;
  PageText text;
  converter.ConvertRtfToMarkup(
      "{\\rtf1 \\b one{\\*\\quilletnoteref1}\\b0  two{\\*\\mine{\\*\\inner}x}\\par three}", "+F=3",
      text);
  EXPECT_EQ(text.page, "<b>one</b> two<br>three");
  EXPECT_EQ(text.destinations, (std::vector<std::string>{"\\quilletnoteref1", "\\mine"}));
  // Before the end tag that the text after it brings.
  EXPECT_EQ(text.destinationAt, (std::vector<std::size_t>{6, 14}));
}

}  // namespace
}  // namespace quillet
