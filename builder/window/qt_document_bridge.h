// Between the engine's document model and Qt's QTextDocument, both ways: the
// window shows the box's document in a Qt editor.
#pragma once

#include <QTextDocument>

#include "richtext/document.h"

namespace quillet {

// Paragraphs, alignment, bullet lists and the character formats the model
// knows; images and other objects are left out. The notes are not Qt's to
// know: the box follows them itself (qt_note_marks.h).
Document DocumentFromQt(const QTextDocument& source);
// Replaces the content of `target` by the document's paragraphs.
void DocumentToQt(const Document& document, QTextDocument& target);

}  // namespace quillet
