#include "builder/window/qt_rich_text_box.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextList>
#include <QToolTip>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "builder/book_input.h"
#include "builder/window/busy_cursor.h"
#include "builder/window/qt_document_bridge.h"
#include "builder/window/qt_platform.h"
#include "richtext/plain_text.h"
#include "richtext/rtf_writer.h"

namespace quillet {

namespace {

// Text starts this far from the box's edges; bullets stand in the left margin.
constexpr qreal kDocumentMargin = 12;
constexpr qreal kBulletLeft = 3;

// What is typed next gets the box's default format, not that of the text the
// cursor last stood in.
void UseDefaultTypingFormat(QPlainTextEdit& edit) {
  QTextCursor cursor = edit.textCursor();
  cursor.setCharFormat(QTextCharFormat());
  edit.setTextCursor(cursor);
}

QTextDocument* NewBoxDocument(QPlainTextEdit* edit) {
  auto* document = new QTextDocument(edit);
  document->setDocumentMargin(kDocumentMargin);
  return document;
}

}  // namespace

QRectF BookLayout::blockBoundingRect(const QTextBlock& block) const {
  const QRectF place = QPlainTextDocumentLayout::blockBoundingRect(block);
  // The plain-text layout gives every paragraph the document's alignment;
  // lines are aligned when drawn and hit, so setting it afterwards suffices.
  if (QTextLayout* layout = block.layout()) {
    QTextOption option = layout->textOption();
    const Qt::Alignment alignment = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (option.alignment() != alignment) {
      option.setAlignment(alignment);
      layout->setTextOption(option);
    }
  }
  return place;
}

void ReplaceContent(QPlainTextEdit& edit, const Document& document) {
  // Filling a detached document and swapping it in is many times faster for a
  // long book than filling the one the editor shows.
  std::unique_ptr<QTextDocument> filling(NewBoxDocument(nullptr));
  filling->setDefaultFont(edit.document()->defaultFont());
  // A fill is no edit the user could undo, and recording it would keep a
  // second copy of the whole book.
  filling->setUndoRedoEnabled(false);
  DocumentToQt(document, *filling);
  filling->setUndoRedoEnabled(true);
  filling->setDocumentLayout(new BookLayout(filling.get()));
  QTextDocument* filled = filling.release();
  filled->setParent(&edit);
  QTextDocument* replaced = edit.document();
  edit.setDocument(filled);
  // The editor keeps the documents it did not make itself.
  if (replaced->parent() == &edit) replaced->deleteLater();
  UseDefaultTypingFormat(edit);
}

RtfTextEdit::RtfTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
  QTextDocument* document = NewBoxDocument(this);
  document->setDocumentLayout(new BookLayout(document));
  setDocument(document);
  // Once the user moves the cursor or the selection, the guard is over: the
  // same selection made again on purpose is the user's.
  const auto endGuard = [this] {
    if (!SelectionGuarded()) guardedRevision_ = -1;
  };
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, endGuard);
  connect(this, &QPlainTextEdit::selectionChanged, this, endGuard);
}

bool RtfTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return !RtfFromMimeData(*source).empty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void RtfTextEdit::insertFromMimeData(const QMimeData* source) {
  if (pasteHandler && pasteHandler(*source)) return;
  const BusyCursor busy;
  const std::optional<Document> document = DocumentFromClipboard(MimeClipboard(source));
  if (!document) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  if (documentPaster) {
    documentPaster(*document);
  } else {
    PasteDocument(*this, *document);
  }
}

void PasteDocument(QPlainTextEdit& edit, const Document& document) {
  if (document.Length() > 0 && edit.document()->isEmpty()) {
    ReplaceContent(edit, document);
    edit.moveCursor(QTextCursor::End);
    UseDefaultTypingFormat(edit);
    return;
  }
  QTextDocument formatted;
  DocumentToQt(document, formatted);
  edit.textCursor().insertFragment(QTextDocumentFragment(&formatted));
  edit.ensureCursorVisible();
}

std::string DroppedFile(const QMimeData& data) {
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) return url.toLocalFile().toStdString();
  }
  return {};
}

namespace {

// A key that types, deletes, cuts or pastes: what would replace a selection.
bool ReplacesSelection(const QKeyEvent& event) {
  if (event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut)) return true;
  switch (event.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      return (event.modifiers() & Qt::AltModifier) == 0;  // Alt+Backspace undoes
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
      return true;
    default:
      break;
  }
  const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
  return (event.modifiers() & commands) == 0 && !event.text().isEmpty() &&
         event.text()[0].isPrint();
}

}  // namespace

void RtfTextEdit::GuardSelection() {
  const QTextCursor cursor = textCursor();
  guardedRevision_ = cursor.hasSelection() ? document()->revision() : -1;
  guardedAnchor_ = cursor.anchor();
  guardedPosition_ = cursor.position();
}

bool RtfTextEdit::SelectionGuarded() const {
  const QTextCursor cursor = textCursor();
  return guardedRevision_ >= 0 && guardedRevision_ == document()->revision() &&
         cursor.anchor() == guardedAnchor_ && cursor.position() == guardedPosition_;
}

void RtfTextEdit::KeepGuardedSelection() {
  guardedRevision_ = -1;
  QTextCursor cursor = textCursor();
  cursor.clearSelection();
  setTextCursor(cursor);
  QToolTip::showText(mapToGlobal(cursorRect().bottomLeft()),
                     QString::fromUtf8(kSelectionKeptCaption), this);
}

void RtfTextEdit::keyPressEvent(QKeyEvent* event) {
  if (SelectionGuarded() && ReplacesSelection(*event)) {
    KeepGuardedSelection();
    event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

// Accented letters typed through an input method (dead keys, compose) come
// as committed text rather than as keys.
void RtfTextEdit::inputMethodEvent(QInputMethodEvent* event) {
  if (SelectionGuarded() && !event->commitString().isEmpty()) {
    KeepGuardedSelection();
    event->accept();
    return;
  }
  QPlainTextEdit::inputMethodEvent(event);
}

void AcceptAsCopy(QDropEvent& event) {
  event.setDropAction(Qt::CopyAction);
  event.accept();
}

void RtfTextEdit::dragEnterEvent(QDragEnterEvent* event) {
  if (fileDropHandler && !DroppedFile(*event->mimeData()).empty()) {
    AcceptAsCopy(*event);
    return;
  }
  QPlainTextEdit::dragEnterEvent(event);
  if (event->source() != this && event->isAccepted()) AcceptAsCopy(*event);
}

void RtfTextEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (fileDropHandler && !DroppedFile(*event->mimeData()).empty()) {
    AcceptAsCopy(*event);
    return;
  }
  QPlainTextEdit::dragMoveEvent(event);
  if (event->source() != this && event->isAccepted()) AcceptAsCopy(*event);
}

void RtfTextEdit::dropEvent(QDropEvent* event) {
  const std::string file = DroppedFile(*event->mimeData());
  if (fileDropHandler && !file.empty()) {
    AcceptAsCopy(*event);
    fileDropHandler(file);
    return;
  }
  if (event->source() == this) {
    QPlainTextEdit::dropEvent(event);  // moving text within the box
    return;
  }
  // Text from another program is copied: a drop taken as a move would have
  // that program delete what it gave.
  QDropEvent copy(event->position(), Qt::CopyAction, event->mimeData(), event->buttons(),
                  event->modifiers());
  QPlainTextEdit::dropEvent(&copy);
  if (copy.isAccepted()) AcceptAsCopy(*event);
}

void RtfTextEdit::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  // The plain-text layout draws no list markers: each item's bullet goes in the
  // margin beside its first line, for the paragraphs on screen only.
  QPainter painter(viewport());
  const QPointF offset = contentOffset();
  for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
    const QRectF place = blockBoundingGeometry(block).translated(offset);
    if (place.top() > event->rect().bottom()) break;
    if (block.textList() == nullptr || !block.isVisible() || block.layout()->lineCount() == 0) {
      continue;
    }
    const QTextLine first = block.layout()->lineAt(0);
    const QTextCharFormat format =
        block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
    // The item's size and face, but not the lines drawn along its text.
    QFont font = format.font().resolve(document()->defaultFont());
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setOverline(false);
    painter.setFont(font);
    painter.drawText(QPointF(kBulletLeft, place.top() + first.y() + first.ascent()),
                     QStringLiteral("\u2022"));
  }
}

QtRichTextBox::QtRichTextBox(QPlainTextEdit& edit) : edit_(edit) {
  changed_ = QObject::connect(&edit_, &QPlainTextEdit::textChanged, [this] { ContentChanged(); });
  notes_.Follow(Document{}, *edit_.document());
  if (auto* rich = qobject_cast<RtfTextEdit*>(&edit_)) {
    rich->documentPaster = [this](const Document& pasted) { Paste(pasted); };
  }
}

QtRichTextBox::~QtRichTextBox() {
  QObject::disconnect(changed_);
  if (auto* rich = qobject_cast<RtfTextEdit*>(&edit_)) rich->documentPaster = nullptr;
}

void QtRichTextBox::ContentChanged() {
  ++revision_;
  model_.reset();
  rtf_.reset();
  rtfLength_.reset();
  if (replacing_) return;
  notes_.Changed(*edit_.document());
  NotifyChange();
}

Document QtRichTextBox::Read() const {
  Document document = DocumentFromQt(*edit_.document());
  notes_.Read(*edit_.document(), document);
  return document;
}

const Document& QtRichTextBox::Model() const {
  if (!model_) model_ = Read();
  return *model_;
}

std::string QtRichTextBox::TextRTF() const {
  if (!rtf_) rtf_ = WriteRtf(Model());
  return *rtf_;
}

std::size_t QtRichTextBox::RtfLength() const {
  if (rtf_) return rtf_->size();
  if (!rtfLength_) {
    rtfLength_ = model_ ? WriteRtf(*model_).size() : WriteRtf(Read()).size();
  }
  return *rtfLength_;
}

std::optional<std::size_t> QtRichTextBox::KnownRtfLength() const {
  if (rtf_) return rtf_->size();
  return rtfLength_;
}

bool QtRichTextBox::SetRtfLength(std::uint64_t revision, std::size_t length) {
  if (revision != revision_) return false;
  rtfLength_ = length;
  return true;
}

void QtRichTextBox::SetTextRTF(std::string_view rtf) {
  Replace(RtfOrPlainText(rtf));
}

void QtRichTextBox::SetPlainText(std::string_view text) {
  Replace(ReadPlainText(text));
}

void QtRichTextBox::Replace(const Document& document) {
  // One change notice per write, however many edits filling the editor takes.
  {
    replacing_ = true;
    const auto done = qScopeGuard([this] { replacing_ = false; });
    ReplaceContent(edit_, document);
    notes_.Follow(document, *edit_.document());
  }
  ContentChanged();
}

void QtRichTextBox::Paste(const Document& document) {
  if (document.Length() > 0 && edit_.document()->isEmpty()) {
    Replace(document);
    edit_.moveCursor(QTextCursor::End);
    UseDefaultTypingFormat(edit_);
    return;
  }
  const std::uint64_t before = revision_;
  {
    // One change notice, once the pasted notes are followed too.
    replacing_ = true;
    const auto done = qScopeGuard([this] { replacing_ = false; });
    QTextDocument formatted;
    DocumentToQt(document, formatted);
    QTextCursor cursor = edit_.textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int block = cursor.blockNumber();
    const int offset = cursor.positionInBlock();
    cursor.insertFragment(QTextDocumentFragment(&formatted));
    cursor.endEditBlock();
    notes_.Pasted(document, *edit_.document(), block, offset);
  }
  edit_.ensureCursorVisible();
  if (revision_ != before) ContentChanged();
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
