// Parts that end with the notes they cite: the notes count against the page
// budget, and each note stands in the part that cites it, once.
#include <gtest/gtest.h>

#include <string>

#include "builder/reader/balancer.h"
#include "builder/reader/reader_book.h"
#include "builder/reader/reader_notes.h"
#include "tests/reader/reader_support.h"

namespace quillet::reader {
namespace {

using testing::Names;

constexpr int kNotes = 60;

// Paragraphs of text that each cite one note, and a section of long notes.
BookNotes LongNotes(std::string& body) {
  BookNotes notes;
  notes.section = "<b>Notas / Notes</b><br>";
  for (int note = 0; note < kNotes; ++note) {
    const std::string number = std::to_string(note + 1);
    body += "Paragraph " + number + " says something worth a note." + std::string(kNoteAnchor) +
            "<sup>" + number + "</sup> And goes on a little.<br>";
    notes.section += std::string(kNoteAnchor) + "Note " + number + ": " + std::string(300, 'n') +
                     " end of note " + number + ".<br>";
    notes.cited.push_back(static_cast<std::size_t>(note));
  }
  return notes;
}

TEST(ReaderNotesTest, NotesCountAgainstTheBudgetAndStayWithTheirCitation) {
  std::string body;
  const BookNotes notes = LongNotes(body);
  ReaderOptions options = ReaderOptions::All();
  options.maxKb = 4;
  const ReaderResult result = MakeReaderBook(body, Names(), options, &notes);
  ASSERT_EQ(result.error, "");
  const std::vector<std::string>& parts = result.book.parts;
  EXPECT_GT(parts.size(), 5u);
  for (int note = 1; note <= kNotes; ++note) {
    const std::string citation = "<sup>" + std::to_string(note) + "</sup>";
    const std::string text = " end of note " + std::to_string(note) + ".";
    int found = 0;
    for (const std::string& page : parts) {
      const bool cites = page.find(citation) != std::string::npos;
      EXPECT_EQ(page.find(text) != std::string::npos, cites) << note;
      found += cites ? 1 : 0;
    }
    EXPECT_EQ(found, 1) << note;
  }
  for (const std::string& page : parts) {
    EXPECT_LE(page.size(), 4096u);
    EXPECT_EQ(page.find(kNoteAnchor), std::string::npos);
  }
}

// A paragraph that cites several notes, the last at its very end.
TEST(ReaderNotesTest, SplitPutsAnAnchorBeforeEachCitationAndEachNote) {
  Document document;
  CharFormat plain;
  CharFormat super;
  super.vertical = VerticalPosition::kSuperscript;
  Paragraph& text = document.paragraphs.emplace_back();
  AppendText(text, u"One", plain);
  AppendText(text, u"1", super);
  AppendText(text, u" two", plain);
  AppendText(text, u"2", super);
  for (const char16_t* line : {u"Notas / Notes", u"1. First.", u"2. Second."}) {
    AppendText(document.paragraphs.emplace_back(), line, plain);
  }
  document.notes = {{NoteKind::kFootnote, u"1", 0, 3, 2, 1},
                    {NoteKind::kFootnote, u"2", 0, 8, 3, 1}};
  const std::optional<SplitBook> split = SplitNotes(document);
  ASSERT_TRUE(split.has_value());
  EXPECT_EQ(split->text.PlainText(), u"One\uFDD01 two\uFDD02");
  // Each anchor takes the format of what it stands before: no tag of its own.
  EXPECT_EQ(split->text.paragraphs[0].Runs().size(), 4u);
  EXPECT_EQ(split->section.PlainText(), u"Notas / Notes\n\uFDD01. First.\n\uFDD02. Second.");
  EXPECT_EQ(split->cited, (std::vector<std::size_t>{0, 1}));
}

// Text after the notes section belongs to no part's notes: the book is then
// cut as one text, so that none of it is lost.
TEST(ReaderNotesTest, TextAfterTheNotesSectionKeepsTheBookWhole) {
  Document document;
  for (const char16_t* line : {u"One1", u"Notas / Notes", u"1. First.", u"After the notes."}) {
    AppendText(document.paragraphs.emplace_back(), line, CharFormat{});
  }
  document.notes = {{NoteKind::kFootnote, u"1", 0, 3, 2, 1}};
  ASSERT_TRUE(NotesFit(document));
  EXPECT_FALSE(SplitNotes(document).has_value());
}

TEST(ReaderNotesTest, DocumentWithoutNotesIsNotSplit) {
  Document document;
  AppendText(document.paragraphs.emplace_back(), u"No notes here.", CharFormat{});
  EXPECT_FALSE(SplitNotes(document).has_value());
}

}  // namespace
}  // namespace quillet::reader
