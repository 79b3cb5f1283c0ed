// Whole reader books made of real converter output: the bundled sample and
// the fixtures of every word processor, checked page by page with real tidy.
#include "builder/reader/reader_book.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "builder/messages.h"
#include "builder/reader/part_headings.h"
#include "tests/reader/reader_support.h"

namespace quillet::reader {
namespace {

using testing::BookBody;
using testing::Names;
using testing::PageBody;
using testing::SourcePath;
using testing::StripTags;
using testing::TidyProblems;

std::vector<std::string> FileNames(const ReaderBook& book) {
  std::vector<std::string> names;
  const int count = static_cast<int>(book.parts.size());
  for (int part = 1; part <= count; ++part) {
    names.push_back("Rerud" + PartNumberText(part, count) + ".html");
  }
  if (!book.index.empty()) names.push_back("Rerud.html");
  return names;
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

// A part ends after a space or a paragraph end, then the end tags of what is
// still open.
bool EndsCleanly(std::string body) {
  while (body.ends_with('>') && body.compare(body.rfind('<'), 2, "</") == 0 &&
         !body.ends_with("</li>") && !body.ends_with("</ul>") && !body.ends_with("</table>")) {
    body.erase(body.rfind('<'));
  }
  return body.ends_with(' ') || body.ends_with("<br>") || body.ends_with("</li>") ||
         body.ends_with("</ul>") || body.ends_with("</table>");
}

// Everything the whole-mode tests ask of a reader book.
void ExpectReaderBook(const ReaderBook& book, const std::string& body, std::size_t pageBytes) {
  const std::vector<std::string> names = FileNames(book);
  const std::set<std::string> files(names.begin(), names.end());
  std::string joined;
  for (std::size_t part = 0; part < book.parts.size(); ++part) {
    const std::string& page = book.parts[part];
    const std::string text = PageBody(page);
    SCOPED_TRACE(names[part]);
    EXPECT_LE(page.size(), pageBytes);
    EXPECT_EQ(TidyProblems(page), std::vector<std::string>{});
    const BalancedBody shown = Balance(text, kBodyFontSize);
    EXPECT_FALSE(PlainText(shown, {0, shown.html.size()}, 1).empty()) << "a part without text";
    if (part + 1 < book.parts.size()) {
      EXPECT_TRUE(EndsCleanly(text)) << text.substr(text.size() - 60);
    }
    for (const std::string& link : Links(page)) EXPECT_TRUE(files.contains(link)) << link;
    joined += StripTags(text);
  }
  EXPECT_EQ(joined, StripTags(body));
  if (book.parts.size() > 1) {
    EXPECT_LE(book.index.size(), pageBytes);
    EXPECT_EQ(TidyProblems(book.index), std::vector<std::string>{});
    EXPECT_EQ(Links(book.index), std::vector<std::string>(names.begin(), names.end() - 1));
  }
}

struct BookCase {
  std::string file;
  int maxKb;
  int partCount;      // asked for
  std::size_t parts;  // made
};

void PrintTo(const BookCase& row, std::ostream* out) {
  *out << row.file << " in " << row.maxKb << " KB";
}

class ReaderBookTest : public ::testing::TestWithParam<BookCase> {};

TEST_P(ReaderBookTest, PagesKeepToTheBudgetCleanLinkedAndWhole) {
  const std::string body = BookBody(SourcePath(GetParam().file));
  ReaderOptions options = ReaderOptions::All();
  options.maxKb = GetParam().maxKb;
  options.partCount = GetParam().partCount;
  const ReaderResult result = MakeReaderBook(body, Names(), options);
  ASSERT_EQ(Message(result.status), "");
  EXPECT_EQ(result.value.parts.size(), GetParam().parts);
  ExpectReaderBook(result.value, body, static_cast<std::size_t>(GetParam().maxKb) * 1024);
}

INSTANTIATE_TEST_SUITE_P(
    Books, ReaderBookTest,
    ::testing::Values(BookCase{"samples/sample-book.rtf", 100, 1, 3},
                      BookCase{"samples/sample-book.rtf", 8, 1, 41},
                      BookCase{"tests/richtext/data/libreoffice_from_html.rtf", 100, 1, 1},
                      BookCase{"tests/richtext/data/libreoffice_from_html.rtf", 2, 3, 3},
                      BookCase{"tests/richtext/data/libreoffice_from_docx.rtf", 2, 3, 3},
                      BookCase{"tests/richtext/data/pandoc_sample.rtf", 2, 3, 3},
                      BookCase{"tests/richtext/data/word_sample.rtf", 100, 2, 2},
                      BookCase{"tests/richtext/data/textedit_sample.rtf", 100, 2, 2},
                      BookCase{"tests/richtext/data/wordpad_cyrillic_polish.rtf", 100, 2, 2}),
    [](const auto& info) {
      std::string name = std::filesystem::path(info.param.file).stem().string();
      std::replace(name.begin(), name.end(), '-', '_');
      return name + "_" + std::to_string(info.param.maxKb) + "KB";
    });

TEST(ReaderBookTest, AskedCountGivesAboutEqualParts) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  const ReaderResult result = MakeReaderBook(body, Names(), ReaderOptions::All(10));
  ASSERT_EQ(Message(result.status), "");
  ASSERT_EQ(result.value.parts.size(), 10u);
  const auto [smallest, largest] = std::minmax_element(
      result.value.parts.begin(), result.value.parts.end(),
      [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
  EXPECT_LT(static_cast<double>(largest->size()) / static_cast<double>(smallest->size()), 1.3);
  ExpectReaderBook(result.value, body, 100 * 1024);
}

TEST(ReaderBookTest, IndexNamesEachPartByItsHeading) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  ReaderOptions options = ReaderOptions::All();
  options.maxKb = 8;
  const ReaderResult result = MakeReaderBook(body, Names(), options);
  ASSERT_EQ(Message(result.status), "");
  EXPECT_NE(result.value.index.find("<a href=\"Rerud01.html\">01 El almanaque del farero / The "
                                    "Lighthouse Keeper&rsquo;s Almanac</a> ("),
            std::string::npos);
  EXPECT_NE(result.value.parts[0].find(
                "<TITLE>:: QUILLET - RERUD 01/41 - El almanaque del farero / The Lighthouse "
                "Keeper&rsquo;s Almanac ::</TITLE>"),
            std::string::npos);
  // Chapter 2 is the second heading of the first part.
  EXPECT_NE(
      result.value.index.find("<a href=\"Rerud02.html\">02 Cap&iacute;tulo 3 / Chapter 3</a>"),
      std::string::npos);
}

// Each piece of the mode alone, on the sample.
TEST(ReaderPiecesTest, BudgetAloneAddsNoLinksOrTitles) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  const ReaderResult result = MakeReaderBook(body, Names(), {20, 1, false, false, false});
  ASSERT_EQ(Message(result.status), "");
  EXPECT_EQ(result.value.parts.size(), 15u);
  for (const std::string& page : result.value.parts) {
    EXPECT_LE(page.size(), 20u * 1024);
    EXPECT_EQ(page.find("<p><a "), std::string::npos);
    EXPECT_NE(page.find("<TITLE>:: QUILLET - RERUD ::</TITLE>"), std::string::npos);
  }
  EXPECT_NE(result.value.index.find("<a href=\"Rerud15.html\">Rerud15</a><br>"), std::string::npos);
}

TEST(ReaderPiecesTest, NavigationAloneKeepsTheCount) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  const ReaderResult result = MakeReaderBook(body, Names(), {0, 3, true, false, false});
  ASSERT_EQ(Message(result.status), "");
  ASSERT_EQ(result.value.parts.size(), 3u);
  EXPECT_NE(result.value.parts[1].find("<a href=\"Rerud03.html\">Siguiente &gt;&gt;</a>"),
            std::string::npos);
  EXPECT_NE(result.value.parts[1].find("<TITLE>:: QUILLET - RERUD ::</TITLE>"), std::string::npos);
}

TEST(ReaderPiecesTest, TitledIndexAloneNamesThePartsOnly) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  const ReaderResult result = MakeReaderBook(body, Names(), {0, 3, false, true, false});
  ASSERT_EQ(Message(result.status), "");
  ASSERT_EQ(result.value.parts.size(), 3u);
  EXPECT_EQ(result.value.parts[1].find("<p><a "), std::string::npos);
  EXPECT_NE(result.value.parts[1].find("<TITLE>:: QUILLET - RERUD 02/03"), std::string::npos);
  EXPECT_NE(result.value.index.find("<a href=\"Rerud03.html\">03 "), std::string::npos);
}

TEST(ReaderPiecesTest, CleanCutsAloneCutAtCleanPlaces) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  const ReaderResult clean = MakeReaderBook(body, Names(), {0, 20, false, false, true});
  const ReaderResult plain = MakeReaderBook(body, Names(), {0, 20, false, false, false});
  ASSERT_EQ(Message(clean.status), "");
  ASSERT_EQ(clean.value.parts.size(), 20u);
  ASSERT_EQ(plain.value.parts.size(), 20u);
  int plainClean = 0;
  for (std::size_t part = 0; part + 1 < 20; ++part) {
    EXPECT_TRUE(EndsCleanly(PageBody(clean.value.parts[part])));
    plainClean += EndsCleanly(PageBody(plain.value.parts[part])) ? 1 : 0;
  }
  EXPECT_LT(plainClean, 10);  // without clean cuts most parts end mid-word
}

TEST(ReaderRefusalTest, BudgetBelowTheFrameIsRefused) {
  const std::string body = BookBody(SourcePath("samples/sample-book.rtf"));
  BookNames names = Names();
  names.titlePrefix = names.linkPrefix = names.shownPrefix = std::string(200, 'R');
  ReaderOptions options = ReaderOptions::All();
  options.maxKb = 1;
  const ReaderResult result = MakeReaderBook(body, names, options);
  EXPECT_TRUE(result.value.parts.empty());
  EXPECT_NE(Message(result.status).find("Páginas de 1 KB no dejan sitio"), std::string::npos)
      << Message(result.status);
  EXPECT_NE(Message(result.status).find("Pages of 1 KB leave no room"), std::string::npos);
}

TEST(ReaderRefusalTest, MoreThan999PartsNamesTheSmallestBudgetThatFits) {
  std::string body;
  const std::string sample = BookBody(SourcePath("samples/sample-book.rtf"));
  for (int copy = 0; copy < 8; ++copy) body += sample;
  ReaderOptions options = ReaderOptions::All();
  options.maxKb = 2;
  const ReaderResult refused = MakeReaderBook(body, Names(), options);
  ASSERT_TRUE(refused.value.parts.empty());
  const std::regex smallest("el tamaño más pequeño que sirve es ([0-9]+) KB");
  const std::string message = Message(refused.status);
  std::smatch match;
  ASSERT_TRUE(std::regex_search(message, match, smallest)) << message;
  EXPECT_NE(message.find("With pages of 2 KB the book needs more than 999 parts"),
            std::string::npos);
  options.maxKb = std::stoi(match[1]);
  const ReaderResult fits = MakeReaderBook(body, Names(), options);
  EXPECT_EQ(Message(fits.status), "");
  EXPECT_LE(fits.value.parts.size(), 999u);
  options.maxKb -= 1;
  EXPECT_FALSE(MakeReaderBook(body, Names(), options).ok());
}

TEST(ReaderRefusalTest, PartCountBeyond999IsRefused) {
  EXPECT_NE(Message(MakeReaderBook("text", Names(), ReaderOptions::All(1000)).status)
                .find("Invalid number of parts: 1000 (1 to 999)."),
            std::string::npos);
}

TEST(TidyCheckTest, SeesTheTagSoupOfTheDefaultPages) {
  EXPECT_FALSE(
      TidyProblems(testing::ReadFile(SourcePath("tests/golden/sample-book-10/Rerud01.html")))
          .empty());
}

TEST(ReaderBookTest, EmptyBookIsOneEmptyPage) {
  const ReaderResult result = MakeReaderBook("", Names(), ReaderOptions::All(5));
  ASSERT_EQ(Message(result.status), "");
  ASSERT_EQ(result.value.parts.size(), 1u);
  EXPECT_EQ(result.value.index, "");
  EXPECT_EQ(PageBody(result.value.parts[0]), "");
}

}  // namespace
}  // namespace quillet::reader
