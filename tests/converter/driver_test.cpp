#include <gtest/gtest.h>

#include "converter/converter.h"
#include "converter/converter_state.h"

namespace quillet {
namespace {

TEST(Options, LineEndAndDefaultSize) {
  struct Row {
    const char* options;
    const char* lineEnd;
    int size;
  };
  for (const Row& row :
       {Row{"", "", 7}, Row{"+cr", "", 7}, Row{"+CR", "\r\n", 7}, Row{"+F=12x", "", 12},
        Row{"+F=007", "", 7}, Row{"+F=x", "", 0}, Row{"+F=4+F=5", "", 4},
        Row{"+H+G+F=3+CR", "\r\n", 3}, Row{"+F=99999999999999", "", 32767}}) {
    Converter c;
    c.State().DefaultFontSize = 7;  // kept when the options have no "+F="
    c.ConvertRtfToHtml("", row.options);
    EXPECT_EQ(c.State().LineEnd, row.lineEnd) << row.options;
    EXPECT_EQ(c.State().DefaultFontSize, row.size) << row.options;
  }
}

TEST(Driver, EmptyRtfGivesEmptyResult) {
  Converter c;
  EXPECT_EQ(c.ConvertRtfToHtml("", "+F=3"), "");
  EXPECT_EQ(c.ConvertRtfToHtml("{}", "+F=3"), "");
}

TEST(Driver, UnclosedOuterBraceIsTheFirstToken) {
  Converter c;
  c.DebugMode = true;  // no host: pauses continue at once
  EXPECT_EQ(c.ConvertRtfToHtml("{\\rtf1 \\b x", "+F=3"), "<b>x</b>");
}

TEST(Driver, ListTableSetsHasListsBeforeItIsCut) {
  Converter c;
  c.ConvertRtfToHtml("{\\rtf1{\\*\\listtable{\\list\\listid1}}x}", "+F=3");
  EXPECT_TRUE(c.State().HasLists);
  c.ConvertRtfToHtml("{\\rtf1 x}", "+F=3");
  EXPECT_FALSE(c.State().HasLists);
}

TEST(Driver, PendingLineBreaksAtTheEndAreDropped) {
  Converter c;
  EXPECT_EQ(c.ConvertRtfToHtml("{\\rtf1 a\\par\r\n\\par\r\n}", "+CR+F=3"), "a");
}

TEST(Driver, PntextGroupReachesTranslationButNotItsContent) {
  Converter c;
  EXPECT_EQ(c.ConvertRtfToHtml("{\\rtf1 {\\pntext\\f1 NOT\\tab}item}", "+F=3"), "<li>item</li>");
}

TEST(Driver, TextLessGroupsAreCut) {
  Converter c;
  const std::string rtf =
      "{\\rtf1{\\fonttbl{\\f0 Font;}}{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}"
      "{\\*\\listtable{\\list\\listid1}}{\\*\\listoverridetable{\\listoverride\\ls1}}\r\nbody}";
  EXPECT_EQ(c.ConvertRtfToHtml(rtf, "+F=3"), "body");
}

TEST(Driver, StateKeptBetweenConversionsAndListsReset) {
  Converter c;
  c.ConvertRtfToHtml("{\\rtf1 \\b x}", "+F=3");
  EXPECT_EQ(c.State().Codes.size(), 1u);  // committed elements stay until the next conversion
  c.ConvertRtfToHtml("{\\rtf1 y}", "+F=3");
  EXPECT_TRUE(c.State().Codes.empty());
}

class RecordingHost : public DebugHost {
 public:
  void Pause(Converter& converter, const std::string& dump) override {
    dumps.push_back(dump);
    html.push_back(converter.HtmlResult);
  }
  std::vector<std::string> dumps;
  std::vector<std::string> html;
};

TEST(DebugTrace, PausesOnceStateIsNotEmptyAndShowsTheOutputSoFar) {
  Converter c;
  RecordingHost host;
  c.SetDebugHost(&host);
  c.DebugMode = true;
  c.ConvertRtfToHtml("{\\rtf1 \\b x\\b0 y}", "+F=3");
  // "\rtf1" and "\b" find everything empty; "x", "\b0" and "y" pause.
  ASSERT_EQ(host.dumps.size(), 3u);
  EXPECT_EQ(host.html[2], "<b>x");
  EXPECT_EQ(host.dumps[1],
            "CurWord: \\b0\r\n\r\nBegCodes: <b> (A), \r\nCodes: </b> (A), \r\n\r\n"
            "NextBegCodes: \r\nNextCodes: \r\n\r\nFont String: \r\n\r\nBefore Text: ");
  EXPECT_FALSE(c.DebugContinue);
}

TEST(DebugTrace, DumpShortensLongWords) {
  ConverterState c;
  EXPECT_TRUE(c.DebugDump("12345678901234567890").starts_with("CurWord: 12345678901234567890\r\n"));
  EXPECT_TRUE(
      c.DebugDump("123456789012345678901").starts_with("CurWord: 12345678901234567890...\r\n"));
  std::string empty = c.DebugDump("");
  EXPECT_EQ(std::count(empty.begin(), empty.end(), '\n'), 10);
}

}  // namespace
}  // namespace quillet
