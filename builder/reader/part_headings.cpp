#include "builder/reader/part_headings.h"

#include <algorithm>

#include "builder/reader/body_tokens.h"

namespace quillet::reader {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Bytes of the character at `at` of clean page text: a reference is one.
std::size_t CharacterBytes(std::string_view text, std::size_t at) {
  if (text[at] != '&') return 1;
  const std::size_t semicolon = text.find(';', at);
  return semicolon == std::string_view::npos ? 1 : semicolon + 1 - at;
}

}  // namespace

std::string PlainText(std::string_view html, std::size_t characters) {
  std::string text;
  std::size_t count = 0;
  bool space = false;  // white space seen since the last character
  for (std::size_t at = 0; at < html.size() && count <= characters;) {
    if (html[at] == '<') {
      const std::size_t end = html.find('>', at);
      if (html.compare(at, 4, "<br>") == 0) space = true;
      at = end == std::string_view::npos ? html.size() : end + 1;
      continue;
    }
    if (IsSpace(html[at]) || html.compare(at, 6, "&nbsp;") == 0) {
      space = true;
      at += html[at] == '&' ? 6 : 1;
      continue;
    }
    if (space && !text.empty()) {
      text += ' ';
      ++count;
    }
    space = false;
    const std::size_t bytes = CharacterBytes(html, at);
    text.append(html.substr(at, bytes));
    ++count;
    at += bytes;
  }
  return text;
}

std::string ShortenAtWord(std::string_view text, std::size_t characters, std::size_t bytes) {
  std::size_t end = 0;
  std::size_t lastWordEnd = 0;
  for (std::size_t count = 0; end < text.size(); ++count) {
    const std::size_t next = end + CharacterBytes(text, end);
    if (count == characters || next > bytes) {
      const bool wordEnds = text[end] == ' ';
      return std::string(text.substr(0, wordEnds || lastWordEnd == 0 ? end : lastWordEnd));
    }
    if (text[end] == ' ') lastWordEnd = end;
    end = next;
  }
  return std::string(text);
}

std::string PartHeading(const BalancedBody& body, Span part) {
  const auto heading =
      std::lower_bound(body.headings.begin(), body.headings.end(), part.begin,
                       [](const Span& span, std::size_t at) { return span.begin < at; });
  const std::string_view html = body.html;
  const bool inside = heading != body.headings.end() && heading->begin < part.end;
  const Span from = inside ? *heading : part;
  const std::size_t end = std::min(from.end, part.end);
  const std::string text = PlainText(html.substr(from.begin, end - from.begin), kHeadingCharacters);
  return ShortenAtWord(text, kHeadingCharacters, kHeadingBytes);
}

}  // namespace quillet::reader
