// The rich-text input box as the book builder and the window see it.
//
// Positions and lengths count UTF-16 code units, one per paragraph break, the
// same units as a Qt text cursor. RTF texts are byte strings (7-bit RTF).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace quillet {

class RichTextBox {
 public:
  virtual ~RichTextBox() = default;

  // Plain text of the whole content: a paragraph break is "\n", a line break
  // inside a paragraph U+2028, so every break is one position.
  virtual std::u16string Text() const = 0;
  // The whole content as one RTF document.
  virtual std::string TextRTF() const = 0;
  // Replaces the whole content by an RTF document; "" empties the box.
  virtual void SetTextRTF(std::string_view rtf) = 0;

  // A position past the end is taken as the end; set SelStart before SelLength.
  virtual void SetSelStart(std::int64_t position) = 0;
  // A selection that runs past the end stops there.
  virtual void SetSelLength(std::int64_t length) = 0;
  virtual std::int64_t SelStart() const = 0;
  virtual std::int64_t SelLength() const = 0;
  // Plain text of the selection, empty when nothing is selected.
  virtual std::u16string SelText() const = 0;
  // The selection as a complete RTF document; "" for an empty selection.
  virtual std::string SelRTF() const = 0;

  // Text() read where it lies, for what cutting a book into parts asks of it.
  // Valid while the content does not change.
  class TextReader {
   public:
    virtual ~TextReader() = default;
    virtual std::int64_t Length() const = 0;
    // The UTF-16 unit at `position`, below Length().
    virtual char16_t At(std::int64_t position) const = 0;
    // The first position at or after `from` that holds `unit`, or -1.
    virtual std::int64_t Find(char16_t unit, std::int64_t from) const = 0;
  };
  // Reads a copy of Text(); a box that holds a document reads it in place.
  virtual std::unique_ptr<const TextReader> ReadText() const;

  // The RTF of a range, as SelRTF gives it, from a function that another
  // thread may call while the content and the selection stay as they are.
  // Empty when the box cannot give it that way.
  using RangeRtf = std::function<std::string(std::int64_t start, std::int64_t length)>;
  virtual RangeRtf ConcurrentRangeRtf() const { return {}; }

  virtual void SetFocus() {}

  // Called after every change of the content, by the user or by SetTextRTF.
  void SetChangeHandler(std::function<void()> handler) { changed_ = std::move(handler); }

 protected:
  void NotifyChange() const {
    if (changed_) changed_();
  }

 private:
  std::function<void()> changed_;
};

}  // namespace quillet
