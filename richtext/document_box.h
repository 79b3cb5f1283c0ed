// The rich-text box over the document model: what the command line and the
// tests use, and what the book builder sees when no window is involved.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/document.h"
#include "richtext/rich_text_box.h"

namespace quillet {

class DocumentBox : public RichTextBox {
 public:
  std::u16string Text() const override { return document_.PlainText(); }
  std::string TextRTF() const override;
  // Text that does not start like RTF is taken as plain text, as a rich-edit control does.
  void SetTextRTF(std::string_view rtf) override;

  // Setting the start collapses the selection, as in a rich-edit control.
  void SetSelStart(std::int64_t position) override;
  void SetSelLength(std::int64_t length) override;
  std::int64_t SelStart() const override { return sel_start_; }
  std::int64_t SelLength() const override { return sel_length_; }
  std::u16string SelText() const override;
  std::string SelRTF() const override;
  std::unique_ptr<const TextReader> ReadText() const override;
  RangeRtf ConcurrentRangeRtf() const override;

  // Replaces the content by plain text (UTF-8, or Windows-1252 when not valid UTF-8).
  void SetPlainText(std::string_view bytes);
  // Replaces the content by a document built elsewhere (the window, the HTML import).
  void SetDocument(Document document);
  const Document& document() const { return document_; }

 private:
  void Replace(Document document);
  Document Selection() const;
  std::string RangeRTF(std::int64_t start, std::int64_t length) const;

  Document document_;
  ParagraphIndex index_{document_};
  std::int64_t length_ = 0;
  std::int64_t sel_start_ = 0;
  std::int64_t sel_length_ = 0;
};

}  // namespace quillet
