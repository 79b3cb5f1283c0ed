#include "builder/window/qt_note_marks.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

namespace quillet {
namespace {

// Qt marks an embedded object (an image) with this character, which the model leaves out.
constexpr QChar kObjectReplacement = QChar(0xFFFC);

// Undo steps whose places are kept; further back, an undo leaves the cursors
// where Qt moved them.
constexpr std::size_t kKeptSteps = 200;

QTextCursor CursorAt(QTextDocument& qt, int position, bool keepOnInsert) {
  QTextCursor cursor(&qt);
  cursor.setPosition(position);
  // A cursor at a block's start stays there when text is typed at that start.
  cursor.setKeepPositionOnInsert(keepOnInsert);
  return cursor;
}

}  // namespace

NoteCursors::~NoteCursors() {
  QObject::disconnect(stepSignal_);
}

void NoteCursors::Attach(QTextDocument& qt) {
  QObject::disconnect(stepSignal_);
  stepSignal_ =
      QObject::connect(&qt, &QTextDocument::undoCommandAdded, [this] { stepAdded_ = true; });
  heading_ = QTextCursor();
  notes_.clear();
  spoiled_ = false;
  steps_.clear();
  step_ = qt.availableUndoSteps();
  stepAdded_ = false;
}

void NoteCursors::Follow(const Document& document, QTextDocument& qt) {
  Attach(qt);
  Pasted(document, qt, 0, 0);
  if (!notes_.empty()) steps_[step_] = Places();
}

void NoteCursors::Pasted(const Document& pasted, QTextDocument& qt, int block, int offset) {
  if (pasted.notes.empty() || !NotesFit(pasted)) return;
  if (!notes_.empty()) {
    spoiled_ = true;
    return;
  }
  // Text after the paste would stand after the notes.
  if (block + static_cast<int>(pasted.paragraphs.size()) != qt.blockCount()) return;
  const auto place = [&](std::size_t paragraph, std::size_t at) {
    return qt.findBlockByNumber(block + static_cast<int>(paragraph)).position() +
           static_cast<int>(at) + (paragraph == 0 ? offset : 0);
  };
  const std::vector<Note>& notes = pasted.notes;
  heading_ = CursorAt(qt, place(notes.front().first_paragraph - 1, 0), true);
  notes_.reserve(notes.size());
  for (const Note& note : notes) {
    notes_.push_back({note, QTextCursor(), CursorAt(qt, place(note.first_paragraph, 0), true)});
  }
  // A mark runs to the next citation and to its paragraph's end; one left
  // without a character is no citation.
  std::vector<std::size_t> order(notes.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return notes[a].reference_paragraph < notes[b].reference_paragraph ||
           (notes[a].reference_paragraph == notes[b].reference_paragraph &&
            notes[a].reference_offset < notes[b].reference_offset);
  });
  for (std::size_t i = 0; i < order.size(); ++i) {
    const Note& note = notes[order[i]];
    std::size_t end = std::min(note.reference_offset + std::max<std::size_t>(note.mark.size(), 1),
                               pasted.paragraphs[note.reference_paragraph].Length());
    if (i + 1 < order.size() &&
        notes[order[i + 1]].reference_paragraph == note.reference_paragraph) {
      end = std::min(end, notes[order[i + 1]].reference_offset);
    }
    QTextCursor& citation = notes_[order[i]].citation;
    citation = CursorAt(qt, place(note.reference_paragraph, note.reference_offset), false);
    citation.setPosition(place(note.reference_paragraph, std::max(end, note.reference_offset)),
                         QTextCursor::KeepAnchor);
  }
}

void NoteCursors::Changed(const QTextDocument& qt) {
  const int step = qt.availableUndoSteps();
  const bool added = std::exchange(stepAdded_, false);
  const int previous = std::exchange(step_, step);
  if (notes_.empty() || heading_.document() != &qt) return;
  if (added) {
    // A new edit: the steps it can no longer redo go.
    steps_.erase(steps_.lower_bound(step), steps_.end());
  } else if (step != previous) {
    // An undo or a redo: the text is what it was after that step, and so are the places.
    if (const auto found = steps_.find(step); found != steps_.end()) MoveTo(found->second);
  }
  steps_[step] = Places();
  if (steps_.size() > kKeptSteps) {
    steps_.erase(steps_.begin()->first != step ? steps_.begin() : std::prev(steps_.end()));
  }
}

std::vector<int> NoteCursors::Places() const {
  std::vector<int> places{spoiled_ ? 1 : 0, heading_.position()};
  places.reserve(2 + 3 * notes_.size());
  for (const Followed& note : notes_) {
    places.insert(places.end(),
                  {note.citation.anchor(), note.citation.position(), note.start.position()});
  }
  return places;
}

void NoteCursors::MoveTo(const std::vector<int>& places) {
  const int last = heading_.document()->characterCount() - 1;
  const auto at = [&](std::size_t i) { return std::clamp(places[i], 0, last); };
  spoiled_ = places[0] != 0;
  heading_.setPosition(at(1));
  for (std::size_t i = 0; i < notes_.size(); ++i) {
    notes_[i].citation.setPosition(at(2 + 3 * i));
    notes_[i].citation.setPosition(at(3 + 3 * i), QTextCursor::KeepAnchor);
    notes_[i].start.setPosition(at(4 + 3 * i));
  }
}

void NoteCursors::Read(const QTextDocument& qt, Document& document) const {
  document.notes.clear();
  if (notes_.empty() || spoiled_ || heading_.document() != &qt) return;
  const QTextBlock heading = qt.findBlock(heading_.position());
  // Merged into the paragraph before it, the heading is gone.
  if (heading.position() != heading_.position()) return;
  const auto startsBlock = [&](int position, int after) {
    const QTextBlock block = qt.findBlock(position);
    return block.position() == position && block.blockNumber() > after;
  };
  std::vector<Note> notes;
  int last = heading.blockNumber();
  for (std::size_t i = 0; i < notes_.size();) {
    // Notes whose starts the edits brought together lost their text but for
    // one at most, the one still cited; a note still cited or still starting
    // a block of its own is not gone.
    const int start = notes_[i].start.position();
    const Followed* kept = nullptr;
    for (; i < notes_.size() && notes_[i].start.position() == start; ++i) {
      if (!notes_[i].citation.hasSelection()) continue;
      if (kept != nullptr) return;
      kept = &notes_[i];
    }
    if (kept == nullptr) {
      if (startsBlock(start, last)) return;
      continue;
    }
    if (!startsBlock(start, last)) return;
    Note& note = notes.emplace_back(kept->note);
    note.first_paragraph = static_cast<std::size_t>(qt.findBlock(start).blockNumber());
    const int cited = kept->citation.selectionStart();
    const QTextBlock citing = qt.findBlock(cited);
    const int offset = cited - citing.position();
    note.reference_paragraph = static_cast<std::size_t>(citing.blockNumber());
    note.reference_offset =
        static_cast<std::size_t>(offset - citing.text().left(offset).count(kObjectReplacement));
    last = static_cast<int>(note.first_paragraph);
  }
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const std::size_t next =
        i + 1 < notes.size() ? notes[i + 1].first_paragraph : document.paragraphs.size();
    notes[i].paragraph_count = next - notes[i].first_paragraph;
  }
  document.notes = std::move(notes);
  if (!NotesFit(document)) document.notes.clear();
}

}  // namespace quillet
