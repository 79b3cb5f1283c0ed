// Note references and note texts in HTML and EPUB come out in the shape the
// RTF reader gives notes: the mark raised in the text, the notes gathered at
// the end.
#include <gtest/gtest.h>

#include "book_files.h"
#include "builder/messages.h"
#include "richtext/formats/book_formats.h"
#include "richtext/formats/epub_reader.h"
#include "richtext/formats/html_reader.h"
#include "richtext/rtf_reader.h"
#include "richtext/text_encoding.h"

namespace quillet {
namespace {

using testing::Chapter;
using testing::EpubEntries;
using testing::Fixture;
using testing::MakeZip;

struct HtmlNotesCase {
  const char* name;
  std::string html;
  std::u16string text;
  std::size_t notes;
};

void PrintTo(const HtmlNotesCase& row, std::ostream* out) {
  *out << row.name;
}

class HtmlNotes : public ::testing::TestWithParam<HtmlNotesCase> {};

TEST_P(HtmlNotes, GatherAtTheEnd) {
  const Document document = ReadHtml(GetParam().html).document;
  EXPECT_EQ(ToUtf8(document.PlainText()), ToUtf8(GetParam().text));
  EXPECT_EQ(document.notes.size(), GetParam().notes);
  EXPECT_TRUE(NotesFit(document));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlNotes,
    ::testing::Values(
        HtmlNotesCase{"pandoc",
                      "<p>a<a href='#fn1' class='footnote-ref' id='fnref1' "
                      "role='doc-noteref'><sup>1</sup></a> b</p><section class='footnotes' "
                      "role='doc-endnotes'><hr /><ol><li id='fn1' role='doc-endnote'><p>Note.<a "
                      "href='#fnref1' class='footnote-back' "
                      "role='doc-backlink'>\u21a9\ufe0e</a></p></li></ol></section>",
                      u"a1 b\nNotas / Notes\n1. Note.", 1},
        HtmlNotesCase{"epub_aside_with_its_own_mark_and_a_link_back",
                      "<p>a<a id='r1' epub:type='noteref' href='#n1'>*</a>.</p><aside "
                      "epub:type='footnote' id='n1'><p><a href='#r1'>*</a> Aside note.</p></aside>",
                      u"a*.\nNotas / Notes\n* Aside note.", 1},
        HtmlNotesCase{"endnotes_after_footnotes",
                      "<p>a<a role='doc-noteref' href='#e'>i</a>b<a role='doc-noteref' "
                      "href='#f'>1</a></p><aside epub:type='rearnote' id='e'>End</aside><aside "
                      "id='f'>Foot</aside>",
                      u"aib1\nNotas / Notes\n1. Foot\ni. End", 2},
        HtmlNotesCase{"cmark_gfm",
                      "<p>x<sup class='footnote-ref'><a href='#fn-1' id='fnref-1' "
                      "data-footnote-ref>1</a></sup></p><section class='footnotes' "
                      "data-footnotes><ol><li id='fn-1'><p>Gfm. <a href='#fnref-1' "
                      "class='footnote-backref' data-footnote-backref>\u21a9</a></p></li></ol>"
                      "</section>",
                      u"x1\nNotas / Notes\n1. Gfm.", 1},
        HtmlNotesCase{"note_in_a_table_cell",
                      "<table><tr><td>A<a role='doc-noteref' href='#f'>1</a></td><td>B</td></tr>"
                      "</table><aside id='f'>N</aside>",
                      u"A1\tB\nNotas / Notes\n1. N", 1},
        HtmlNotesCase{"link_to_a_heading_is_no_note",
                      "<p><a href='#two'>Two</a></p><h2 id='two'>Two</h2>", u"Two\nTwo", 0},
        HtmlNotesCase{"note_text_before_its_reference_stays_where_it_is",
                      "<aside id='f'>Early</aside><p>a<a role='doc-noteref' href='#f'>1</a></p>",
                      u"Early\na1", 0},
        HtmlNotesCase{"reference_to_nothing_keeps_its_mark",
                      "<p>a<a role='doc-noteref' href='#gone'>1</a></p>", u"a1", 0}),
    ::testing::PrintToStringParamName());

TEST(HtmlNotes, MarkIsRaisedWhereverItWasWritten) {
  const Document document =
      ReadHtml("<p>a<a epub:type='noteref' href='#n'>7</a></p><aside id='n'>x</aside>").document;
  ASSERT_EQ(document.notes.size(), 1u);
  const Note& note = document.notes.front();
  EXPECT_EQ(note.mark, u"7");
  EXPECT_EQ(note.reference_offset, 1u);
  EXPECT_EQ(document.paragraphs[0].Runs().at(1).text, u"7");
  EXPECT_EQ(document.paragraphs[0].Runs().at(1).format.vertical, VerticalPosition::kSuperscript);
}

TEST(HtmlNotes, ReadFiftyThousandNotesOnce) {
  std::string html = "<p>";
  std::string notes;
  for (int i = 0; i < 50000; ++i) {
    const std::string id = std::to_string(i);
    html += "w<a role='doc-noteref' href='#n" + id + "'>" + id + "</a>";
    notes += "<aside id='n" + id + "'>note " + id + "</aside>";
  }
  const Document document = ReadHtml(html + "</p>" + notes).document;
  ASSERT_EQ(document.notes.size(), 50000u);
  EXPECT_EQ(document.notes.back().mark, u"49999");
  EXPECT_EQ(document.paragraphs.back().Runs().front().text, u"49999. note 49999");
  EXPECT_TRUE(NotesFit(document));
}

TEST(EpubNotes, EveryChaptersNotesEndTheBook) {
  const LoadResult result = ReadEpub(
      MakeZip(EpubEntries(
          {Chapter("<p>one<a role='doc-noteref' href='#a'>1</a></p><aside id='a'>First</aside>"),
           Chapter(
               "<p>two<a role='doc-noteref' href='#a'>1</a></p><aside id='a'>Second</aside>")})),
      {});
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_EQ(result.document.PlainText(), u"one1\ntwo1\nNotas / Notes\n1. First\n1. Second");
  ASSERT_EQ(result.document.notes.size(), 2u);
  EXPECT_EQ(result.document.notes[1].reference_paragraph, 1u);
  EXPECT_TRUE(NotesFit(result.document));
}

// pandoc's HTML and EPUB of the book read as the RTF pandoc makes of it does,
// notes and all (the EPUB has its title page in front).
TEST(NotesFixtures, HtmlAndEpubReadAsPandocsRtf) {
  const std::string rtf_data =
      std::string(QUILLET_FORMATS_DATA) + "/../../richtext/data/notes/pandoc_notes.rtf";
  const Document rtf = ReadRtf(testing::ReadBytes(rtf_data));
  const LoadResult html = LoadBook("notes_book.html", Fixture("notes/notes_book.html"));
  const LoadResult epub = LoadBook("notes_book.epub", Fixture("notes/notes_book.epub"));
  ASSERT_TRUE(html.ok() && epub.ok()) << Message(html.status) << Message(epub.status);
  EXPECT_EQ(ToUtf8(html.document.PlainText()), ToUtf8(rtf.PlainText()));
  EXPECT_EQ(ToUtf8(epub.document.PlainText()),
            "The Lighthouse Keeper's Notes\nQuillet tests\n" + ToUtf8(rtf.PlainText()));
  for (const Document* document : {&html.document, &epub.document}) {
    ASSERT_EQ(document->notes.size(), rtf.notes.size());
    for (std::size_t i = 0; i < rtf.notes.size(); ++i) {
      EXPECT_EQ(document->notes[i].mark, rtf.notes[i].mark);
      EXPECT_EQ(document->notes[i].paragraph_count, rtf.notes[i].paragraph_count);
    }
  }
}

}  // namespace
}  // namespace quillet
