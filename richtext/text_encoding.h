// Conversions between UTF-16, UTF-8 and the Windows code pages RTF uses, all
// through glibc iconv.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// `bytes` without a leading UTF-8 byte-order mark.
std::string_view SkipUtf8ByteOrderMark(std::string_view bytes);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16, or nothing when the bytes are not valid UTF-8.
std::optional<std::u16string> DecodeUtf8(std::string_view bytes);
// UTF-8 to UTF-16, every invalid sequence becoming U+FFFD.
std::u16string FromUtf8Lossy(std::string_view bytes);

char16_t Windows1252ToUnicode(unsigned char byte);
// The Windows-1252 byte for a character, or -1 when the code page lacks it.
int UnicodeToWindows1252(char16_t character);
std::u16string DecodeWindows1252(std::string_view bytes);

// Text whose encoding nothing declares: UTF-8 when the bytes are valid UTF-8,
// otherwise Windows-1252.
std::u16string DecodeUtf8OrWindows1252(std::string_view bytes);
std::string Utf8OrWindows1252ToUtf8(std::string_view bytes);

// Bytes in a character set named as iconv knows it ("windows-1251", "shift_jis")
// to UTF-8, every invalid sequence becoming U+FFFD; nothing when the name is unknown.
std::optional<std::string> ConvertToUtf8(std::string_view bytes, const std::string& charset);

// True for the code pages CodePage decodes as themselves rather than as Windows-1252.
bool IsSupportedCodePage(int number);

class Iconv;  // one glibc iconv conversion (text_encoding.cpp)

// Decodes the bytes of one Windows (or Mac, DOS) code page; an unknown code
// page decodes as Windows-1252, a byte the code page lacks as U+FFFD.
class CodePage {
 public:
  explicit CodePage(int number);
  ~CodePage();
  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

  int number() const { return number_; }
  // True for the double-byte Asian code pages, whose bytes must be decoded together.
  bool multi_byte() const { return converter_ != nullptr; }
  // True for a single-byte code page where no byte from 0x20 up, nor the tab,
  // decodes to a control character: such bytes decode to text, one character each.
  bool plain_stays_plain() const { return plain_stays_plain_; }
  // Appends the decoded bytes to `out`.
  void Decode(std::string_view bytes, std::u16string& out) const;
  // The character of one byte of a single-byte code page.
  char16_t Character(unsigned char byte) const { return table_[byte]; }

 private:
  int number_;
  std::array<char16_t, 256> table_{};
  std::unique_ptr<Iconv> converter_;
  bool plain_stays_plain_ = false;
};

}  // namespace quillet
