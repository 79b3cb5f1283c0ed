#include "richtext/plain_text.h"

#include "richtext/text_encoding.h"

namespace quillet {

Document ReadPlainText(std::string_view bytes) {
  return DocumentFromText(DecodeUtf8OrWindows1252(SkipUtf8ByteOrderMark(bytes)));
}

Document DocumentFromText(std::u16string_view text) {
  Document document;
  if (text.empty()) return document;
  const CharFormat plain;
  Paragraph* paragraph = &document.paragraphs.emplace_back();
  std::size_t line_start = 0;
  std::u16string line;
  const auto end_line = [&](std::size_t end) {
    line.clear();
    for (char16_t c : text.substr(line_start, end - line_start)) {
      // Control characters other than the tab are no text.
      if (c >= 0x20 || c == u'\t') line += c;
    }
    AppendText(*paragraph, line, plain);
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\n' && text[i] != u'\r') continue;
    end_line(i);
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    line_start = i + 1;
    if (line_start < text.size()) paragraph = &document.paragraphs.emplace_back();
  }
  if (line_start < text.size()) end_line(text.size());
  return document;
}

}  // namespace quillet
