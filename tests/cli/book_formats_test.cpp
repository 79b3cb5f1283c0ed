// Every book format through every command that reads a book: the fixtures of
// the formats library, each read by `book`, `preview`, `rtf` and `text`.
#include "tests/cli/cli_fixture.h"

namespace {

using quillet::testing::Cli;
using quillet::testing::Outcome;

struct FormatBook {
  const char* name;  // the row's name
  const char* file;  // in the formats library's fixture folder
};

void PrintTo(const FormatBook& row, std::ostream* out) {
  *out << row.name;
}

class EveryCommand : public Cli, public testing::WithParamInterface<FormatBook> {
 protected:
  std::string Path() const { return std::string(QUILLET_FORMATS_DATA) + "/" + GetParam().file; }
};

TEST_P(EveryCommand, ReadsTheBooksWordsAndFormatting) {
  const std::string book = "'" + Path() + "'";
  const Outcome text = Run("$Q text " + book);
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Chapter One: The Storm"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Tomás Ibáñez"), std::string::npos) << text.out;

  const Outcome rtf = Run("$Q rtf " + book);
  ASSERT_EQ(rtf.status, 0) << rtf.err;
  EXPECT_NE(rtf.out.find("\\b"), std::string::npos);

  const Outcome pages = Run("$Q book " + book + " --parts 2 --out out && cat out/Rerud01.html");
  ASSERT_EQ(pages.status, 0) << pages.err;
  EXPECT_NE(pages.out.find("Chapter One"), std::string::npos);
  EXPECT_NE(pages.out.find("<b>"), std::string::npos);

  const Outcome preview = Run("$Q preview " + book + " && cat tmp/quillettemp.html");
  ASSERT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find("Punta Brava"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EveryCommand,
    testing::Values(FormatBook{"Epub", "book.epub"}, FormatBook{"Fb2", "book.fb2"},
                    FormatBook{"Markdown", "book.md"}, FormatBook{"Html", "source.html"},
                    FormatBook{"Docx", "book.docx"}, FormatBook{"Odt", "book.odt"},
                    FormatBook{"Doc", "book.doc"}),
    [](const auto& info) { return std::string(info.param.name); });

// A format library is loaded by the books that need it, and only by them.
struct FormatLibraries {
  const char* name;
  const char* file;  // in the formats library's fixture folder; "" for the test's own RTF
  std::vector<std::string> loaded;
  std::vector<std::string> notLoaded;
};

void PrintTo(const FormatLibraries& row, std::ostream* out) {
  *out << row.name;
}

class LibrariesOnDemand : public Cli, public testing::WithParamInterface<FormatLibraries> {};

TEST_P(LibrariesOnDemand, LoadsOnlyTheLibrariesOfTheBooksFormat) {
  const FormatLibraries& row = GetParam();
  const std::string book = *row.file == '\0'
                               ? "book.rtf"
                               : "'" + std::string(QUILLET_FORMATS_DATA) + "/" + row.file + "'";
  // The loader names every library it maps as "file=NAME".
  const Outcome text = Run("LD_DEBUG=files $Q text " + book);
  ASSERT_EQ(text.status, 0) << text.err;
  for (const std::string& library : row.loaded) {
    EXPECT_NE(text.err.find("file=" + library), std::string::npos) << library;
  }
  for (const std::string& library : row.notLoaded) {
    EXPECT_EQ(text.err.find("file=" + library), std::string::npos) << library;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LibrariesOnDemand,
    testing::Values(
        FormatLibraries{"Rtf", "", {}, {"libxml2", "libzip", "libcmark-gfm", "libcrypto"}},
        FormatLibraries{"Epub", "book.epub", {"libxml2", "libzip"}, {"libcmark-gfm"}},
        FormatLibraries{"Fb2", "book.fb2", {"libxml2"}, {"libzip", "libcmark-gfm"}},
        FormatLibraries{"Markdown", "book.md", {"libcmark-gfm"}, {"libxml2", "libzip"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
