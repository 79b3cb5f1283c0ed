#include "richtext/rich_text_box.h"

namespace quillet {
namespace {

class CopiedText final : public RichTextBox::TextReader {
 public:
  explicit CopiedText(std::u16string text) : text_(std::move(text)) {}
  std::int64_t Length() const override { return static_cast<std::int64_t>(text_.size()); }
  char16_t At(std::int64_t position) const override {
    return text_[static_cast<std::size_t>(position)];
  }
  std::int64_t Find(char16_t unit, std::int64_t from) const override {
    const std::size_t at = text_.find(unit, static_cast<std::size_t>(from));
    return at == std::u16string::npos ? -1 : static_cast<std::int64_t>(at);
  }

 private:
  const std::u16string text_;
};

}  // namespace

std::unique_ptr<const RichTextBox::TextReader> RichTextBox::ReadText() const {
  return std::make_unique<CopiedText>(Text());
}

}  // namespace quillet
