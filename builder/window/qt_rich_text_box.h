// The input box: a plain-text editor showing rich text, seen through the
// engine's RichTextBox interface.
//
// The editor's document is mapped to the engine's model for every read, so
// Text, SelText, SelRTF and TextRTF are the engine's (the same RTF writer as the
// command line), and every write goes through the engine's readers. What the
// box shows is therefore what the converter gets.
#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "builder/window/qt_note_marks.h"
#include "richtext/document.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// Qt's plain-text layout, which lays out only the paragraphs on screen, so a
// keystroke costs the same anywhere in a long book (the rich-text layout moves
// every paragraph after the cursor); each paragraph keeps its own alignment.
class BookLayout : public QPlainTextDocumentLayout {
  Q_OBJECT

 public:
  using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
  QRectF blockBoundingRect(const QTextBlock& block) const override;
};

// The editor widget: fonts, sizes, colours, alignment and bullets as the
// engine keeps them. Keyboard paste and drops take RTF, HTML or plain text,
// passed through the engine's model so that only what it keeps is shown.
class RtfTextEdit : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit RtfTextEdit(QWidget* parent = nullptr);

  // Takes a keyboard paste or a dropped text instead of the editor: true when
  // it took it, false to leave it to the editor.
  std::function<bool(const QMimeData& source)> pasteHandler;
  // Takes a file dropped on the box.
  std::function<void(const std::string& path)> fileDropHandler;
  // Puts a pasted document in, instead of PasteDocument: set by the box over
  // the editor, which follows the document's notes.
  std::function<void(const Document& pasted)> documentPaster;

  // Guards the selection the program just made, the last part of a Generate:
  // the first key that would replace it clears it instead and says so, so
  // that one stray key does not cut the book in two.
  void GuardSelection();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool SelectionGuarded() const;
  void KeepGuardedSelection();

  // The guarded selection; revision -1 when there is none.
  int guardedAnchor_ = 0;
  int guardedPosition_ = 0;
  int guardedRevision_ = -1;
};

// What the box says when a key would have replaced the part a Generate left selected.
inline constexpr const char* kSelectionKeptCaption =
    "La parte seleccionada sigue en su sitio: la selección se quitó en vez de sustituirla / "
    "The selected part is still there: the selection was cleared instead of being replaced";

// The local file a drag carries, "" when it carries none.
std::string DroppedFile(const QMimeData& data);

// Takes a drop as a copy whatever the source proposed: a drop taken as a move
// lets a file manager or another program delete what it gave.
void AcceptAsCopy(QDropEvent& event);

// The box keeps the notes of the document it was given, and follows them
// through the user's edits (see qt_note_marks.h).
class QtRichTextBox : public RichTextBox {
 public:
  explicit QtRichTextBox(QPlainTextEdit& edit);
  QtRichTextBox(const QtRichTextBox&) = delete;
  QtRichTextBox& operator=(const QtRichTextBox&) = delete;
  ~QtRichTextBox() override;

  std::u16string Text() const override { return Model().PlainText(); }
  std::string TextRTF() const override;
  // Text that does not start like RTF is taken as plain text.
  void SetTextRTF(std::string_view rtf) override;

  void SetSelStart(std::int64_t position) override;
  void SetSelLength(std::int64_t length) override;
  std::int64_t SelStart() const override;
  std::int64_t SelLength() const override;
  std::u16string SelText() const override;
  std::string SelRTF() const override;
  void SetFocus() override;

  // Plain text (UTF-8, or Windows-1252 when not valid UTF-8).
  void SetPlainText(std::string_view text);
  // A document read elsewhere, such as a book file.
  void SetDocument(const Document& document) { Replace(document); }
  // A pasted document, at the cursor, with its notes as PasteDocument once
  // carried them (see NoteCursors::Pasted).
  void Paste(const Document& document);
  // The content as the engine's model, built afresh and not kept.
  Document Read() const;

  // Length of the content in positions, without building the model.
  std::int64_t Length() const;
  // True until the model or its RTF has been built since the last change.
  bool HasCachedRtf() const { return rtf_.has_value(); }
  // The length of TextRTF, kept until the next change; the model and the RTF
  // built for it are not kept, so a long book is not held three times over.
  std::size_t RtfLength() const;
  // The length of TextRTF when it is known without building anything.
  std::optional<std::size_t> KnownRtfLength() const;
  // Takes the length of TextRTF measured elsewhere for the content of
  // `revision`; false, and nothing kept, when the content has changed since.
  bool SetRtfLength(std::uint64_t revision, std::size_t length);
  // Counts the changes of the content.
  std::uint64_t Revision() const { return revision_; }

 private:
  const Document& Model() const;
  void Replace(const Document& document);
  void ContentChanged();

  QPlainTextEdit& edit_;
  QMetaObject::Connection changed_;
  NoteCursors notes_;
  bool replacing_ = false;
  // Built on demand and dropped on every change: the builder reads the same
  // content many times per run.
  mutable std::optional<Document> model_;
  mutable std::optional<std::string> rtf_;
  mutable std::optional<std::size_t> rtfLength_;
  std::uint64_t revision_ = 0;
};

// Replaces the editor's whole content by the document's paragraphs. When
// memory runs out half way, the editor keeps what it showed.
void ReplaceContent(QPlainTextEdit& edit, const Document& document);
// Puts a pasted document's paragraphs at the cursor; into an empty editor, as
// its whole content.
void PasteDocument(QPlainTextEdit& edit, const Document& document);

}  // namespace quillet
