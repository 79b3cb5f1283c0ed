// Between the engine's document model and Qt's QTextDocument, both ways: the
// window shows the box's document in a Qt editor.
#pragma once

#include <QTextDocument>

#include "richtext/document.h"

namespace quillet {

// Paragraphs, alignment, bullet lists and the character formats the model
// knows, and the notes as far as the user's edits left them whole (see
// qt_note_marks.h); images and other objects are left out.
Document DocumentFromQt(const QTextDocument& source);
// Replaces the content of `target` by the document.
void DocumentToQt(const Document& document, QTextDocument& target);

}  // namespace quillet
