// The same book in every format (see data/README.md), read and checked against
// the plain text that the tool which made each file writes of it, run for real.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "builder/messages.h"
#include "richtext/formats/book_formats.h"
#include "richtext/formats/helper_process.h"
#include "richtext/formats/html_reader.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_encoding.h"
#include "tests/formats/book_files.h"

namespace quillet {
namespace {

using testing::CompareWords;
using testing::Fixture;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WordMatch;
using testing::Words;

enum class Reference { kPandoc, kLibreOffice };

struct FixtureCase {
  const char* file;
  Reference reference;
  const char* pandoc_from;  // pandoc's reader for the file
  std::vector<std::u16string>
      title_page;  // words of an EPUB's title page, missing from pandoc's text
  bool colours;    // the format holds colours
};

void PrintTo(const FixtureCase& row, std::ostream* out) {
  *out << row.file;
}

std::string RunTool(const std::string& program, std::vector<std::string> arguments) {
  const std::optional<std::string> path = FindProgram(program, "");
  if (!path) throw std::runtime_error(program + " is not installed");
  const HelperOutcome outcome = RunHelper(
      {.program = *path, .arguments = std::move(arguments), .timeout = std::chrono::minutes(3)});
  if (outcome.end != HelperEnd::kExited || outcome.exit_code != 0) {
    throw std::runtime_error(program + " failed: " + outcome.output);
  }
  return outcome.output;
}

// The producing tool's plain text of a fixture, made once per test program.
std::u16string ReferenceText(const FixtureCase& row) {
  static const ScratchFolder folder;
  static std::map<std::string, std::u16string> made;
  const auto found = made.find(row.file);
  if (found != made.end()) return found->second;
  const std::filesystem::path source = std::filesystem::path(QUILLET_FORMATS_DATA) / row.file;
  const std::filesystem::path text = folder.path() / (std::string(row.file) + ".txt");
  if (row.reference == Reference::kPandoc) {
    RunTool("pandoc", {"--from", row.pandoc_from, "--to", "plain", "--wrap=none", "--output",
                       text.string(), source.string()});
  } else {
    // Copied under its own name, as LibreOffice names its output after its input.
    const std::filesystem::path copy = folder.path() / row.file;
    std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
    std::vector<std::string> arguments = {
        "--headless",
        "--norestore",
        "-env:UserInstallation=file://" + (folder.path() / "profile").string(),
        "--convert-to",
        "txt:Text (encoded):UTF8",
        "--outdir",
        (folder.path() / "lo").string(),
        copy.string()};
    if (copy.extension() == ".html")
      arguments.insert(arguments.begin(), "--infilter=HTML (StarWriter)");
    RunTool("soffice", std::move(arguments));
    std::filesystem::rename(folder.path() / "lo" / (copy.stem().string() + ".txt"), text);
  }
  return made[row.file] = FromUtf8Lossy(ReadBytes(text));
}

// Every word of the book as written, for telling the book's words from markup and metadata.
const std::set<std::u16string>& SourceWords() {
  static const std::set<std::u16string> words = [] {
    const std::vector<std::u16string> list =
        Words(ReadHtml(Fixture("source.html")).document.PlainText() + u" " +
              FromUtf8Lossy(Fixture("book.md")));
    return std::set<std::u16string>(list.begin(), list.end());
  }();
  return words;
}

// The format of the run that holds `needle`.
const CharFormat* RunWith(const Document& document, std::u16string_view needle) {
  for (const Paragraph& paragraph : document.paragraphs) {
    for (const quillet::RunView run : paragraph.Runs()) {
      if (run.text.find(needle) != std::u16string::npos) return &run.format;
    }
  }
  return nullptr;
}

const Paragraph* ParagraphWith(const Document& document, std::u16string_view needle) {
  for (const Paragraph& paragraph : document.paragraphs) {
    std::u16string text;
    for (const quillet::RunView run : paragraph.Runs()) text += run.text;
    if (text.find(needle) != std::u16string::npos) return &paragraph;
  }
  return nullptr;
}

class BookFixture : public ::testing::TestWithParam<FixtureCase> {
 protected:
  LoadResult Load() const { return LoadBook(GetParam().file, Fixture(GetParam().file)); }
};

TEST_P(BookFixture, KeepsTheToolsWordsInOrderAndNoMarkup) {
  const LoadResult result = Load();
  ASSERT_TRUE(result.ok()) << Message(result.status);
  const std::u16string text = result.document.PlainText();
  const WordMatch match = CompareWords(Words(ReferenceText(GetParam())), Words(text));
  RecordProperty("reference_words", static_cast<int>(match.reference));
  RecordProperty("kept_words", static_cast<int>(match.kept));
  EXPECT_GE(match.kept * 1000, match.reference * 995)
      << match.kept << " of " << match.reference << " words kept";
  for (const std::u16string& extra : match.extra) {
    const auto& allowed = GetParam().title_page;
    EXPECT_TRUE(SourceWords().contains(extra) ||
                std::find(allowed.begin(), allowed.end(), extra) != allowed.end())
        << "\"" << ToUtf8(extra) << "\" is no word of the book";
  }
  EXPECT_EQ(text.find_first_of(u"<>"), std::u16string::npos) << ToUtf8(text);
}

TEST_P(BookFixture, KeepsHeadingsBulletsAndCharacterFormats) {
  const Document document = Load().document;
  for (const char16_t* heading : {u"Chapter One: The Storm", u"Chapter Two: The Stranger"}) {
    const CharFormat* format = RunWith(document, heading);
    ASSERT_NE(format, nullptr) << ToUtf8(heading);
    EXPECT_TRUE(format->bold) << ToUtf8(heading);
    EXPECT_GT(format->size_half_points, kDefaultSizeHalfPoints) << ToUtf8(heading);
  }
  ASSERT_NE(RunWith(document, u"Tomás Ibáñez"), nullptr);
  EXPECT_TRUE(RunWith(document, u"Tomás Ibáñez")->bold);
  ASSERT_NE(RunWith(document, u"café con leche"), nullptr);
  EXPECT_TRUE(RunWith(document, u"café con leche")->italic);
  ASSERT_NE(RunWith(document, u"Eleni Papadaki"), nullptr);
  EXPECT_TRUE(RunWith(document, u"Eleni Papadaki")->bold);
  EXPECT_TRUE(RunWith(document, u"Eleni Papadaki")->italic);
  ASSERT_NE(ParagraphWith(document, u"Midnight: wind north"), nullptr);
  EXPECT_TRUE(ParagraphWith(document, u"Midnight: wind north")->bullet);
  EXPECT_NE(ParagraphWith(document, u"«Το πλοίο βυθίστηκε»"), nullptr);
  EXPECT_NE(ParagraphWith(document, u"“Not tonight,” Tomás muttered"), nullptr);
  if (GetParam().colours) {
    ASSERT_NE(RunWith(document, u"Santa Lucía"), nullptr);
    EXPECT_EQ(RunWith(document, u"Santa Lucía")->color, (Color{192, 0, 0}));
    ASSERT_NE(RunWith(document, u"Agios Nikolaos"), nullptr);
    EXPECT_EQ(RunWith(document, u"Agios Nikolaos")->color, (Color{0, 176, 80}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BookFixture,
    ::testing::Values(FixtureCase{"book.epub",
                                  Reference::kPandoc,
                                  "epub",
                                  {u"The", u"Keeper", u"of", u"Punta", u"Brava", u"Quillet",
                                   u"tests"},
                                  true},
                      FixtureCase{"book.fb2", Reference::kPandoc, "fb2", {}, false},
                      FixtureCase{"book.md", Reference::kPandoc, "gfm", {}, true},
                      FixtureCase{"source.html", Reference::kPandoc, "html", {}, true},
                      FixtureCase{"clipboard.html", Reference::kPandoc, "html", {}, true},
                      FixtureCase{"libreoffice.html", Reference::kLibreOffice, "", {}, true},
                      FixtureCase{"book.odt", Reference::kLibreOffice, "", {}, true},
                      FixtureCase{"book.docx", Reference::kLibreOffice, "", {}, true},
                      FixtureCase{"book.doc", Reference::kLibreOffice, "", {}, true}),
    [](const auto& info) {
      std::string name = info.param.file;
      std::replace(name.begin(), name.end(), '.', '_');
      return name;
    });

// Qt 6.4's HTML import (QTextDocument::setHtml, through builder/qt_document_bridge),
// measured on these files before our reader replaced it: 452 words each. It drops
// the alt text of the picture and the numbers of the numbered list.
TEST(HtmlFixtures, KeepAtLeastTheWordsQtsImportKept) {
  constexpr std::size_t kQtWords = 452;
  for (const char* file : {"source.html", "clipboard.html", "libreoffice.html"}) {
    const LoadResult result = LoadBook(file, Fixture(file));
    EXPECT_GE(Words(result.document.PlainText()).size(), kQtWords) << file;
  }
}

// The same book as HTML and as the RTF LibreOffice makes of that HTML reads the
// same, but for the font faces the RTF names.
TEST(HtmlFixtures, ReadAsTheRtfAWordProcessorMakesOfThem) {
  const std::string data = std::string(QUILLET_FORMATS_DATA) + "/../../richtext/data/";
  Document html = ReadHtml(ReadBytes(data + "libreoffice_source.html")).document;
  Document rtf = ReadRtf(ReadBytes(data + "libreoffice_from_html.rtf"));
  for (Document* document : {&html, &rtf}) {
    for (Paragraph& paragraph : document->paragraphs) {
      for (std::size_t run = 0; run < paragraph.Runs().size(); ++run) {
        paragraph.FormatOf(run).font.clear();
      }
    }
  }
  EXPECT_EQ(html, rtf) << ToUtf8(html.PlainText()) << "\n---\n" << ToUtf8(rtf.PlainText());
}

}  // namespace
}  // namespace quillet
