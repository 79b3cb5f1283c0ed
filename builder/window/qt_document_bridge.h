// Between the engine's document model and Qt's QTextDocument, both ways: the
// window shows the box's document in a QTextEdit, and HTML (from a file or the
// clipboard) comes in through Qt's own HTML import.
#pragma once

#include <QString>
#include <QTextDocument>

#include "richtext/document.h"

namespace quillet {

// Paragraphs, alignment, bullet lists and the character formats the model
// knows; images and other objects are left out.
Document DocumentFromQt(const QTextDocument& source);
// Replaces the content of `target` by the document.
void DocumentToQt(const Document& document, QTextDocument& target);
// Qt's HTML import, then DocumentFromQt. Needs a QGuiApplication.
Document DocumentFromHtml(const QString& html);
// HTML bytes decoded by their own charset declaration, UTF-8 when they give none.
QString DecodeHtml(const QByteArray& bytes);

}  // namespace quillet
