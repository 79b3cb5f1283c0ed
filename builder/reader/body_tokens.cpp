#include "builder/reader/body_tokens.h"

#include <array>

#include "richtext/text_encoding.h"

namespace quillet::reader {
namespace {

// No tag the converter writes comes near this; a "<" without a ">" this close
// is text.
constexpr std::size_t kMaxTagBytes = 128;

struct FixedTag {
  std::string_view text;
  TokenKind kind;
  Element element;
};

constexpr std::array<FixedTag, 16> kFixedTags{{
    {"<br>", TokenKind::kBreak, Element::kB},
    {"<b>", TokenKind::kStart, Element::kB},
    {"</b>", TokenKind::kEnd, Element::kB},
    {"<i>", TokenKind::kStart, Element::kI},
    {"</i>", TokenKind::kEnd, Element::kI},
    {"<u>", TokenKind::kStart, Element::kU},
    {"</u>", TokenKind::kEnd, Element::kU},
    {"<s>", TokenKind::kStart, Element::kS},
    {"</s>", TokenKind::kEnd, Element::kS},
    {"<sup>", TokenKind::kStart, Element::kSup},
    {"</sup>", TokenKind::kEnd, Element::kSup},
    {"<sub>", TokenKind::kStart, Element::kSub},
    {"</sub>", TokenKind::kEnd, Element::kSub},
    {"</font>", TokenKind::kEnd, Element::kFont},
    {"<li>", TokenKind::kStart, Element::kItem},
    {"</li>", TokenKind::kEnd, Element::kItem},
}};

constexpr std::array<std::string_view, 10> kEndTags{
    "</b>",  "</i>", "</u>", "</s>", "</sup>", "</sub>", "</font>", "</td></tr></table>",
    "</li>", "</ul>"};

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
  return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsAlphanumeric(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c);
}

// How many characters from `from` on pass `accepts`, up to `longest`.
std::size_t RunLength(std::string_view text, std::size_t from, bool (*accepts)(char),
                      std::size_t longest) {
  std::size_t pos = from;
  while (pos < text.size() && pos - from < longest && accepts(text[pos])) ++pos;
  return pos - from;
}

// Length of the character reference at the start of text ("&amp;", "&#233;",
// "&#xE9;"), or 0 when text does not start with one.
std::size_t ReferenceLength(std::string_view text) {
  if (text.size() < 3 || text[0] != '&') return 0;
  std::size_t pos = 1;
  std::size_t digits = 0;
  if (text[1] != '#') {
    digits = IsAsciiLetter(text[1]) ? RunLength(text, 1, IsAlphanumeric, 32) : 0;
  } else if (text[2] == 'x' || text[2] == 'X') {
    pos = 3;
    digits = RunLength(text, pos, IsHexDigit, 6);
  } else {
    pos = 2;
    digits = RunLength(text, pos, IsAsciiDigit, 7);
  }
  pos += digits;
  if (digits == 0 || pos >= text.size() || text[pos] != ';') return 0;
  return pos + 1;
}

// Where the tag that starts at `from` ends (one past its ">"), or npos.
std::size_t TagEnd(std::string_view body, std::size_t from) {
  const std::string_view window = body.substr(from, kMaxTagBytes);
  const std::size_t close = window.find('>');
  if (close == std::string_view::npos ||
      window.substr(1, close).find('<') != std::string_view::npos) {
    return std::string_view::npos;
  }
  return from + close + 1;
}

}  // namespace

bool IsBlock(Element element) {
  return element == Element::kTable || element == Element::kItem || element == Element::kList;
}

std::string_view EndTagOf(Element element) {
  return kEndTags[static_cast<std::size_t>(element)];
}

bool BodyTokenizer::Next(BodyToken& token) {
  if (pos_ >= body_.size()) return false;
  if (body_[pos_] == '<') {
    const std::size_t end = TagEnd(body_, pos_);
    if (end != std::string_view::npos) {
      token = Tag(end);
      return true;
    }
    token = {TokenKind::kText, Element::kB, body_.substr(pos_, 1)};
    ++pos_;
    return true;
  }
  const std::size_t next = body_.find('<', pos_);
  const std::size_t end = next == std::string_view::npos ? body_.size() : next;
  token = {TokenKind::kText, Element::kB, body_.substr(pos_, end - pos_)};
  pos_ = end;
  return true;
}

BodyToken BodyTokenizer::Tag(std::size_t end) {
  const std::string_view tag = body_.substr(pos_, end - pos_);
  BodyToken token{TokenKind::kOther, Element::kB, tag};
  for (const FixedTag& fixed : kFixedTags) {
    if (tag == fixed.text) {
      token = {fixed.kind, fixed.element, tag};
      break;
    }
  }
  if (tag.starts_with("<font ")) token = {TokenKind::kStart, Element::kFont, tag};
  // The alignment table's three tags always come together.
  if (tag.starts_with("<table") && body_.substr(end).starts_with("<tr><td")) {
    const std::size_t cellEnd = TagEnd(body_, end + 4);
    if (cellEnd != std::string_view::npos) {
      end = cellEnd;
      token = {TokenKind::kStart, Element::kTable, body_.substr(pos_, end - pos_)};
    }
  }
  if (tag == "</td>" && body_.substr(end).starts_with("</tr></table>")) {
    end += std::string_view("</tr></table>").size();
    token = {TokenKind::kEnd, Element::kTable, body_.substr(pos_, end - pos_)};
  }
  pos_ = end;
  return token;
}

void AppendPageText(std::string& out, std::string_view text) {
  std::size_t plain = 0;  // start of the bytes not yet copied
  for (std::size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    const bool special = byte == '<' || byte == '>' || byte == '&' || byte >= 0x80 ||
                         (byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n');
    if (!special) {
      ++pos;
      continue;
    }
    out.append(text.substr(plain, pos - plain));
    const std::size_t reference = byte == '&' ? ReferenceLength(text.substr(pos)) : 0;
    if (reference > 0) {
      out.append(text.substr(pos, reference));
      pos += reference;
    } else {
      const char16_t character = byte >= 0x80 ? Windows1252ToUnicode(byte) : u'\0';
      if (byte == '<') out += "&lt;";
      if (byte == '>') out += "&gt;";
      if (byte == '&') out += "&amp;";
      // Codes Windows-1252 leaves undefined are no character, as in the converter.
      if (character > 0x9F) out += "&#" + std::to_string(static_cast<int>(character)) + ";";
      ++pos;
    }
    plain = pos;
  }
  out.append(text.substr(plain));
}

std::size_t VisibleLength(std::string_view text) {
  std::size_t length = 0;
  for (std::size_t pos = 0; pos < text.size(); ++length) {
    const std::size_t reference = text[pos] == '&' ? ReferenceLength(text.substr(pos)) : 0;
    pos += reference > 0 ? reference : 1;
  }
  return length;
}

bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace quillet::reader
