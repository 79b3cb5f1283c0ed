// Footnotes and text boxes interrupt the paragraph being built with paragraphs
// of their own (a flow): a note's go to the note, a box's in front of the
// paragraph that anchors it. Notes read from the text are numbered here, or
// keep a mark of their own; our own note groups describe the notes section of
// a document we wrote.
#include "richtext/rtf_notes.h"

#include <algorithm>
#include <cstdint>

#include "richtext/ascii.h"
#include "richtext/rtf_reader_impl.h"

namespace quillet::rtf {

namespace {

constexpr std::size_t kUncited = SIZE_MAX;

// A letter of a word: no Unicode tables in the standard library, so beyond
// ASCII everything but Latin-1's signs and the punctuation and symbol blocks
// (U+2000 to U+2BFF) counts as one.
constexpr bool IsWordLetter(char16_t c) {
  if (c < 0x80) return IsAsciiLetter(static_cast<char>(c));
  return c >= 0xC0 && c != 0xD7 && c != 0xF7 && (c < 0x2000 || c > 0x2BFF);
}

constexpr bool IsWordCharacter(char16_t c) {
  return IsWordLetter(c) || (c >= u'0' && c <= u'9');
}

// Whether `text` has a token starting at `position`: nothing of a word just before it.
bool StartsToken(std::u16string_view text, std::size_t position) {
  return position == 0 || !IsWordCharacter(text[position - 1]);
}

bool AllLetters(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), IsWordLetter);
}

}  // namespace

void OwnNotes::Recover(Document& document) const {
  if (roles_.empty() && references_.empty()) return;
  std::optional<std::vector<Note>> notes = Described();
  if (!notes) return;
  document.notes = std::move(*notes);
  if (!NotesFit(document)) document.notes.clear();
}

// The notes our own groups describe: a heading, then each note's first
// paragraph and its further ones, each note cited once; nothing when the
// groups say anything else.
std::optional<std::vector<Note>> OwnNotes::Described() const {
  if (roles_.empty() || roles_.front().role != NoteRole::kHeading) return std::nullopt;
  std::vector<Note> notes;
  std::size_t expected = roles_.front().paragraph + 1;
  for (auto role = roles_.begin() + 1; role != roles_.end(); ++role, ++expected) {
    if (role->paragraph != expected) return std::nullopt;
    if (role->role == NoteRole::kFirst) {
      notes.push_back({role->kind, role->mark, kUncited, 0, role->paragraph, 1});
    } else if (role->role == NoteRole::kMore && !notes.empty()) {
      ++notes.back().paragraph_count;
    } else {
      return std::nullopt;
    }
  }
  for (const Reference& reference : references_) {
    if (reference.note == 0 || reference.note > notes.size()) return std::nullopt;
    Note& note = notes[reference.note - 1];
    if (note.reference_paragraph != kUncited) return std::nullopt;
    note.reference_paragraph = reference.paragraph;
    note.reference_offset = reference.offset;
  }
  const bool all_cited = std::none_of(notes.begin(), notes.end(), [](const Note& note) {
    return note.reference_paragraph == kUncited;
  });
  if (!all_cited) return std::nullopt;
  return notes;
}

// Notes and boxes start only in the text, and not past the depth limit, where
// groups cannot be told apart.
bool Reader::CanStartFlow() const {
  return stack_.size() > 1 && overflow_depth_ == 0 &&
         stack_.back().destination == Destination::kText;
}

void Reader::BeginFlow(FlowKind kind) {
  FlushRun();
  flows_.push_back({kind, stack_.size(), std::move(open_), lists_.TakeSequence()});
  open_ = OpenParagraph{};
  // The flow's paragraphs are no list items or table rows of the text around it.
  ResetParagraphFormat({});
  if (kind == FlowKind::kNote) in_note_ = true;
}

void Reader::EndFlow() {
  FlushBytes();
  if (ParagraphHasContent()) EndParagraph(false);
  Flow flow = std::move(flows_.back());
  flows_.pop_back();
  open_ = std::move(flow.interrupted);
  lists_.RestoreSequence(flow.sequence);
  if (flow.kind == FlowKind::kBox) return;
  in_note_ = false;
  FinishNote(note_numbered_, note_mark_format_);
}

std::vector<Paragraph>& Reader::Target() {
  return in_note_ ? notes_.back().paragraphs : document_.paragraphs;
}

// A note numbered by "\chftn" (in the text before it or in its own text) gets
// the next number of its kind; one with the same text at the start of its own
// text and just before it keeps that mark; any other is numbered too.
void Reader::FinishNote(bool numbered, const TextFormat& mark_format) {
  const std::size_t index = notes_.size() - 1;
  FoundNote& note = notes_[index];
  if (!numbered && TakeCustomMark(note)) {
    open_.references.push_back({index, OpenLength() - note.mark.size(), false});
    return;
  }
  const auto kind = static_cast<std::size_t>(note.kind);
  int& number = note_numbers_[kind];
  note.mark = FormatNumber(number, note_styles_[kind]);
  if (number < INT32_MAX) ++number;
  EmitReference(index, note.mark, mark_format);
}

// The note's own mark: the first word of its text when the text just before
// the note ends with it as a whole token, a few characters long and not a
// plain word, unless raised ("*", "\u2020", "1", or a raised "a"). A note whose
// first word only repeats the text before it is numbered.
bool Reader::TakeCustomMark(FoundNote& note) {
  constexpr std::size_t kLongestMark = 4;
  if (note.paragraphs.empty() || note.paragraphs.front().Runs().empty()) return false;
  const RunView first = note.paragraphs.front().Runs().front();
  const std::size_t end = std::min(first.text.find_first_of(u" \t\u00A0"), first.text.size());
  if (end == 0 || end > kLongestMark) return false;
  const std::u16string_view mark = first.text.substr(0, end);
  const bool open_run = !open_.run_text.empty();
  if (!open_run && open_.paragraph.Runs().empty()) return false;
  const std::u16string_view before = open_run ? open_.run_text : open_.paragraph.Runs().back().text;
  if (!before.ends_with(mark)) return false;
  const bool raised =
      first.format.vertical == VerticalPosition::kSuperscript ||
      (open_run ? open_.run_format.vertical : open_.paragraph.Runs().back().format.vertical) ==
          VerticalPosition::kSuperscript;
  if (!raised && (!StartsToken(before, before.size() - mark.size()) || AllLetters(mark))) {
    return false;
  }
  note.mark = std::u16string(mark);
  note.paragraphs.front().EraseFront(end);
  return true;
}

void Reader::EmitReference(std::size_t note, const std::u16string& mark, TextFormat format) {
  format.vertical = VerticalPosition::kSuperscript;
  format.hidden = false;
  // The mark goes into the text around the note, whatever group the note ended in.
  GroupState& s = state();
  const GroupState saved = s;
  s.destination = Destination::kText;
  s.format = format;
  EmitText(mark);
  s = saved;
  open_.references.push_back({note, OpenLength() - mark.size(), false});
}

// The notes read from the text go to the notes section; one whose mark never
// reached a paragraph of the text (broken input) is dropped.
void Reader::GatherNotes() {
  std::erase_if(notes_, [](const FoundNote& note) { return note.reference_paragraph == kUncited; });
  AppendNotes(document_, std::move(notes_));
}

void Reader::StartNote(const WordCall& call) {
  if (in_note_ || !CanStartFlow()) {
    SkipDestination(call);
    return;
  }
  notes_.emplace_back().reference_paragraph = kUncited;
  note_numbered_ = pending_number_mark_;
  note_mark_format_ = pending_number_mark_ ? pending_mark_format_ : state().format;
  pending_number_mark_ = false;
  BeginFlow(FlowKind::kNote);
}

// "\chftn": in a note's text, the note's own number; in the text, the
// reference to the note that follows.
void Reader::NoteNumberMark(const WordCall&) {
  if (in_note_) {
    note_numbered_ = true;
  } else if (state().destination == Destination::kText) {
    pending_number_mark_ = true;
    pending_mark_format_ = state().format;
  }
}

void Reader::SetEndnote(const WordCall&) {
  if (in_note_) notes_.back().kind = NoteKind::kEndnote;
}

// The row's argument: the kind of note times 16, plus the number style.
void Reader::SetNoteStyle(const WordCall& call) {
  note_styles_[static_cast<std::size_t>(call.argument / 16)] =
      static_cast<NumberStyle>(call.argument % 16);
}

void Reader::SetNoteStart(const WordCall& call) {
  if (notes_.empty()) note_numbers_[static_cast<std::size_t>(call.argument)] = call.value();
}

void Reader::StartShape(const WordCall& call) {
  if (!flows_.empty() && flows_.back().kind == FlowKind::kBox) return;  // its text joins the box
  if (!CanStartFlow()) {
    SkipDestination(call);
    return;
  }
  BeginFlow(FlowKind::kBox);
}

// Our own note groups, read in the text only.
void Reader::OwnNoteRole(const WordCall& call) {
  if (!flows_.empty()) {
    SkipDestination(call);
    return;
  }
  open_.role = static_cast<NoteRole>(call.argument);
  if (open_.role == NoteRole::kFirst && stack_.size() > 1) {
    open_.role_kind = NoteKind::kFootnote;
    open_.role_mark.clear();
    state().destination = Destination::kNoteMark;
  } else {
    SkipDestination(call);
  }
}

void Reader::OwnNoteKind(const WordCall&) {
  if (state().destination == Destination::kNoteMark) open_.role_kind = NoteKind::kEndnote;
}

void Reader::OwnNoteReference(const WordCall& call) {
  if (flows_.empty() && call.value() > 0) {
    open_.references.push_back({static_cast<std::size_t>(call.value()), OpenLength(), true});
  }
  SkipDestination(call);
}

}  // namespace quillet::rtf
