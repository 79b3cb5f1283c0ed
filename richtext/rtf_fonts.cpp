#include "richtext/rtf_fonts.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace quillet::rtf {

namespace {

// Code pages of the \fcharset numbers; any other charset uses the document's \ansicpg.
// Symbol fonts (2) read as Windows-1252, where their bullet "\'b7" is "·".
constexpr std::pair<int, int> kCharsetCodePages[] = {
    {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},  {2, 1252}};

int CharsetCodePage(int charset) {
  for (const auto& [number, code_page] : kCharsetCodePages) {
    if (number == charset) return code_page;
  }
  return 0;
}

}  // namespace

void Fonts::StartFont(int number) {
  CommitFont();
  font_number_ = number;
  font_charset_ = 0;
  font_code_page_ = 0;
  font_name_.clear();
  font_committed_ = false;
}

void Fonts::AddNameByte(unsigned char byte) {
  // Face names are short; a longer one is cut so that no run copies a huge name.
  constexpr std::size_t kLongestFontName = 256;
  if (!font_committed_ && font_name_.size() < kLongestFontName) {
    font_name_ += static_cast<char>(byte);
  }
}

void Fonts::CommitFont() {
  if (font_committed_) return;
  font_committed_ = true;
  code_page_font_ = kNoFont;
  const int code_page = font_code_page_ > 0 ? font_code_page_ : CharsetCodePage(font_charset_);
  // The name is written in the font's own code page.
  std::u16string decoded;
  CodePageFor(code_page > 0 ? code_page : ansi_code_page_).Decode(font_name_, decoded);
  std::string name = ToUtf8(decoded);
  while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
  name.erase(0, std::min(name.find_first_not_of(' '), name.size()));
  fonts_[font_number_] = Font{std::move(name), code_page};
}

void Fonts::SetColorComponent(int component, int value) {
  std::uint8_t Color::*const components[] = {&Color::red, &Color::green, &Color::blue};
  color_.*components[component] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
  color_set_ = true;
}

void Fonts::EndColor() {
  colors_.push_back(color_set_ ? std::optional<Color>(color_) : std::nullopt);
  color_ = Color{};
  color_set_ = false;
}

const CodePage& Fonts::CodePageFor(int number) {
  // One decoder for every unknown number keeps the list short.
  if (!IsSupportedCodePage(number)) number = 1252;
  for (const auto& code_page : code_pages_) {
    if (code_page->number() == number) return *code_page;
  }
  return *code_pages_.emplace_back(std::make_unique<CodePage>(number));
}

int Fonts::CacheCodePage(int font) {
  const auto found = fonts_.find(font);
  const int code_page = found == fonts_.end() ? 0 : found->second.code_page;
  code_page_font_ = font;
  code_page_ = code_page > 0 ? code_page : ansi_code_page_;
  decoder_ = &CodePageFor(code_page_);
  return code_page_;
}

CharFormat Fonts::ToCharFormat(const TextFormat& format) const {
  CharFormat result;
  result.bold = format.bold;
  result.italic = format.italic;
  result.underline = format.underline;
  result.strike = format.strike;
  result.vertical = format.vertical;
  if (format.color > 0 && static_cast<std::size_t>(format.color) < colors_.size()) {
    result.color = colors_[static_cast<std::size_t>(format.color)];
  }
  result.size_half_points = format.size;
  if (format.font >= 0 && format.font != default_font_) {
    const auto found = fonts_.find(format.font);
    if (found != fonts_.end()) result.font = found->second.name;
  }
  return result;
}

}  // namespace quillet::rtf
