// Paragraphs as they end: the list marker in front of them, the document or
// note they go to, and the table cells and rows that end inside them.
#include <algorithm>

#include "richtext/rtf_reader_impl.h"

namespace quillet::rtf {

void Reader::OpenParagraph::Reset() {
  paragraph.Clear();
  length = 0;
  run_text.clear();
  marker = Marker::kNone;
  list_word_first = false;
  list = {};
  pending_cells = 0;
  cell_line_break = false;
  references.clear();
  role = NoteRole::kNone;
  role_mark.clear();
}

void Reader::EndParagraph(bool at_par) {
  FlushBytes();
  FlushRun();
  const GroupState& s = state();
  Paragraph& paragraph = open_.paragraph;
  bool in_list = paragraph.bullet;
  ListProperties list = open_.list;
  if (at_par) {
    paragraph.alignment = s.alignment;
    in_list = s.in_list;
    list = s.List();
  }
  PutListMarker(in_list, list);
  // pandoc writes a list item as its own "•" (nested: "–") and a tab in front of the text.
  if (!paragraph.bullet && open_.list_word_first && !paragraph.Runs().empty() &&
      (paragraph.Runs().front().text.starts_with(u"\u2022\t") ||
       paragraph.Runs().front().text.starts_with(u"\u2013\t"))) {
    paragraph.bullet = true;
    paragraph.EraseFront(2);
    if (paragraph.Runs().front().text.empty()) paragraph.PopFront();
    for (PendingReference& reference : open_.references) {
      reference.offset -= std::min<std::size_t>(reference.offset, 2);
    }
  }
  PushParagraph();
}

// The paragraph, finished, goes to the document or the note being read, with
// what is known of the notes cited in it.
void Reader::PushParagraph() {
  std::vector<Paragraph>& target = Target();
  const std::size_t index = target.size();
  if (&target == &document_.paragraphs) {
    for (const PendingReference& reference : open_.references) {
      if (reference.own) {
        own_notes_.AddReference(reference.note, index, reference.offset);
      } else {
        notes_[reference.note].reference_paragraph = index;
        notes_[reference.note].reference_offset = reference.offset;
      }
    }
    if (open_.role != NoteRole::kNone) {
      own_notes_.AddRole(index, open_.role, open_.role_kind, std::move(open_.role_mark));
    }
  }
  // A copy is of its own size; the grown buffers stay for the next paragraph,
  // which then needs no reallocation as its text comes.
  target.push_back(open_.paragraph);
  open_.Reset();
}

void Reader::FinishListMarker() {
  FlushBytes();
  const bool blank = std::all_of(marker_text_.begin(), marker_text_.end(),
                                 [](char16_t c) { return c == u' ' || c == u'\t'; });
  if (blank) {
    // An empty list text shows nothing; the list table tells what the paragraph is.
    open_.marker = Marker::kNone;
  } else if (IsNumberMarker(marker_text_)) {
    open_.marker = Marker::kNumber;
    Emit(marker_text_);  // a number stays text: the model knows bullets only
  } else {
    open_.marker = Marker::kBullet;
  }
  marker_text_.clear();
}

// A list text read from the document wins; without one, the list table or the
// old-style numbering gives a number, a bullet or nothing; an \ls the list
// table does not define, and \pnlvlblt, a bullet.
void Reader::PutListMarker(bool in_list, const ListProperties& list) {
  const ListMarker generated = lists_.Next(list);  // counted even when a list text shows it
  Paragraph& paragraph = open_.paragraph;
  if (open_.marker != Marker::kNone) {
    paragraph.bullet = open_.marker == Marker::kBullet;
    return;
  }
  switch (generated.kind) {
    case ListMarker::Kind::kNumber:
      paragraph.bullet = false;
      PrependNumber(generated.text);
      break;
    case ListMarker::Kind::kBullet:
      paragraph.bullet = true;
      break;
    case ListMarker::Kind::kNone:
      paragraph.bullet = false;
      break;
    case ListMarker::Kind::kUnknown:
      paragraph.bullet = in_list;
      break;
  }
}

// The number goes in front of the paragraph's text, in the format of that text.
void Reader::PrependNumber(const std::u16string& number) {
  Paragraph& paragraph = open_.paragraph;
  if (paragraph.Runs().empty()) {
    paragraph.Append(number, fonts_.ToCharFormat(TextFormat{}));
  } else {
    paragraph.InsertFront(number);
  }
  open_.length += number.size();
  for (PendingReference& reference : open_.references) reference.offset += number.size();
}

void Reader::ParagraphMark(const WordCall&) {
  if (state().destination != Destination::kText) return;
  if (state().in_table) {
    open_.cell_line_break = true;
  } else {
    EndParagraph(true);
  }
}

void Reader::PageBreak(const WordCall&) {
  if (state().destination == Destination::kText && ParagraphHasContent()) EndParagraph(true);
}

// A table row becomes one paragraph, its cells separated by tabs.
void Reader::EndCell(const WordCall&) {
  if (state().destination == Destination::kText) ++open_.pending_cells;
  open_.cell_line_break = false;
}

void Reader::EndRow(const WordCall&) {
  if (state().destination == Destination::kText) EndParagraph(true);
}

void Reader::SetInTable(const WordCall&) {
  state().in_table = true;
}

void Reader::InsertCharacter(const WordCall& call) {
  EmitCharacter(static_cast<char16_t>(call.argument));
}

// pandoc marks list items with a "\bullet" or "\endash" word and a tab at
// the start of the paragraph; the same characters typed as text stay text.
void Reader::ListWordCharacter(const WordCall& call) {
  if (!ParagraphHasContent() && bytes_.empty()) open_.list_word_first = true;
  InsertCharacter(call);
}

void Reader::StartListMarker(const WordCall&) {
  if (state().destination != Destination::kText) return;
  state().destination = Destination::kListMarker;
  marker_text_.clear();
}

}  // namespace quillet::rtf
