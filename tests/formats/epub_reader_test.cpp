#include "richtext/formats/epub_reader.h"

#include <gtest/gtest.h>

#include <random>

#include "builder/messages.h"
#include "richtext/text_encoding.h"
#include "tests/formats/book_files.h"

namespace quillet {
namespace {

using testing::Chapter;
using testing::EpubEntries;
using testing::MakeZip;
using testing::ZipEntry;

LoadResult Read(const std::vector<ZipEntry>& entries, const LoadOptions& options = {}) {
  return ReadEpub(MakeZip(entries), options);
}

// Enough of a kind's name for a failing check to read.
std::string StatusName(StatusKind status) {
  return "StatusKind " + std::to_string(static_cast<int>(status));
}

TEST(EpubReader, ReadsTheSpineInOrderEachChapterANewParagraph) {
  auto entries =
      EpubEntries({Chapter("<h1>One</h1><p>first <b>bold</b></p>"), Chapter("<p>second</p>"),
                   Chapter("<p>third <img alt='a picture' "
                           "src='p.png'/> end</p>")});
  // The spine, not the archive, gives the order.
  std::swap(entries[2], entries[4]);
  const LoadResult result = Read(entries);
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(result.document.PlainText(), u"One\nfirst bold\nsecond\nthird a picture end");
  EXPECT_TRUE(result.document.paragraphs[1].Runs().at(1).format.bold);
}

TEST(EpubReader, ChapterTextRunsIntoNoOther) {
  const LoadResult result = Read(EpubEntries({Chapter("unwrapped"), Chapter("text")}));
  EXPECT_EQ(result.document.PlainText(), u"unwrapped\ntext");
}

TEST(EpubReader, KeepsEachChaptersFirstHeadingAHeading) {
  const LoadResult result = Read(EpubEntries(
      {Chapter("<h2 style='font-weight:normal;font-size:10pt'>Plain-styled title</h2><p>x</p>"
               "<h2 style='font-weight:normal'>Second heading</h2>")}));
  ASSERT_TRUE(result.ok()) << Message(result.status);
  const CharFormat& title = result.document.paragraphs.at(0).Runs().at(0).format;
  EXPECT_TRUE(title.bold);
  EXPECT_GT(title.size_half_points, kDefaultSizeHalfPoints);
  EXPECT_FALSE(result.document.paragraphs.at(2).Runs().at(0).format.bold);
}

TEST(EpubReader, XhtmlSelfClosingElementsHideNoText) {
  const LoadResult result =
      Read(EpubEntries({Chapter("<p>before<a id='page7'/> after<script src='x.js'/> end</p>")}));
  EXPECT_EQ(result.document.PlainText(), u"before after end");
}

TEST(EpubReader, FindsChaptersThroughRelativeAndEscapedPaths) {
  std::vector<ZipEntry> entries = {
      {"mimetype", "application/epub+zip", true},
      {"META-INF/container.xml",
       "<container><rootfiles><rootfile full-path='pkg/book.opf'/></rootfiles></container>"},
      {"pkg/book.opf",
       "<package><manifest><item id='a' href='../text/chapter%201.xhtml#top' "
       "media-type='application/xhtml+xml'/><item id='c' href='cover.svg' "
       "media-type='image/svg+xml'/></manifest><spine><itemref idref='c'/><itemref idref='a'/>"
       "<itemref idref='missing'/></spine></package>"},
      {"text/chapter 1.xhtml", Chapter("<p>found</p>")}};
  const LoadResult result = Read(entries);
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(result.document.PlainText(), u"found");
}

TEST(EpubReader, ResolvesHrefs) {
  EXPECT_EQ(ResolveHref("OEBPS/content.opf", "text/ch1.xhtml"), "OEBPS/text/ch1.xhtml");
  EXPECT_EQ(ResolveHref("OEBPS/text/ch1.xhtml", "../images/a%20b.png#x"), "OEBPS/images/a b.png");
  EXPECT_EQ(ResolveHref("a/b.opf", "/root.xhtml"), "root.xhtml");
  EXPECT_EQ(ResolveHref("content.opf", "./x/../../../y.xhtml"), "y.xhtml");
}

// Rows make their archives when they run, not when the test program starts.
struct RefusalCase {
  const char* name;
  std::vector<ZipEntry> (*entries)();
  StatusKind status;
  bool refused;  // not read on purpose, rather than damaged
  const char* message_part;
};

void PrintTo(const RefusalCase& row, std::ostream* out) {
  *out << row.name;
}

std::vector<ZipEntry> WithEntry(std::vector<ZipEntry> entries, ZipEntry extra) {
  for (ZipEntry& entry : entries) {
    if (entry.name == extra.name) {
      entry = std::move(extra);
      return entries;
    }
  }
  entries.push_back(std::move(extra));
  return entries;
}

const std::string kXmlBomb =
    "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">"
    "<!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">"
    "<!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">"
    "<!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">"
    "<!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\">"
    "<!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">"
    "<!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\">"
    "<!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">"
    "<!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">]>"
    "<container><rootfiles><rootfile full-path=\"&lol9;\"/></rootfiles></container>";

const std::string kExternalEntity =
    "<?xml version=\"1.0\"?><!DOCTYPE package [<!ENTITY secret SYSTEM "
    "\"file:///etc/passwd\">]><package><manifest><item id=\"a\" href=\"ch000.xhtml\" "
    "media-type=\"application/xhtml+xml\"/></manifest><spine><itemref idref=\"a\"/></spine>"
    "<metadata><title>&secret;</title></metadata></package>";

const std::string kEncryption =
    "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
    "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData><enc:EncryptionMethod "
    "Algorithm=\"http://www.w3.org/2001/04/xmlenc#aes128-cbc\"/><enc:CipherData>"
    "<enc:CipherReference URI=\"OEBPS/ch000.xhtml\"/></enc:CipherData></enc:EncryptedData>"
    "</encryption>";

class EpubRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(EpubRefusal, GivesAStatusAndAMessage) {
  const LoadResult result = Read(GetParam().entries(), {.max_unpacked_bytes = 8 << 20});
  EXPECT_EQ(StatusName(result.status.kind), StatusName(GetParam().status));
  EXPECT_NE(Message(result.status).find(GetParam().message_part), std::string::npos)
      << Message(result.status);
  EXPECT_TRUE(result.document.paragraphs.empty());
  EXPECT_EQ(Message(result.status).find("root:"), std::string::npos) << "file content leaked";
  EXPECT_EQ(Refused(result.status.kind), GetParam().refused);
}

std::vector<ZipEntry> Book() {
  return EpubEntries({Chapter("<p>text</p>")});
}

// Bytes that do not compress.
std::string Noise(std::size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

// Elements inside one another, `depth` deep.
std::string Nested(int depth) {
  std::string xml;
  for (int i = 0; i < depth; ++i) xml += "<m>";
  for (int i = 0; i < depth; ++i) xml += "</m>";
  return xml;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EpubRefusal,
    ::testing::Values(
        RefusalCase{"drm_encrypted_chapter",
                    [] {
                      return WithEntry(Book(), {"META-INF/encryption.xml", kEncryption});
                    },
                    StatusKind::kDrmProtected, true, "DRM"},
        RefusalCase{"zip_bomb_by_ratio",
                    [] {
                      return WithEntry(Book(), {"OEBPS/ch000.xhtml", std::string(5 << 20, ' ')});
                    },
                    StatusKind::kZipBomb, true, "ZIP bomb"},
        RefusalCase{"zip_bomb_by_total_size",
                    [] {
                      return WithEntry(Book(), {"OEBPS/ch000.xhtml", Noise(10 << 20)});
                    },
                    StatusKind::kZipBomb, true, "expands too much"},
        RefusalCase{"xml_bomb",
                    [] {
                      return WithEntry(Book(), {"META-INF/container.xml", kXmlBomb});
                    },
                    StatusKind::kXmlEntities, true, "declares XML entities"},
        RefusalCase{"external_entity",
                    [] {
                      return WithEntry(Book(), {"OEBPS/content.opf", kExternalEntity});
                    },
                    StatusKind::kXmlEntities, true, "declares XML entities"},
        RefusalCase{"package_nested_too_deeply",
                    [] {
                      return WithEntry(
                          Book(), {"OEBPS/content.opf", "<package>" + Nested(300) + "</package>"});
                    },
                    StatusKind::kXmlTooDeep, true, "nests elements too deeply"},
        RefusalCase{"no_container",
                    [] {
                      return std::vector<ZipEntry>{{"mimetype", "application/epub+zip", true}};
                    },
                    StatusKind::kZipEntryMissing, false, "META-INF/container.xml"},
        RefusalCase{"missing_chapter",
                    [] {
                      std::vector<ZipEntry> entries = Book();
                      std::erase_if(
                          entries, [](const ZipEntry& e) { return e.name == "OEBPS/ch000.xhtml"; });
                      return entries;
                    },
                    StatusKind::kZipEntryMissing, false, "is missing"},
        RefusalCase{"container_not_xml",
                    [] {
                      return WithEntry(Book(), {"META-INF/container.xml", "<a><b></a>"});
                    },
                    StatusKind::kXmlMalformed, false, "not valid XML"},
        RefusalCase{
            "empty_spine",
            [] {
              return WithEntry(Book(), {"OEBPS/content.opf", "<package><spine/></package>"});
            },
            StatusKind::kNoChapters, false, "no chapters"}),
    [](const auto& info) { return std::string(info.param.name); });

// The unpacked-size limit holds for the whole book, not for each entry: many
// chapters that are small alone add up past it.
struct UnpackedTotalCase {
  const char* name;
  int chapters;
  std::size_t chapterBytes;
  StatusKind status;
};

void PrintTo(const UnpackedTotalCase& row, std::ostream* out) {
  *out << row.name;
}

class EpubUnpackedTotal : public ::testing::TestWithParam<UnpackedTotalCase> {};

TEST_P(EpubUnpackedTotal, IsCheckedOverAllChapters) {
  const UnpackedTotalCase& row = GetParam();
  std::string words;
  while (words.size() < row.chapterBytes) words += "palabra ";
  const std::vector<std::string> chapters(row.chapters, Chapter("<p>" + words + "</p>"));
  const LoadResult result = Read(EpubEntries(chapters), {.max_unpacked_bytes = 1 << 20});
  EXPECT_EQ(StatusName(result.status.kind), StatusName(row.status)) << Message(result.status);
  if (row.status == StatusKind::kZipBomb) {
    EXPECT_NE(Message(result.status).find("expands too much"), std::string::npos)
        << Message(result.status);
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, EpubUnpackedTotal,
                         ::testing::Values(UnpackedTotalCase{"ThreeChaptersOf300KbUnder1Mb", 3,
                                                             300 << 10, StatusKind::kOk},
                                           UnpackedTotalCase{"FourChaptersOf300KbOver1Mb", 4,
                                                             300 << 10, StatusKind::kZipBomb}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EpubReader, TruncatedArchiveIsDamaged) {
  const std::string epub = MakeZip(EpubEntries({Chapter("<p>" + std::string(5000, 'x') + "</p>")}));
  for (const std::size_t size : {epub.size() / 2, epub.size() - 10, std::size_t{30}}) {
    const LoadResult result = ReadEpub(std::string_view(epub).substr(0, size), {});
    EXPECT_FALSE(result.ok()) << size;
    EXPECT_FALSE(Refused(result.status.kind)) << size;
    EXPECT_NE(Message(result.status).find("damaged"), std::string::npos) << Message(result.status);
  }
}

TEST(EpubReader, StopsWhenCancelled) {
  int asked = 0;
  const LoadResult result =
      Read(EpubEntries({Chapter("<p>a</p>"), Chapter("<p>b</p>"), Chapter("<p>c</p>")}),
           {.cancelled = [&] { return ++asked == 2; }});
  EXPECT_EQ(StatusName(result.status.kind), StatusName(StatusKind::kCancelled));
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace quillet
