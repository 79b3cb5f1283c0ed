// Whole books through `quillet book --reader`: the bundled sample and two
// novels of our own made by pandoc and by LibreOffice (tests/reader/data).
// Every page keeps to 100 KB and is tidy, no part is empty, no word is cut,
// every link reaches a page of the run, the parts together hold the book's
// text; and headless Chromium reads the book from the index through
// "Siguiente" to the last part.
#include <algorithm>
#include <regex>

#include "tests/builder/page_text.h"
#include "tests/cli/cli_fixture.h"
#include "tests/reader/tidy_check.h"

namespace {

using quillet::reader::testing::TidyProblems;
using quillet::testing::Cli;
using quillet::testing::Outcome;
using quillet::testing::ReadAll;
namespace fs = std::filesystem;

constexpr std::size_t kPageBytes = 100 * 1024;

struct ReaderBookRow {
  const char* name;
  const char* file;  // under the source folder
  std::size_t parts;
};

void PrintTo(const ReaderBookRow& row, std::ostream* out) {
  *out << row.name;
}

// The text libxml2's HTML parser reads in some markup, with a line end after
// every paragraph end and list item.
std::string TextOf(std::string html) {
  return quillet::testing::VisibleText(std::regex_replace(html, std::regex("<br>|</li>"), "$&\n"));
}

// The body of a part page without the links at its top and bottom.
std::string PartBody(const std::string& page) {
  constexpr std::string_view kStart = "<BODY>\r\n";
  std::size_t begin = page.find(kStart) + kStart.size();
  std::size_t end = page.rfind("\r\n</BODY>");
  if (page.compare(begin, 6, "<p><a ") == 0) {
    begin = page.find("\r\n", begin) + 2;
    end = page.rfind("\r\n<p><a ", end);
  }
  return page.substr(begin, end - begin);
}

// Words of a text, one space between them.
std::string Words(const std::string& text) {
  std::istringstream in(text);
  std::string words;
  for (std::string word; in >> word;) words += (words.empty() ? "" : " ") + word;
  return words;
}

// Equal words, or where they first differ (books are too long to print whole).
testing::AssertionResult SameWords(const std::string& got, const std::string& want) {
  const std::string a = Words(got);
  const std::string b = Words(want);
  if (a == b) return testing::AssertionSuccess();
  const auto [at, _] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  const std::size_t from =
      static_cast<std::size_t>(std::max<std::ptrdiff_t>(at - a.begin() - 60, 0));
  return testing::AssertionFailure() << "words differ at " << at - a.begin() << ":\n  got  "
                                     << a.substr(from, 120) << "\n  want " << b.substr(from, 120);
}

std::vector<std::string> Links(const std::string& page) {
  static const std::regex href("href=\"([^\"]*)\"");
  std::vector<std::string> links;
  for (auto match = std::sregex_iterator(page.begin(), page.end(), href);
       match != std::sregex_iterator(); ++match) {
    links.push_back((*match)[1]);
  }
  return links;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

class ReaderBooks : public Cli, public testing::WithParamInterface<ReaderBookRow> {
 protected:
  std::string Source() const { return std::string(QUILLET_SOURCE_DIR) + "/" + GetParam().file; }

  // Makes the reader book; the names of its part pages, in order.
  std::vector<std::string> MakeBook() {
    const Outcome book = Run("$Q book '" + Source() + "' --reader --out out");
    EXPECT_EQ(book.status, 0) << book.err;
    std::vector<std::string> parts;
    std::istringstream lines(book.out);
    for (std::string line; std::getline(lines, line);) {
      const std::string name = fs::path(line).filename().string();
      if (name != "Rerud.html") parts.push_back(name);
    }
    EXPECT_EQ(parts.size(), GetParam().parts);
    return parts;
  }

  // The page as headless Chromium parsed it, serialised.
  std::string BrowserDom(const std::string& page) const {
    const Outcome dom = Run(
        "profile=$(mktemp -d /tmp/quillet-chromium.XXXXXX) && TMPDIR=$profile chromium "
        "--headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking "
        "--disable-component-update --disable-sync --user-data-dir=$profile --dump-dom 'file://" +
        (dir / "out" / page).string() +
        "' 2>/dev/null; status=$?; rm -rf \"$profile\"; exit $status");
    EXPECT_EQ(dom.status, 0) << page << dom.err;
    return dom.out;
  }
};

TEST_P(ReaderBooks, PagesKeepToTheBudgetTidyWholeAndLinked) {
  const std::vector<std::string> parts = MakeBook();
  ASSERT_FALSE(parts.empty());
  std::set<std::string> files(parts.begin(), parts.end());
  files.insert("Rerud.html");
  std::string joined;
  for (const std::string& name : parts) {
    SCOPED_TRACE(name);
    const std::string page = ReadAll(dir / "out" / name);
    EXPECT_LE(page.size(), kPageBytes);
    EXPECT_EQ(TidyProblems(page), std::vector<std::string>{});
    for (const std::string& link : Links(page)) EXPECT_TRUE(files.contains(link)) << link;
    const std::string text = TextOf(PartBody(page));
    EXPECT_FALSE(Words(text).empty()) << "an empty part";
    // No word cut: one side of every boundary is a space or a line end.
    if (!joined.empty() && !text.empty()) {
      EXPECT_TRUE(IsSpace(joined.back()) || IsSpace(text.front()))
          << joined.substr(joined.size() - 40) << "|" << text.substr(0, 40);
    }
    joined += text;
  }
  const std::string index = ReadAll(dir / "out" / "Rerud.html");
  EXPECT_LE(index.size(), kPageBytes);
  EXPECT_EQ(TidyProblems(index), std::vector<std::string>{});
  EXPECT_EQ(Links(index), parts);

  // The book's text as the box holds it; the converter writes an ellipsis as three dots.
  const Outcome text = Run("$Q text '" + Source() + "'");
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_TRUE(SameWords(joined, std::regex_replace(text.out, std::regex("…"), "...")));
  // And as the default mode shows it in one page.
  const Outcome whole = Run("mkdir one && $Q book '" + Source() + "' --parts 1 --out one");
  ASSERT_EQ(whole.status, 0) << whole.err;
  const std::string page = ReadAll(dir / "one" / "Rerud01.html");
  const std::size_t start = page.find(" ::</TITLE>\r\n\r\n") + 15;
  EXPECT_TRUE(SameWords(joined, TextOf(page.substr(start, page.rfind("\r\n</BODY>") - start))));
}

// From the index, "Siguiente" after "Siguiente" to the last part, each page's
// text as the browser parsed it.
TEST_P(ReaderBooks, BrowserReadsFromTheIndexThroughEveryPart) {
  if (Run("command -v chromium").status != 0) GTEST_SKIP() << "chromium is not installed";
  const std::vector<std::string> parts = MakeBook();
  ASSERT_FALSE(parts.empty());
  static const std::regex next("<a href=\"([^\"]*)\">Siguiente &gt;&gt;</a>");
  static const std::regex links("<p>[\\s\\S]*?</p>");
  const std::vector<std::string> fromIndex = Links(BrowserDom("Rerud.html"));
  ASSERT_FALSE(fromIndex.empty());
  std::vector<std::string> visited;
  for (std::string page = fromIndex.front(); !page.empty() && visited.size() <= parts.size();) {
    visited.push_back(page);
    const std::string dom = BrowserDom(page);
    const std::size_t body = dom.find("<body>");
    ASSERT_NE(body, std::string::npos) << page;
    // The browser serialises text with only these four references.
    std::string shown = std::regex_replace(dom.substr(body), links, "");
    shown = std::regex_replace(shown, std::regex("<br>|</li>"), "\n");
    shown = std::regex_replace(shown, std::regex("<[^>]*>"), "");
    for (const auto& [reference, character] :
         {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&nbsp;", "\u00a0"}, {"&amp;", "&"}}) {
      shown = std::regex_replace(shown, std::regex(reference), character);
    }
    EXPECT_TRUE(SameWords(shown, TextOf(PartBody(ReadAll(dir / "out" / page))))) << page;
    std::smatch link;
    page = std::regex_search(dom, link, next) ? link[1].str() : "";
  }
  EXPECT_EQ(visited, parts);
}

std::string RowName(const testing::TestParamInfo<ReaderBookRow>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Books, ReaderBooks,
    testing::Values(ReaderBookRow{"SampleBook", "samples/sample-book.rtf", 3},
                    ReaderBookRow{"PandocNovel", "tests/reader/data/pandoc_tide_clock.rtf", 3},
                    ReaderBookRow{"LibreOfficeNovel",
                                  "tests/reader/data/libreoffice_tide_clock.rtf", 3}),
    RowName);

}  // namespace
