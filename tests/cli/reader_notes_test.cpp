// Books with footnotes and an endnote (tests/richtext/data/notes) in reader
// mode: each part ends with the notes cited in it, under the notes line, and
// every note stands once in the book, in the part that cites it.
#include "tests/cli/cli_fixture.h"

namespace {

using quillet::testing::Cli;
using quillet::testing::Outcome;
using quillet::testing::ReadAll;
namespace fs = std::filesystem;

struct NotesRow {
  const char* name;
  const char* file;
  int parts;
  bool endnote;
};

void PrintTo(const NotesRow& row, std::ostream* out) {
  *out << row.name;
}

// A note: its mark where it is cited, and words of its text.
struct CitedNote {
  std::string citation;
  std::vector<std::string> text;
};

std::vector<CitedNote> NotesOf(const NotesRow& row) {
  std::vector<CitedNote> notes = {
      {"<sup>1</sup>", {"1. Lighthouse logs were kept in ink, never in pencil."}},
      {"<sup>2</sup>", {"2. The desk was <i>oak</i>, older than the tower itself."}},
      {"<sup>3</sup>",
       {"3. The words were never read by anyone.", "A second paragraph of the same note"}},
      {"<sup>4</sup>", {"4. Noon was late for a keeper."}}};
  if (row.endnote) notes.push_back({"<sup>i</sup>", {"i. Written down from the keeper"}});
  return notes;
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

class ReaderNotes : public Cli, public testing::WithParamInterface<NotesRow> {};

TEST_P(ReaderNotes, EachPartEndsWithTheNotesItCites) {
  const NotesRow& row = GetParam();
  const std::string file = std::string(QUILLET_NOTES_DATA) + "/" + row.file;
  const Outcome outcome =
      Run("$Q book '" + file + "' --reader --parts " + std::to_string(row.parts) + " --out out");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  std::vector<std::string> pages;
  for (int part = 1; part <= row.parts; ++part) {
    pages.push_back(ReadAll(dir / "out" / ("Rerud0" + std::to_string(part) + ".html")));
    ASSERT_FALSE(pages.back().empty()) << "part " << part;
  }
  for (const CitedNote& note : NotesOf(row)) {
    std::size_t citing = 0;
    for (std::size_t part = 0; part < pages.size(); ++part) {
      const std::string& page = pages[part];
      const bool cites = page.find(note.citation) != std::string::npos;
      citing += cites ? 1 : 0;
      for (const std::string& text : note.text) {
        EXPECT_EQ(Occurrences(page, text), cites ? 1u : 0u) << text << " in part " << part + 1;
      }
      // The note comes after the text that cites it and after the notes line.
      if (cites) {
        const std::size_t line = page.find("<b>Notas / Notes</b>");
        EXPECT_LT(page.find(note.citation), line) << "part " << part + 1;
        EXPECT_LT(line, page.find(note.text.front())) << "part " << part + 1;
      }
    }
    EXPECT_EQ(citing, 1u) << note.citation;
  }
  for (std::size_t part = 0; part < pages.size(); ++part) {
    EXPECT_EQ(Occurrences(pages[part], "Notas / Notes"),
              pages[part].find("<sup>") != std::string::npos ? 1u : 0u)
        << "part " << part + 1;
  }
}

std::string RowName(const testing::TestParamInfo<NotesRow>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ReaderNotes,
    testing::Values(NotesRow{"PandocInTwo", "pandoc_notes.rtf", 2, false},
                    NotesRow{"PandocInFive", "pandoc_notes.rtf", 5, false},
                    NotesRow{"LibreOfficeFromOdtInTwo", "libreoffice_from_odt.rtf", 2, true},
                    NotesRow{"LibreOfficeFromOdtInFour", "libreoffice_from_odt.rtf", 4, true},
                    NotesRow{"LibreOfficeFromDocxInThree", "libreoffice_from_docx.rtf", 3, true},
                    NotesRow{"LibreOfficeFromDocxInSix", "libreoffice_from_docx.rtf", 6, true}),
    RowName);

}  // namespace
