#include "builder/reader/part_headings.h"

#include <algorithm>

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

void TitleText::Add(std::string_view text) {
  for (std::size_t at = 0; at < text.size() && !Full();) {
    if (IsSpace(text[at]) || text.compare(at, 6, "&nbsp;") == 0) {
      space_ = true;
      at += text[at] == '&' ? 6 : 1;
      continue;
    }
    if (space_ && !text_.empty()) {
      text_ += ' ';
      ++count_;
    }
    space_ = false;
    const std::size_t bytes = CharacterBytes(text, at);
    text_.append(text.substr(at, bytes));
    ++count_;
    at += bytes;
  }
}

std::string PlainText(const BalancedBody& body, Span span, std::size_t characters) {
  TitleText title(characters);
  const auto& texts = body.texts;
  auto run = std::upper_bound(texts.begin(), texts.end(), span.begin,
                              [](std::size_t at, const TextRun& text) { return at < text.end; });
  for (; run != texts.end() && run->begin < span.end && !title.Full(); ++run) {
    if (run->spaceBefore) title.Space();
    const std::size_t begin = std::max(run->begin, span.begin);
    const std::size_t end = std::min(run->end, span.end);
    title.Add(std::string_view(body.html).substr(begin, end - begin));
  }
  return title.Take();
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
  const bool inside = heading != body.headings.end() && heading->begin < part.end;
  const Span from = inside ? *heading : part;
  const std::size_t end = std::min(from.end, part.end);
  const std::string text = PlainText(body, {from.begin, end}, kHeadingCharacters);
  return ShortenAtWord(text, kHeadingCharacters, kHeadingBytes);
}

}  // namespace quillet::reader
