// Books made to mislead a reader: named as what they are not, cut short, or
// built to multiply their text. Each ends as a clear refusal or as the book
// it really holds.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "builder/messages.h"
#include "richtext/formats/book_formats.h"
#include "richtext/text_encoding.h"
#include "tests/formats/book_files.h"

namespace quillet {
namespace {

using testing::Chapter;
using testing::EpubEntries;
using testing::MakeZip;
using testing::ZipEntry;

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(29);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// A few hundred bytes of FB2, cut inside its second paragraph.
std::string TruncatedFb2() {
  const std::string whole =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook "
      "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\"><body><section><p>first paragraph of "
      "the book</p><p>second paragraph, which the cut ends half way</p></section></body>"
      "</FictionBook>";
  return whole.substr(0, whole.find("which"));
}

// An EPUB whose spine names its one chapter `times` times.
std::string SpineRepeating(int times) {
  std::vector<ZipEntry> entries = EpubEntries({Chapter("<p>once only</p>")});
  std::string spine;
  for (int i = 0; i < times; ++i) spine += "<itemref idref=\"ch000\"/>";
  entries.back().data =
      "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
      "<manifest><item id=\"ch000\" href=\"ch000.xhtml\" media-type=\"application/xhtml+xml\"/>"
      "<item id=\"again\" href=\"CH000.xhtml\" media-type=\"application/xhtml+xml\"/></manifest>"
      "<spine>" +
      spine + "<itemref idref=\"again\"/></spine></package>";
  return MakeZip(entries);
}

// An EPUB whose encryption list names its chapter in another case.
std::string EncryptedInOtherCase() {
  std::vector<ZipEntry> entries = EpubEntries({Chapter("<p>ciphertext</p>")});
  entries.push_back(
      {"META-INF/encryption.xml",
       "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
       "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData><enc:CipherData>"
       "<enc:CipherReference URI=\"oebps/CH000.XHTML\"/></enc:CipherData></enc:EncryptedData>"
       "</encryption>"});
  return MakeZip(entries);
}

struct RefusedCase {
  const char* name;
  const char* fileName;
  std::string (*bytes)();
  StatusKind kind;
};

void PrintTo(const RefusedCase& row, std::ostream* out) {
  *out << row.name;
}

class RefusedBook : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedBook, IsRefusedWithItsOwnMessage) {
  const LoadResult result = LoadBook(GetParam().fileName, GetParam().bytes());
  EXPECT_EQ(static_cast<int>(result.status.kind), static_cast<int>(GetParam().kind))
      << Message(result.status);
  EXPECT_TRUE(result.document.paragraphs.empty());
  EXPECT_NE(Message(result.status).find(GetParam().fileName), std::string::npos);
}

std::string Noise() {
  return RandomBytes(20'000);
}

std::string Words() {
  return "Plain words in a file that only its name calls a document.\n";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusedBook,
    ::testing::Values(
        RefusedCase{"RandomBytesNamedDocx", "noise.docx", Noise, StatusKind::kNotThatFormat},
        RefusedCase{"RandomBytesNamedOdt", "noise.odt", Noise, StatusKind::kNotThatFormat},
        RefusedCase{"RandomBytesNamedDoc", "noise.doc", Noise, StatusKind::kNotThatFormat},
        RefusedCase{"RandomBytesNamedWpd", "noise.wpd", Noise, StatusKind::kNotThatFormat},
        RefusedCase{"RandomBytesNamedSxw", "noise.sxw", Noise, StatusKind::kNotThatFormat},
        RefusedCase{"PlainTextNamedDoc", "words.doc", Words, StatusKind::kNotThatFormat},
        RefusedCase{"TruncatedFb2", "cut.fb2", TruncatedFb2, StatusKind::kXmlTruncated},
        RefusedCase{"ChapterEncryptedInAnotherCase", "drm.epub", EncryptedInOtherCase,
                    StatusKind::kDrmProtected}),
    [](const auto& info) { return std::string(info.param.name); });

// Every run carries its font's name: a name of 64 KB in a style would be
// copied into each of them.
TEST(HostileHtml, FontNameIsCutToWhatANameNeeds) {
  std::string html = "<p style=\"font-family: '" + std::string(65'536, 'F') + "', serif\">";
  for (int i = 0; i < 100; ++i) html += "<b>bold</b> <i>it</i> ";
  const LoadResult result = LoadBook("fonts.html", html + "</p>");
  ASSERT_TRUE(result.ok()) << Message(result.status);
  const Paragraph& paragraph = result.document.paragraphs.front();
  ASSERT_GT(paragraph.Runs().size(), 100u);
  for (const RunView run : paragraph.Runs()) EXPECT_LE(run.format.font.size(), 256u);
}

// An internal subset in a chapter's doctype declares nothing the chapter
// shows; its end must not show either.
TEST(HostileEpub, DoctypeWithAnInternalSubsetLeavesNoTrace) {
  const std::string chapter =
      "<?xml version=\"1.0\"?><!DOCTYPE html [ <!ENTITY nbsp \"&#160;\"> <!-- > --> ]>"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>text</p></body></html>";
  const LoadResult result = LoadBook("subset.epub", MakeZip(EpubEntries({chapter})));
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(ToUtf8(result.document.PlainText()), "text");
}

// A table whose header names 1,500 columns and whose 1,500 rows name one
// each: 9 KB that a table parser pads to 2.25 million cells.
std::string SparseTable() {
  std::string header = "|";
  std::string rule = "|";
  for (int i = 0; i < 1500; ++i) {
    header += "a|";
    rule += "-|";
  }
  std::string markdown = header + "\n" + rule + "\n";
  for (int i = 0; i < 1500; ++i) markdown += "x\n";
  return markdown;
}

#ifndef QUILLET_SANITIZED
// Loads the book in a process that may use no more than `bytes` of memory,
// and ends it with 0 when the load succeeded.
[[noreturn]] void LoadWithin(const std::string& name, const std::string& book, rlim_t bytes) {
  const rlimit limit{bytes, bytes};
  setrlimit(RLIMIT_AS, &limit);
  std::exit(LoadBook(name, book).ok() ? 0 : 1);
}
#endif

// The same table on its own, inside a block quote or a list item, and with
// lines that end in CR alone, as the parser takes them all.
std::string SparseTableIn(std::string_view prefix, std::string_view lineEnd) {
  const std::string table = SparseTable();
  std::string markdown;
  for (std::string_view rest = table; !rest.empty();) {
    const std::size_t end = rest.find('\n');
    markdown += std::string(prefix) + std::string(rest.substr(0, end)) + std::string(lineEnd);
    rest.remove_prefix(end + 1);
  }
  return markdown;
}

TEST(HostileMarkdown, SparseTableStaysInProportionToItsText) {
  struct Row {
    const char* name;
    std::string markdown;
  };
  for (const Row& row :
       {Row{"alone", SparseTable()}, Row{"quoted", SparseTableIn("> ", "\n")},
        Row{"nested quote", SparseTableIn("> > ", "\n")},
        Row{"list item", SparseTableIn("- ", "\n")}, Row{"cr line ends", SparseTableIn("", "\r")},
        Row{"crlf line ends", SparseTableIn("", "\r\n")}}) {
    SCOPED_TRACE(row.name);
#ifndef QUILLET_SANITIZED
    // Half a gigabyte is far more than 9 KB of text needs; the padded table took 1.2 GB.
    EXPECT_EXIT(LoadWithin("table.md", row.markdown, rlim_t{512} << 20),
                ::testing::ExitedWithCode(0), "");
#endif
    const LoadResult result = LoadBook("table.md", row.markdown);
    ASSERT_TRUE(result.ok()) << Message(result.status);
    EXPECT_LT(result.document.Length(), 10 * row.markdown.size());
  }
}

// libxml2 checks an element's attributes against each other: 100,000 of them
// on one element took minutes.
TEST(HostileFb2, ElementWithTooManyAttributesIsRefused) {
  std::string attributes;
  for (int i = 0; i < 100'000; ++i) attributes += " a" + std::to_string(i) + "=\"x\"";
  const std::string fb2 = "<?xml version=\"1.0\"?><FictionBook><body><section><p" + attributes +
                          ">text</p></section></body></FictionBook>";
  const LoadResult result = LoadBook("attributes.fb2", fb2);
  EXPECT_EQ(static_cast<int>(result.status.kind),
            static_cast<int>(StatusKind::kXmlTooManyAttributes))
      << Message(result.status);
  const LoadResult fine =
      LoadBook("fine.fb2",
               "<FictionBook><body><section><p a=\"1\" b='2'>text</p><!-- a=b c=d -->"
               "</section></body></FictionBook>");
  EXPECT_TRUE(fine.ok()) << Message(fine.status);
}

// A "[" in a doctype's quoted identifier starts no subset: the page stays whole.
TEST(HostileHtml, BracketInADoctypeIdentifierKeepsThePage) {
  const std::string html =
      "<!DOCTYPE html PUBLIC \"-//Acme//DTD [X\" \"x.dtd\"><p>Chapter one.</p>"
      "<p><a href=\"n.html#[1]\">1</a> tail</p>";
  const LoadResult result = LoadBook("bracket.html", html);
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(ToUtf8(result.document.PlainText()), "Chapter one.\n1 tail");
}

// Two entries whose names differ in case alone are two chapters.
TEST(HostileEpub, ChaptersWhoseNamesDifferInCaseAreBothRead) {
  std::vector<ZipEntry> entries = EpubEntries({Chapter("<p>lower</p>")});
  entries.push_back({"OEBPS/CH000.xhtml", Chapter("<p>upper</p>")});
  for (ZipEntry& entry : entries) {
    if (entry.name != "OEBPS/content.opf") continue;
    entry.data =
        "<?xml version=\"1.0\"?><package><manifest>"
        "<item id=\"a\" href=\"ch000.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "<item id=\"b\" href=\"CH000.xhtml\" media-type=\"application/xhtml+xml\"/>"
        "</manifest><spine><itemref idref=\"a\"/><itemref idref=\"b\"/></spine></package>";
  }
  const LoadResult result = LoadBook("cases.epub", MakeZip(entries));
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(ToUtf8(result.document.PlainText()), "lower\nupper");
}

TEST(HostileEpub, ChapterNamedManyTimesIsReadOnce) {
  const LoadResult result = LoadBook("loop.epub", SpineRepeating(5000));
  ASSERT_TRUE(result.ok()) << Message(result.status);
  const std::string text = ToUtf8(result.document.PlainText());
  EXPECT_EQ(text.size(), std::string("once only").size()) << text.substr(0, 40);
}

}  // namespace
}  // namespace quillet
