// Generation, preview and help driven headless: a box over the document model,
// a recording opener and a recording message sink, pages compared byte for byte.
#include "builder/book_builder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builder/messages.h"
#include "richtext/document_box.h"
#include "tests/builder/fakes.h"
#include "tests/builder/page_text.h"
#include "tests/test_folder.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::RecordingOpener;

// A converted page as it must be on disk: head, empty line, body, foot, each
// write ending in CR LF.
std::string PageBytes(const std::string& title, const std::string& body) {
  return "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n"
         "<HTML>\r\n<HEAD>\r\n<TITLE>:: QUILLET - " +
         title + " ::</TITLE>\r\n\r\n" + body + "\r\n</BODY>\r\n\r\n</html>\r\n";
}

std::string IndexBytes(const std::vector<std::string>& linkLines) {
  std::string page =
      "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n"
      "<HTML>\r\n<HEAD>\r\n<TITLE>:: INDICE ::</TITLE>\r\nINDICE<br><br>\r\n";
  for (const std::string& line : linkLines) page += line + "\r\n";
  return page + "</BODY>\r\n\r\n</html>\r\n";
}

// Records what the builder asks of the box, passing everything on.
class RecordingBox : public DocumentBox {
 public:
  void SetSelStart(std::int64_t position) override {
    calls.push_back("start " + std::to_string(position));
    DocumentBox::SetSelStart(position);
  }
  void SetSelLength(std::int64_t length) override {
    calls.push_back("length " + std::to_string(length));
    DocumentBox::SetSelLength(length);
  }
  std::string SelRTF() const override {
    ++selRtfReads;
    return DocumentBox::SelRTF();
  }
  std::vector<std::string> calls;
  mutable int selRtfReads = 0;
};

class BookBuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = testing::TestFolder("builder");
    fs::remove_all(root);
    fs::create_directories(root / "out");
    fs::create_directories(root / "temp");
    folder = (root / "out").string() + "/";
    request.folder = folder;
    builder.tempFolder = (root / "temp").string() + "/";
  }
  void TearDown() override { testing::RemoveTestFolder(root); }

  bool Generate(const std::string& text, int parts) {
    box.SetPlainText(text);
    request.partCount = parts;
    return Keep(builder.Generate(request));
  }
  bool Preview() { return Keep(builder.Preview(request)); }
  bool WriteHelp() { return Keep(builder.WriteHelp(request)); }
  // The run's result; its error, if any, is the one message the user would see.
  bool Keep(BookResult outcome) {
    result = std::move(outcome);
    if (!result.ok()) messages.push_back(Message(result.status));
    return result.ok();
  }
  std::string Page(const std::string& name) const { return testing::FileBytes(folder + name); }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(root / "out")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path root;
  std::string folder;
  RecordingBox box;
  RecordingOpener opener;
  BookBuilder builder{box, opener};
  BookRequest request;
  BookResult result;
  std::vector<std::string> messages;
};

TEST_F(BookBuilderTest, WorkedExampleSplitsAtTheFirstSpaceAfterTheMiddle) {
  ASSERT_TRUE(Generate("one two three four", 2));
  EXPECT_EQ(builder.LastRun().TextLength, 18);
  EXPECT_EQ(builder.LastRun().PartLength, 13);
  EXPECT_EQ(Page("Rerud01.html"), PageBytes("RERUD", "one two three"));
  EXPECT_EQ(Page("Rerud02.html"), PageBytes("RERUD", " four"));
  EXPECT_EQ(Page("Rerud.html"), IndexBytes({"<a href=\" Rerud01.html\">Rerud01</a> <br>",
                                            "<a href=\" Rerud02.html\">Rerud02</a> <br>"}));
  EXPECT_EQ(opener.opened,
            (std::vector<std::string>{folder + "Rerud01.html", folder + "Rerud02.html",
                                      folder + "Rerud.html"}));
  EXPECT_EQ(result.written, opener.opened);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(builder.LastRun().OutputPath, folder + "Rerud.html");
}

TEST_F(BookBuilderTest, SplitPointIsFoundInTheTextAndEachPartIsReadOnce) {
  ASSERT_TRUE(Generate("one two three four", 2));
  // The space is looked for in the text read once, not by selecting one
  // character after another, which copied the paragraph at every step.
  EXPECT_EQ(box.calls, (std::vector<std::string>{"start 0", "length 13", "start 13", "length 13"}));
  EXPECT_EQ(box.selRtfReads, 2);
  // The box keeps the last part selected.
  EXPECT_EQ(box.SelStart(), 13);
  EXPECT_EQ(box.SelLength(), 5);
}

TEST_F(BookBuilderTest, OnePartWritesTheWholeTextWithoutIndexOrSearch) {
  ASSERT_TRUE(Generate("one two three four", 1));
  EXPECT_EQ(builder.LastRun().PartLength, 18);
  EXPECT_EQ(Files(), std::vector<std::string>{"Rerud01.html"});
  EXPECT_EQ(Page("Rerud01.html"), PageBytes("RERUD", "one two three four"));
  EXPECT_EQ(opener.opened, std::vector<std::string>{folder + "Rerud01.html"});
  EXPECT_EQ(box.calls, (std::vector<std::string>{"start 0", "length 18"}));
}

TEST_F(BookBuilderTest, NinetyNinePartsEndWithPage99AndAnIndexOf99Links) {
  std::string text;
  for (int i = 0; i < 178; ++i) text += "abcd ";  // 890 / 99 rounds to 9, a space
  ASSERT_TRUE(Generate(text, 99));
  EXPECT_EQ(builder.LastRun().PartLength, 9);
  ASSERT_EQ(opener.opened.size(), 100u);
  EXPECT_EQ(opener.opened[98], folder + "Rerud99.html");
  EXPECT_EQ(opener.opened[99], folder + "Rerud.html");
  const std::string index = Page("Rerud.html");
  EXPECT_NE(index.find("<a href=\" Rerud99.html\">Rerud99</a> <br>\r\n</BODY>"), std::string::npos);
  EXPECT_EQ(index.find("Rerud100"), std::string::npos);
}

struct SplitCase {
  const char* name;
  const char* text;
  int parts;
  std::int64_t partLength;
  std::vector<std::string> bodies;  // an empty part is a page with an empty body
};

void PrintTo(const SplitCase& row, std::ostream* out) {
  *out << row.name;
}

class SplitTest : public BookBuilderTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitTest, PartsAreCutWhereExpected) {
  const SplitCase& row = GetParam();
  ASSERT_TRUE(Generate(row.text, row.parts));
  EXPECT_EQ(builder.LastRun().PartLength, row.partLength);
  for (std::size_t k = 0; k < row.bodies.size(); ++k) {
    const std::string name = "Rerud0" + std::to_string(k + 1) + ".html";
    EXPECT_EQ(Page(name), PageBytes("RERUD", row.bodies[k])) << name;
  }
  EXPECT_TRUE(fs::exists(folder + "Rerud.html"));
  EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Splits, SplitTest,
    ::testing::Values(
        // 5 / 2 = 2.5 rounds down to 2; with no space after it the length stays.
        SplitCase{"HalfRoundsDownToEven", "abcde", 2, 2, {"ab", "cde"}},
        // 7 / 2 = 3.5 rounds up to 4.
        SplitCase{"HalfRoundsUpToEven", "abcdefg", 2, 4, {"abcd", "efg"}},
        SplitCase{"SplitPointAlreadyOnSpace", "abcd efg", 2, 4, {"abcd", " efg"}},
        // The later selections run past the end; the third is empty.
        SplitCase{"ShortTextLeavesLastPartEmpty", "abcdef gh", 3, 6, {"abcdef", " gh", ""}},
        // No space after the split point: the search stops at the end of the text.
        SplitCase{"NoSpaceKeepsRoundedQuotient", "abcdefgh", 2, 4, {"abcd", "efgh"}},
        // 2 / 5 rounds to 0, but a text that is not empty moves on one by one.
        SplitCase{"TinyTextGetsPartsOfOne", "ab", 5, 1, {"a", "b", "", "", ""}},
        // 10 / 4 = 2.5 gives 2 on a space; the last part takes the rest.
        SplitCase{"LastPartRunsToTheEnd", "ab cdefghi", 4, 2, {"ab", " c", "de", "fghi"}},
        // Three characters outside the first plane are six units: the split
        // at 3 would fall between the halves of the second one.
        SplitCase{"FirstBoundaryNeverSplitsAPair",
                  "\U0001F600\U0001F601\U0001F602",
                  2,
                  3,
                  {"&#128512;&#128513;", "&#128514;"}},
        SplitCase{"LaterBoundaryNeverSplitsAPair",
                  "a\U0001F600\U0001F601\U0001F602\U0001F603",
                  3,
                  3,
                  {"a&#128512;", "&#128513;&#128514;", "&#128515;"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BookBuilderTest, EmptyBoxWithTwoPartsWritesEmptyPagesAndTheIndex) {
  ASSERT_TRUE(Generate("", 2));
  EXPECT_EQ(builder.LastRun().PartLength, 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"Rerud.html", "Rerud01.html", "Rerud02.html"}));
  EXPECT_EQ(Page("Rerud02.html"), PageBytes("RERUD", ""));
  EXPECT_EQ(opener.opened,
            (std::vector<std::string>{folder + "Rerud01.html", folder + "Rerud02.html",
                                      folder + "Rerud.html"}));
}

// Every link of the index opens a page of this book, never one left by an
// earlier, longer book.
TEST_F(BookBuilderTest, ShortTextInManyPartsReplacesEveryOldPage) {
  ASSERT_TRUE(Generate(std::string(500, 'x'), 10));
  ASSERT_TRUE(Generate("abc def", 10));
  EXPECT_EQ(Files().size(), 11u);
  EXPECT_EQ(Page("Rerud03.html"), PageBytes("RERUD", "f"));
  EXPECT_EQ(Page("Rerud04.html"), PageBytes("RERUD", ""));
  EXPECT_EQ(Page("Rerud10.html"), PageBytes("RERUD", ""));
}

TEST_F(BookBuilderTest, LowerCasePrefixStaysInNamesAndLinksButTitleIsUpperCase) {
  request.prefix = "libro";
  ASSERT_TRUE(Generate("uno dos", 2));
  EXPECT_EQ(Page("libro01.html"), PageBytes("LIBRO", "uno "));
  EXPECT_EQ(Page("libro.html"), IndexBytes({"<a href=\" libro01.html\">libro01</a> <br>",
                                            "<a href=\" libro02.html\">libro02</a> <br>"}));
  EXPECT_EQ(builder.converter.FilePrefix, "LIBRO");
}

TEST_F(BookBuilderTest, PrefixOutsideAsciiIsWrittenAsCharacterReferences) {
  request.prefix = "Ñandú";
  ASSERT_TRUE(Generate("uno dos", 2));
  EXPECT_EQ(Page("Ñandú01.html"), PageBytes("&#209;AND&#218;", "uno "));
  EXPECT_EQ(Page("Ñandú.html"),
            IndexBytes({"<a href=\" &#209;and&#250;01.html\">&#209;and&#250;01</a> <br>",
                        "<a href=\" &#209;and&#250;02.html\">&#209;and&#250;02</a> <br>"}));
}

TEST_F(BookBuilderTest, RunKeepsLastPartInConverterVariables) {
  ASSERT_TRUE(Generate("one two three four", 2));
  EXPECT_EQ(builder.converter.HtmlResult, " four");
  box.SetSelStart(13);
  box.SetSelLength(5);
  EXPECT_EQ(builder.converter.RtfSource, box.SelRTF());
  EXPECT_EQ(builder.LastRun().PartStart, 26);
}

TEST_F(BookBuilderTest, ProgressIsReportedAfterEachPart) {
  std::vector<std::pair<int, int>> seen;
  GenerateProgress progress;
  progress.started = [&](int count) { seen.emplace_back(0, count); };
  progress.partWritten = [&](int part, int count) { seen.emplace_back(part, count); };
  box.SetPlainText("a b c");
  request.partCount = 3;
  ASSERT_TRUE(Keep(builder.Generate(request, progress)));
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(BookBuilderTest, ProgressDoesNotStartForARunRefusedByItsChecks) {
  bool started = false;
  GenerateProgress progress;
  progress.started = [&](int) { started = true; };
  request.folder = (root / "absent").string() + "/";
  EXPECT_FALSE(Keep(builder.Generate(request, progress)));
  EXPECT_FALSE(started);
}

TEST_F(BookBuilderTest, MissingFolderShowsOneMessageAndWritesNothing) {
  request.folder = (root / "absent").string() + "/";
  EXPECT_FALSE(Generate("one two three four", 2));
  EXPECT_EQ(messages, std::vector<std::string>{std::string(kMissingFolderMessage)});
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(result.written.empty());
  EXPECT_FALSE(fs::exists(root / "absent"));
}

TEST_F(BookBuilderTest, MissingFolderWithEmptyBoxWritesNoIndex) {
  request.folder = (root / "absent").string() + "/";
  EXPECT_FALSE(Generate("", 2));
  EXPECT_EQ(messages, std::vector<std::string>{std::string(kMissingFolderMessage)});
  EXPECT_TRUE(opener.opened.empty());
}

TEST_F(BookBuilderTest, UnwritablePageStopsTheRunNamingTheFile) {
  fs::create_directory(root / "out" / "Rerud02.html");  // a name that cannot become a file
  std::ofstream(root / "out" / "Rerud.html", std::ios::binary) << "old index";
  std::ofstream(root / "out" / "Rerud01.html", std::ios::binary) << "old page";
  EXPECT_FALSE(Generate("one two three four", 2));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("Rerud02.html"), std::string::npos);
  EXPECT_NE(messages[0].find("could not be written"), std::string::npos);
  // Pages go in place together: the old book is untouched and nothing is opened.
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_EQ(Page("Rerud.html"), "old index");
  EXPECT_EQ(Page("Rerud01.html"), "old page");
  EXPECT_EQ(Files(), (std::vector<std::string>{"Rerud.html", "Rerud01.html", "Rerud02.html"}));
}

TEST_F(BookBuilderTest, UnwritableIndexIsReportedAndNothingIsOpened) {
  fs::create_directory(root / "out" / "Rerud.html");
  EXPECT_FALSE(Generate("one two", 2));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("Rerud.html"), std::string::npos);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_EQ(Files(), std::vector<std::string>{"Rerud.html"});
}

TEST_F(BookBuilderTest, MarkupInThePrefixIsTextInTheTitle) {
  request.prefix = "&lt;b&gt;";
  ASSERT_TRUE(Generate("uno dos", 1));
  EXPECT_EQ(Page("&lt;b&gt;01.html"), PageBytes("&amp;LT;B&amp;GT;", "uno dos"));
}

TEST_F(BookBuilderTest, ExistingPageIsReplacedWhole) {
  std::ofstream(root / "out" / "Rerud01.html", std::ios::binary) << std::string(5000, 'x');
  ASSERT_TRUE(Generate("one", 1));
  EXPECT_EQ(Page("Rerud01.html"), PageBytes("RERUD", "one"));
}

struct PrefixCase {
  const char* name;
  const char* prefix;
};

void PrintTo(const PrefixCase& row, std::ostream* out) {
  *out << row.name;
}

class BadPrefixTest : public BookBuilderTest, public ::testing::WithParamInterface<PrefixCase> {};

TEST_P(BadPrefixTest, IsRefusedBeforeAnythingIsWritten) {
  request.prefix = GetParam().prefix;
  EXPECT_FALSE(Generate("one two three four", 2));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("prefix"), std::string::npos);
  EXPECT_NE(messages[0].find("prefijo"), std::string::npos);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(Files().empty());
}

TEST_P(BadPrefixTest, IsRefusedByThePreviewToo) {
  request.prefix = GetParam().prefix;
  box.SetPlainText("one two");
  EXPECT_FALSE(Preview());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("prefix"), std::string::npos);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_FALSE(fs::exists(builder.PreviewPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, BadPrefixTest,
    ::testing::Values(PrefixCase{"ParentFolder", "../escape"}, PrefixCase{"Slash", "sub/libro"},
                      PrefixCase{"Backslash", "sub\\libro"}, PrefixCase{"Dot", "."},
                      PrefixCase{"TwoDots", ".."}, PrefixCase{"Colon", "a:b"},
                      PrefixCase{"QuestionMark", "a?b"}, PrefixCase{"Star", "a*b"},
                      PrefixCase{"Quote", "a\"b"}, PrefixCase{"LessThan", "a<b"},
                      PrefixCase{"GreaterThan", "a>b"}, PrefixCase{"Bar", "a|b"},
                      PrefixCase{"Tab", "tab\there"}, PrefixCase{"DeviceName", "CON"},
                      PrefixCase{"LowerCaseDeviceName", "nul"},
                      PrefixCase{"InvalidUtf8", "\xff\xfe"}, PrefixCase{"Empty", ""},
                      PrefixCase{"LeadingSpace", " Libro"}, PrefixCase{"TrailingSpace", "Libro "},
                      PrefixCase{"LeadingNoBreakSpace", "\u00a0Libro"},
                      PrefixCase{"TrailingIdeographicSpace", "Libro\u3000"},
                      PrefixCase{"Markup", "</title><script>x</script>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BookBuilderTest, BadPartCountIsRefused) {
  EXPECT_FALSE(Generate("one two", 0));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(Files().empty());
}

TEST_F(BookBuilderTest, PreviewWritesTheWholeTextAsOnePageInTheTemporaryFolder) {
  box.SetPlainText("one two three four");
  request.partCount = 5;
  request.folder = (root / "absent").string() + "/";  // not looked at
  ASSERT_TRUE(Preview());
  EXPECT_EQ(builder.PreviewPath(), builder.tempFolder + "quillettemp.html");
  EXPECT_EQ(testing::FileBytes(builder.PreviewPath()), PageBytes("RERUD", "one two three four"));
  EXPECT_EQ(opener.opened, std::vector<std::string>{builder.PreviewPath()});
  EXPECT_FALSE(builder.converter.DebugMode);
  EXPECT_EQ(builder.converter.RtfSource, box.TextRTF());
}

TEST_F(BookBuilderTest, PreviewOfEmptyBoxStillWritesAPage) {
  ASSERT_TRUE(Preview());
  EXPECT_EQ(testing::FileBytes(builder.PreviewPath()), PageBytes("RERUD", ""));
}

TEST_F(BookBuilderTest, PreviewSetsDebugModeFromTheOptionButton) {
  box.SetPlainText("x");
  request.debug = true;
  ASSERT_TRUE(Preview());
  EXPECT_TRUE(builder.converter.DebugMode);
}

TEST_F(BookBuilderTest, PreviewIntoMissingFolderShowsTheMessageAndWritesNothing) {
  builder.tempFolder = (root / "absent").string() + "/";
  EXPECT_FALSE(Preview());
  EXPECT_EQ(messages, std::vector<std::string>{std::string(kMissingFolderMessage)});
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_FALSE(fs::exists(root / "absent"));
}

TEST_F(BookBuilderTest, HelpTwiceReplacesTheSamePageAndOpensItAgain) {
  request.helpText = "<html><body bgcolor=\"#333333\">Ayuda / Help</body></html>";
  ASSERT_TRUE(WriteHelp());
  ASSERT_TRUE(WriteHelp());
  EXPECT_EQ(testing::FileBytes(builder.HelpPath()), request.helpText + "\r\n");
  EXPECT_EQ(opener.opened, (std::vector<std::string>{builder.HelpPath(), builder.HelpPath()}));
  EXPECT_EQ(builder.HelpPath(), builder.tempFolder + "help.html");
}

}  // namespace
}  // namespace quillet
