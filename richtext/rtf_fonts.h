// The font and colour tables of an RTF document and the code pages its text is
// decoded in: what turns the reader's table numbers into a CharFormat, and a
// font into the decoder of its bytes. Internal to the RTF reader.
#pragma once

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "richtext/document.h"
#include "richtext/rtf_group_state.h"
#include "richtext/text_encoding.h"

namespace quillet::rtf {

class Fonts {
 public:
  // The document's code page (\ansi, \mac, \pc, \pca, \ansicpg) and default font (\deff).
  void SetDocumentCodePage(int code_page) {
    ansi_code_page_ = code_page;
    code_page_font_ = kNoFont;
  }
  void SetDefaultFont(int font) {
    default_font_ = font;
    code_page_font_ = kNoFont;
  }

  // An entry of the font table: "\f" starts it, ";" or the end of its group commits it.
  void StartFont(int number);
  void SetFontCharset(int charset) { font_charset_ = charset; }
  void SetFontCodePage(int code_page) { font_code_page_ = code_page; }
  void AddNameByte(unsigned char byte);
  void CommitFont();

  // The colour table: components, then ";" ends each entry.
  void StartColorTable() { color_set_ = false; }
  void SetColorComponent(int component, int value);
  void EndColor();

  // The decoder of a code page; unknown numbers all share one Windows-1252 decoder.
  const CodePage& CodePageFor(int number);
  // The code page of text in `font` (-1: the default font) and its decoder.
  // Asked before every run of text, of the font asked last time.
  int CodePageOf(int font) {
    if (font < 0) font = default_font_;
    return font == code_page_font_ ? code_page_ : CacheCodePage(font);
  }
  const CodePage& DecoderOf(int font) {
    CodePageOf(font);
    return *decoder_;
  }

  CharFormat ToCharFormat(const TextFormat& format) const;

 private:
  struct Font {
    std::string name;
    int code_page = 0;  // 0: the document's
  };
  static constexpr int kNoFont = INT_MIN;

  int CacheCodePage(int font);

  int ansi_code_page_ = 1252;
  int default_font_ = 0;
  std::unordered_map<int, Font> fonts_;
  std::vector<std::optional<Color>> colors_;
  std::vector<std::unique_ptr<CodePage>> code_pages_;
  // The font whose code page and decoder are cached.
  int code_page_font_ = kNoFont;
  int code_page_ = 1252;
  const CodePage* decoder_ = nullptr;
  // Table entries being read.
  int font_number_ = -1;
  int font_charset_ = 0;
  int font_code_page_ = 0;
  std::string font_name_;
  bool font_committed_ = true;
  Color color_;
  bool color_set_ = false;
};

}  // namespace quillet::rtf
