#include "qt_rich_text_box.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <algorithm>

#include "busy_cursor.h"
#include "plain_text.h"
#include "qt_document_bridge.h"
#include "qt_platform.h"
#include "rtf_reader.h"
#include "rtf_writer.h"

namespace quillet {

namespace {

// What is typed next gets the box's default format, not that of the text the
// cursor last stood in.
void UseDefaultTypingFormat(QTextEdit& edit) {
  QTextCursor cursor = edit.textCursor();
  cursor.setCharFormat(QTextCharFormat());
  edit.setTextCursor(cursor);
}

}  // namespace

void ReplaceContent(QTextEdit& edit, const Document& document) {
  // Filling a detached document and swapping it in is many times faster for a
  // long book than filling the one the editor lays out as it goes.
  auto* filled = new QTextDocument(&edit);
  filled->setDefaultFont(edit.document()->defaultFont());
  DocumentToQt(document, *filled);
  // The editor deletes the document it replaces when that is its child.
  edit.setDocument(filled);
  UseDefaultTypingFormat(edit);
}

std::optional<Document> DocumentFromMimeData(const QMimeData& data) {
  if (std::string rtf = RtfFromMimeData(data); !rtf.empty()) return ReadRtf(rtf);
  if (data.hasHtml()) return DocumentFromHtml(data.html());
  if (data.hasText()) return DocumentFromText(data.text().toStdU16String());
  return std::nullopt;
}

bool RtfTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return !RtfFromMimeData(*source).empty() || QTextEdit::canInsertFromMimeData(source);
}

void RtfTextEdit::insertFromMimeData(const QMimeData* source) {
  const BusyCursor busy;
  const std::optional<Document> document = DocumentFromMimeData(*source);
  if (!document) {
    QTextEdit::insertFromMimeData(source);
    return;
  }
  if (document->Length() > 0 && this->document()->isEmpty()) {
    ReplaceContent(*this, *document);
    moveCursor(QTextCursor::End);
    UseDefaultTypingFormat(*this);
    return;
  }
  QTextDocument formatted;
  DocumentToQt(*document, formatted);
  textCursor().insertFragment(QTextDocumentFragment(&formatted));
  ensureCursorVisible();
}

QtRichTextBox::QtRichTextBox(QTextEdit& edit) : edit_(edit) {
  QObject::connect(&edit_, &QTextEdit::textChanged, [this] { ContentChanged(); });
}

void QtRichTextBox::ContentChanged() {
  model_.reset();
  rtf_.reset();
  if (!replacing_) NotifyChange();
}

const Document& QtRichTextBox::Model() const {
  if (!model_) model_ = DocumentFromQt(*edit_.document());
  return *model_;
}

std::string QtRichTextBox::TextRTF() const {
  if (!rtf_) rtf_ = WriteRtf(Model());
  return *rtf_;
}

void QtRichTextBox::SetTextRTF(std::string_view rtf) {
  if (LooksLikeRtf(rtf)) {
    Replace(ReadRtf(rtf));
  } else {
    Replace(ReadPlainText(rtf));
  }
}

void QtRichTextBox::SetHtml(std::string_view html) {
  Replace(DocumentFromHtml(QString::fromUtf8(html.data(), static_cast<qsizetype>(html.size()))));
}

void QtRichTextBox::SetPlainText(std::string_view text) {
  Replace(ReadPlainText(text));
}

void QtRichTextBox::Replace(const Document& document) {
  // One change notice per write, however many edits filling the editor takes.
  replacing_ = true;
  ReplaceContent(edit_, document);
  replacing_ = false;
  ContentChanged();
}

std::int64_t QtRichTextBox::Length() const {
  // The editor's document always ends in one paragraph separator of its own.
  return std::max(0, edit_.document()->characterCount() - 1);
}

void QtRichTextBox::SetSelStart(std::int64_t position) {
  QTextCursor cursor = edit_.textCursor();
  cursor.setPosition(static_cast<int>(std::clamp<std::int64_t>(position, 0, Length())));
  edit_.setTextCursor(cursor);
}

void QtRichTextBox::SetSelLength(std::int64_t length) {
  QTextCursor cursor = edit_.textCursor();
  const std::int64_t start = cursor.selectionStart();
  const std::int64_t end = std::clamp<std::int64_t>(start + length, start, Length());
  cursor.setPosition(static_cast<int>(start));
  cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
  edit_.setTextCursor(cursor);
}

std::int64_t QtRichTextBox::SelStart() const {
  return edit_.textCursor().selectionStart();
}

std::int64_t QtRichTextBox::SelLength() const {
  const QTextCursor cursor = edit_.textCursor();
  return cursor.selectionEnd() - cursor.selectionStart();
}

std::u16string QtRichTextBox::SelText() const {
  const std::int64_t length = SelLength();
  if (length == 0) return {};
  return Model()
      .Slice(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(length))
      .PlainText();
}

std::string QtRichTextBox::SelRTF() const {
  const std::int64_t length = SelLength();
  if (length == 0) return {};
  return WriteRtf(
      Model().Slice(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(length)));
}

void QtRichTextBox::SetFocus() {
  edit_.setFocus(Qt::OtherFocusReason);
}

}  // namespace quillet
