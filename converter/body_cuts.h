// Cutting a page's body down in place: the groups that carry no text come out,
// and doubled line breaks collapse after every cut.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillet {

// A range [first, rest) of a text.
struct TextSpan {
  std::size_t first = 0;
  std::size_t rest = 0;
};

// The brace group around `pos` (the offset of a control word inside it).
// Unbalanced braces only move the group's boundaries: the scans stop at the
// text's ends, the first character is never cut and the last never examined.
TextSpan GroupAround(std::string_view body, std::size_t pos);

// A body inside the buffer that holds it, cut down in place. A cut moves the
// shorter side, so cutting the header's groups never moves the rest of a big
// text; views stay inside the buffer, which must outlive them.
class BodyText {
 public:
  // The body is buffer[first, first + size).
  BodyText(std::string& buffer, std::size_t first, std::size_t size);
  std::string_view view() const { return {buffer_->data() + first_, size_}; }
  std::size_t offset() const { return first_; }

  void Cut(TextSpan span);
  // Turns every doubled CR LF into one, left to right; collapsed text is never
  // searched again, so a run of three becomes two.
  void CollapseDoubledBreaks();

 private:
  static constexpr std::size_t kUnknown = SIZE_MAX;
  std::string* buffer_;
  std::size_t first_;
  std::size_t size_;
  // No doubled CR LF starts at or after this offset; found by the first
  // collapse, then kept up to date by every cut.
  std::size_t doubledEnd_ = kUnknown;
};

// Cuts the brace group around `pos` out of `body`, returns it, and then
// collapses the body's doubled CR LFs.
std::string ExtractGroup(std::string& body, std::size_t pos);

// Where each of a few words first stands in a text that is being cut down.
// One pass over the text's backslashes finds them all, so a word that is
// absent costs no search of its own; after a cut, only the text around the
// cut can hold a word that was absent.
class WordPlaces {
 public:
  static constexpr std::size_t kMaxWords = 8;
  // Every word starts with a backslash and has one more character at least.
  // The words are kept as a view: a constant.
  WordPlaces(std::string_view text, std::span<const std::string_view> words);
  // The first place of words[k] in `text`, the text as it now stands, or npos.
  std::size_t Find(std::size_t k, std::string_view text) const;
  // `text` was cut at `junction`: what stood on its two sides now meets there.
  void Cut(std::string_view text, std::size_t junction);

 private:
  std::span<const std::string_view> words_;
  std::array<std::size_t, kMaxWords> first_{};
  bool cut_ = false;
  std::uint8_t mayStand_ = 0;  // bit k: words[k] may stand in the text
};

}  // namespace quillet
