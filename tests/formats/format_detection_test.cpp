#include <gtest/gtest.h>

#include "richtext/formats/book_formats.h"
#include "tests/formats/book_files.h"

namespace quillet {
namespace {

using testing::EpubEntries;
using testing::MakeZip;
using testing::ScratchFolder;

struct DetectionCase {
  const char* name;
  std::string file_name;
  std::string bytes;
  BookFormat format;
};

void PrintTo(const DetectionCase& row, std::ostream* out) {
  *out << row.name;
}

class FormatDetection : public ::testing::TestWithParam<DetectionCase> {};

TEST_P(FormatDetection, ChoosesTheFormat) {
  EXPECT_EQ(FormatName(DetectFormat(GetParam().file_name, GetParam().bytes)),
            FormatName(GetParam().format));
}

const std::string kEpub = MakeZip(EpubEntries({"<p>x</p>"}));
const std::string kOdt = MakeZip(
    {{"mimetype", "application/vnd.oasis.opendocument.text", true}, {"content.xml", "<x/>"}});
const std::string kDocx =
    MakeZip({{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "<w:document/>"}});
const std::string kSxw = MakeZip({{"mimetype", "application/vnd.sun.xml.writer", true}});
const std::string kOtherZip = MakeZip({{"readme.txt", "hello"}});

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatDetection,
    ::testing::Values(
        DetectionCase{"epub_by_its_mimetype_whatever_its_name", "book.zip", kEpub,
                      BookFormat::kEpub},
        DetectionCase{"odt_by_its_mimetype", "book", kOdt, BookFormat::kOdt},
        DetectionCase{"docx_by_its_parts", "book.bin", kDocx, BookFormat::kDocx},
        DetectionCase{"sxw_by_its_mimetype", "old", kSxw, BookFormat::kSxw},
        DetectionCase{"other_zip_by_extension", "x.epub", kOtherZip, BookFormat::kEpub},
        DetectionCase{"ole_compound_file_is_doc", "x.xyz",
                      std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(64, '\0'),
                      BookFormat::kDoc},
        DetectionCase{"wordperfect_signature", "x", "\xFFWPC\x10\x00\x00\x00", BookFormat::kWpd},
        DetectionCase{"rtf_by_content_under_any_name", "notes.txt", "{\\rtf1 hi}",
                      BookFormat::kRtf},
        DetectionCase{"rtf_behind_a_byte_order_mark", "-", "\xEF\xBB\xBF{\\rtf1 hi}",
                      BookFormat::kRtf},
        DetectionCase{"rtf_after_white_space", "-", "\r\n  {\\rtf1 hi}", BookFormat::kRtf},
        DetectionCase{"fb2_by_its_root", "book.xml",
                      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<FictionBook "
                      "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">",
                      BookFormat::kFb2},
        DetectionCase{"html_by_doctype", "page", "<!DOCTYPE html><html><body>x", BookFormat::kHtml},
        DetectionCase{"html_by_its_first_tag", "clip", "<meta charset='utf-8'><b>x</b>",
                      BookFormat::kHtml},
        DetectionCase{"xhtml_with_xml_declaration", "ch1",
                      "<?xml version=\"1.0\"?>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">",
                      BookFormat::kHtml},
        DetectionCase{"utf16_html", "page", std::string("\xFF\xFE<\0h\0", 6), BookFormat::kHtml},
        DetectionCase{"markdown_starting_with_a_tag_keeps_its_name", "notes.md",
                      "<div>raw</div>\n\n# Title", BookFormat::kMarkdown},
        DetectionCase{"text_starting_with_a_tag_keeps_its_name", "notes.txt", "<b> is bold",
                      BookFormat::kPlainText},
        DetectionCase{"markdown_by_extension", "README.MARKDOWN", "# Title", BookFormat::kMarkdown},
        DetectionCase{"unknown_tag_is_no_html", "x", "<notatag> hello", BookFormat::kPlainText},
        DetectionCase{"damaged_zip_by_extension", "x.docx", "PK\x03\x04garbage", BookFormat::kDocx},
        DetectionCase{"plain_text_by_default", "story", "Once upon a time", BookFormat::kPlainText},
        DetectionCase{"empty_file", "", "", BookFormat::kPlainText}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListFormats, NamesEveryFormatAndItsHelpers) {
  const ScratchFolder empty;
  const std::vector<FormatInfo> formats = ListFormats({.helper_path = empty.path().string()});
  ASSERT_EQ(formats.size(), 11u);
  EXPECT_EQ(formats[4].name, "EPUB");
  EXPECT_TRUE(formats[4].helpers.empty());
  EXPECT_TRUE(formats[4].Readable());
  const FormatInfo& docx = formats[6];
  EXPECT_EQ(docx.name, "DOCX");
  ASSERT_EQ(docx.helpers.size(), 2u);
  EXPECT_EQ(docx.helpers[0].package, "libreoffice-writer-nogui");
  EXPECT_EQ(docx.helpers[1].package, "pandoc");
  EXPECT_FALSE(docx.Readable());
  // The helpers this machine has.
  const std::vector<FormatInfo> installed = ListFormats();
  EXPECT_TRUE(installed[6].helpers[0].installed);
  EXPECT_TRUE(installed[8].Readable());
}

}  // namespace
}  // namespace quillet
