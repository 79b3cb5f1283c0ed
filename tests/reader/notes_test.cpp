// Parts that end with the notes they cite: the notes come apart from the text
// in the one conversion of the book, count against the page budget, and each
// note stands in the part that cites it, once.
#include "richtext/notes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder/messages.h"
#include "builder/reader/book_body.h"
#include "builder/reader/reader_book.h"
#include "converter/converter.h"
#include "richtext/rtf_writer.h"
#include "tests/reader/reader_support.h"

namespace quillet::reader {
namespace {

using testing::Names;

constexpr std::string_view kOptions = "+H+G+F=3";

// Paragraphs that each cite one note, given as the notes section's notes.
Document BookWithNotes(const std::vector<std::u16string>& paragraphs,
                       const std::vector<std::u16string>& notes) {
  Document document;
  CharFormat super;
  super.vertical = VerticalPosition::kSuperscript;
  std::vector<FoundNote> found;
  for (std::size_t at = 0; at < paragraphs.size(); ++at) {
    Paragraph& paragraph = document.paragraphs.emplace_back();
    AppendText(paragraph, paragraphs[at], CharFormat{});
    if (at >= notes.size()) continue;
    const std::u16string mark(1, static_cast<char16_t>(u'1' + at % 9));
    const std::size_t offset = paragraph.Length();
    AppendText(paragraph, mark, super);
    AppendText(paragraph, u" And goes on.", CharFormat{});
    FoundNote note{NoteKind::kFootnote, mark, at, offset, {}};
    AppendText(note.paragraphs.emplace_back(), notes[at], CharFormat{});
    found.push_back(std::move(note));
  }
  AppendNotes(document, std::move(found));
  return document;
}

BookBody Converted(const Document& document) {
  Converter converter;
  return ConvertBook(converter, WriteRtf(document), kOptions, kBodyFontSize);
}

TEST(BookNotesTest, NotesComeApartFromTheTextWithEveryCitation) {
  const Document document =
      BookWithNotes({u"One.", u"Two.", u"Three, no note."}, {u"First note.", u"Second note."});
  const BookBody book = Converted(document);
  ASSERT_TRUE(book.notes.has_value());
  const BookNotes& notes = *book.notes;
  EXPECT_NE(notes.heading.find("Notas / Notes"), std::string::npos);
  ASSERT_EQ(notes.notes.size(), 2u);
  EXPECT_NE(notes.notes[0].find("First note."), std::string::npos);
  EXPECT_NE(notes.notes[1].find("Second note."), std::string::npos);
  EXPECT_EQ(notes.notes[0].find("Second"), std::string::npos);
  EXPECT_EQ(notes.cited, (std::vector<std::size_t>{0, 1}));
  ASSERT_EQ(notes.places.size(), 2u);
  // Each citation stands right after the text it follows.
  EXPECT_EQ(book.body.html.substr(0, notes.places[0]), "One.");
  EXPECT_NE(book.body.html.find("Three, no note."), std::string::npos);
  EXPECT_EQ(book.body.html.find("Notas"), std::string::npos);
  EXPECT_EQ(book.body.html.find("First note."), std::string::npos);
  // The body ends with its last text: the notes section's line break is not its.
  EXPECT_TRUE(book.body.html.ends_with("Three, no note.")) << book.body.html;
}

// Text after the notes section belongs to no part's notes: the book is then
// cut as one text, so that none of it is lost.
TEST(BookNotesTest, TextAfterTheNotesSectionKeepsTheBookWhole) {
  Document document = BookWithNotes({u"One."}, {u"First note."});
  AppendText(document.paragraphs.emplace_back(), u"After the notes.", CharFormat{});
  ASSERT_TRUE(NotesFit(document));
  const BookBody book = Converted(document);
  EXPECT_FALSE(book.notes.has_value());
  EXPECT_NE(book.body.html.find("First note."), std::string::npos);
  EXPECT_NE(book.body.html.find("After the notes."), std::string::npos);
}

TEST(BookNotesTest, BookWithoutNotesIsOneText) {
  const BookBody book = Converted(BookWithNotes({u"No notes here."}, {}));
  EXPECT_FALSE(book.notes.has_value());
  EXPECT_EQ(book.body.html, "No notes here.");
}

TEST(BookNotesTest, NotesCountAgainstTheBudgetAndStayWithTheirCitation) {
  constexpr int kNotes = 60;
  std::vector<std::u16string> paragraphs;
  std::vector<std::u16string> notes;
  for (int note = 1; note <= kNotes; ++note) {
    std::u16string number;
    for (char c : std::to_string(note)) number += static_cast<char16_t>(c);
    paragraphs.push_back(u"Paragraph " + number + u" says something worth a note.");
    notes.push_back(u"Note " + number + u": " + std::u16string(300, u'n') + u" end of note " +
                    number + u".");
  }
  ReaderOptions options = ReaderOptions::All();
  options.maxKb = 4;
  const ReaderResult result =
      MakeReaderBook(Converted(BookWithNotes(paragraphs, notes)), Names(), options);
  ASSERT_EQ(Message(result.status), "");
  const std::vector<std::string>& parts = result.value.parts;
  EXPECT_GT(parts.size(), 5u);
  for (int note = 1; note <= kNotes; ++note) {
    const std::string citation = "Paragraph " + std::to_string(note) + " says";
    const std::string text = " end of note " + std::to_string(note) + ".";
    int found = 0;
    for (const std::string& page : parts) {
      const bool cites = page.find(citation) != std::string::npos;
      EXPECT_EQ(page.find(text) != std::string::npos, cites) << note;
      found += cites ? 1 : 0;
    }
    EXPECT_EQ(found, 1) << note;
  }
  for (const std::string& page : parts) EXPECT_LE(page.size(), 4096u);
}

}  // namespace
}  // namespace quillet::reader
