// Books with footnotes, an endnote, a text box and lists numbered by the
// reader (tests/richtext/data/notes), through `quillet text`, `quillet rtf`
// and `quillet book`, whose pages are read back by headless Chromium.
#include <regex>

#include "cli_fixture.h"

namespace {

using quillet::testing::Cli;
using quillet::testing::Outcome;
using quillet::testing::ReadAll;

struct NotesBook {
  const char* name;
  const char* file;
  bool box_and_endnote;
};

void PrintTo(const NotesBook& row, std::ostream* out) {
  *out << row.name;
}

// What the book shows, in its order: the references in the text, then the
// notes section. Every item must appear once, after the one before it.
std::vector<std::string> Items(const NotesBook& book, const std::string& mark_before,
                               const std::string& mark_after) {
  const auto mark = [&](const std::string& number) { return mark_before + number + mark_after; };
  std::vector<std::string> items = {"every night." + mark("1") + " Nobody",
                                    "the window." + mark("2"),
                                    "in the margin." + mark("3") + " Then",
                                    "until noon." + mark("4"),
                                    "Notas / Notes",
                                    "1. Lighthouse logs were kept in ink, never in pencil.",
                                    "2. The desk was ",
                                    "older than the tower itself.",
                                    "3. The words were never read by anyone.",
                                    "A second paragraph of the same note, in ",
                                    "4. Noon was late for a keeper."};
  if (book.box_and_endnote) {
    items.insert(items.begin() + 2, "Boxed: the tide tables for ");
    items.insert(items.begin() + 5, "The end." + mark("i"));
    items.push_back("i. Written down from the keeper");
  }
  return items;
}

void ExpectOnceInOrder(const std::string& text, const std::vector<std::string>& items) {
  std::size_t after = 0;
  for (const std::string& item : items) {
    const std::size_t at = text.find(item);
    ASSERT_NE(at, std::string::npos) << "\"" << item << "\" missing from\n" << text;
    EXPECT_EQ(text.find(item, at + 1), std::string::npos) << "\"" << item << "\" twice";
    EXPECT_GE(at, after) << "\"" << item << "\" out of order in\n" << text;
    after = at + item.size();
  }
}

class NotesBookFile : public Cli, public testing::WithParamInterface<NotesBook> {
 protected:
  std::string Path() const { return std::string(QUILLET_NOTES_DATA) + "/" + GetParam().file; }
  std::string BrowserText(const std::vector<std::string>& pages) const;
};

TEST_P(NotesBookFile, TextShowsEveryMarkAndNoteOnceInOrder) {
  const Outcome text = Run("\"$Q\" text '" + Path() + "'");
  ASSERT_EQ(text.status, 0) << text.err;
  ExpectOnceInOrder(text.out, Items(GetParam(), "", ""));
}

TEST_P(NotesBookFile, RtfOfTheBoxReadsBackAsTheSameText) {
  const Outcome first = Run("\"$Q\" rtf '" + Path() + "' > again.rtf && \"$Q\" text again.rtf");
  const Outcome text = Run("\"$Q\" text '" + Path() + "'");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, text.out);
}

// The visible text of the pages in order, as the browser parsed them, a line
// per line break; the line ends after each page's text are no text.
std::string NotesBookFile::BrowserText(const std::vector<std::string>& pages) const {
  std::string text;
  for (const std::string& page : pages) {
    // Chromium's socket path must be short: its profile goes in a folder of its own under /tmp.
    const Outcome dom = Run(
        "profile=$(mktemp -d /tmp/quillet-chromium.XXXXXX) && TMPDIR=$profile chromium "
        "--headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking "
        "--disable-component-update --disable-sync --user-data-dir=$profile --dump-dom 'file://" +
        (dir / "out" / page).string() +
        "' 2>/dev/null; status=$?; rm -rf \"$profile\"; exit $status");
    EXPECT_EQ(dom.status, 0) << page << dom.err;
    const std::size_t body = dom.out.find("<body>");
    std::string html = dom.out.substr(body == std::string::npos ? 0 : body);
    html = std::regex_replace(html, std::regex("<br>"), "\n");
    html = std::regex_replace(html, std::regex("<[^>]*>"), "");
    while (!html.empty() && (html.back() == '\n' || html.back() == '\r')) html.pop_back();
    text += html;
  }
  return text;
}

TEST_P(NotesBookFile, PagesShowEveryMarkRaisedAndEveryNoteOnceInOrder) {
  if (Run("command -v chromium").status != 0) GTEST_SKIP() << "chromium is not installed";
  const Outcome book = Run("\"$Q\" book '" + Path() + "' --parts 3 --out out");
  ASSERT_EQ(book.status, 0) << book.err;
  const std::vector<std::string> pages = {"Rerud01.html", "Rerud02.html", "Rerud03.html"};
  std::string html;
  for (const std::string& page : pages) html += ReadAll(dir / "out" / page);
  for (const char* mark : {"<sup>1</sup>", "<sup>2</sup>", "<sup>3</sup>", "<sup>4</sup>"}) {
    EXPECT_NE(html.find(mark), std::string::npos) << mark;
  }
  ExpectOnceInOrder(BrowserText(pages), Items(GetParam(), "", ""));
}

INSTANTIATE_TEST_SUITE_P(
    Books, NotesBookFile,
    testing::Values(NotesBook{"pandoc", "pandoc_notes.rtf", false},
                    NotesBook{"libreoffice_from_odt", "libreoffice_from_odt.rtf", true},
                    NotesBook{"libreoffice_from_docx", "libreoffice_from_docx.rtf", true},
                    NotesBook{"without_list_text", "libreoffice_from_docx_without_list_text.rtf",
                              true}),
    testing::PrintToStringParamName());

TEST_F(Cli, ListNumbersLeftToTheReaderCountAsTheListTableSays) {
  const Outcome text = Run("\"$Q\" text '" + std::string(QUILLET_NOTES_DATA) +
                           "/libreoffice_from_docx_without_list_text.rtf'");
  ASSERT_EQ(text.status, 0) << text.err;
  ExpectOnceInOrder(text.out, {"\n1.\tThe Santa", "\n2.\tThe Agios", "\n3.\tA grey",
                               "Interlude.\n1.\tRestarted one.", "\n2.\tRestarted two.",
                               "Interlude two.\n3.\tContinued three."});
}

}  // namespace
