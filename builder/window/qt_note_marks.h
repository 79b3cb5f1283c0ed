// A document's footnotes and endnotes (Document::notes) followed through the
// user's edits of the QTextDocument that shows it: Qt moves a cursor with every
// edit, so each note keeps a cursor selecting its citation's mark (empty once
// the mark is deleted) and one at the start of its first block (a paragraph
// split off a note stays in it: a note runs to the next note's first block),
// and the notes heading's block keeps one too.
#pragma once

#include <QMetaObject>
#include <QTextCursor>
#include <cstddef>
#include <map>
#include <vector>

#include "richtext/document.h"

class QTextDocument;

namespace quillet {

class NoteCursors {
 public:
  NoteCursors() = default;
  NoteCursors(const NoteCursors&) = delete;
  NoteCursors& operator=(const NoteCursors&) = delete;
  ~NoteCursors();

  // Follows the notes of `document`, just written into `qt` by DocumentToQt,
  // instead of any followed before; none when they do not fit the document.
  void Follow(const Document& document, QTextDocument& qt);
  // Takes the notes of `pasted`, just put into `qt` with its first paragraph at
  // `offset` in block `block`. As when the notes were marks in the text: they
  // are kept only when the box had none and nothing follows the paste, and a
  // paste with notes into a box with notes leaves it without any.
  void Pasted(const Document& pasted, QTextDocument& qt, int block, int offset);
  // Told of every change of `qt` after the ones above.
  void Changed(const QTextDocument& qt);

  // Sets the notes of `document`, the model read from `qt`, as far as the
  // edits left them whole: a heading, the notes' blocks straight after it up
  // to the end, each note cited once before the heading; else none.
  void Read(const QTextDocument& qt, Document& document) const;

 private:
  struct Followed {
    Note note;  // its kind and mark; the places are the cursors'
    QTextCursor citation;
    QTextCursor start;
  };

  void Attach(QTextDocument& qt);
  std::vector<int> Places() const;
  void MoveTo(const std::vector<int>& places);

  QTextCursor heading_;
  std::vector<Followed> notes_;
  // A paste with notes spoiled the notes: none are read until it is undone.
  bool spoiled_ = false;
  // Qt's undo puts back the text but not the cursors that an edit collapsed,
  // so the places after each undo step are kept and put back with it.
  std::map<int, std::vector<int>> steps_;
  int step_ = 0;
  bool stepAdded_ = false;
  QMetaObject::Connection stepSignal_;
};

}  // namespace quillet
