// The converter's page body cut into the few kinds of token it is made of:
// text, the start and end tags of its elements, and line breaks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet::reader {

// The elements the converter writes. The alignment table
// `<table width=100%><tr><td align="...">` ... `</td></tr></table>` is one
// element; `kList` is the `<ul>` that reader pages put around list items.
enum class Element : std::uint8_t { kB, kI, kU, kS, kSup, kSub, kFont, kTable, kItem, kList };

enum class TokenKind : std::uint8_t {
  kText,   // text as the converter wrote it, entities and all
  kStart,  // start tag of an element; `text` is the whole tag
  kEnd,    // end tag of an element
  kBreak,  // <br>
  kOther,  // a tag the converter does not write; dropped
};

struct BodyToken {
  TokenKind kind = TokenKind::kText;
  Element element = Element::kB;
  std::string_view text;
};

bool IsBlock(Element element);
// The end tag written for an element.
std::string_view EndTagOf(Element element);

// Reads a body token by token, in one pass.
class BodyTokenizer {
 public:
  explicit BodyTokenizer(std::string_view body) : body_(body) {}
  // False at the end of the body.
  bool Next(BodyToken& token);

 private:
  BodyToken Tag(std::size_t close);

  std::string_view body_;
  std::size_t pos_ = 0;
};

// Appends text to a page: raw "<" and ">" and any "&" that starts no reference
// become references, and a byte of 128 or more, which the converter passes
// through as a Windows-1252 character, becomes that character's reference, so
// the page reads the same whatever code page the browser assumes.
void AppendPageText(std::string& out, std::string_view text);

// The number of characters a reader sees in page text: a reference counts one.
std::size_t VisibleLength(std::string_view text);

// True when text holds nothing but spaces, tabs and line ends.
bool IsBlankText(std::string_view text);

}  // namespace quillet::reader
