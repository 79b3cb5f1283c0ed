#include "text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillet {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(char32_t c, std::u16string& out) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// Decodes one UTF-8 sequence at `i`; returns false (and leaves `i`) when it is invalid.
bool NextUtf8(std::string_view bytes, std::size_t& i, char32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = byte(i);
  std::size_t extra;
  char32_t minimum;
  if (lead < 0x80) {
    c = lead;
    ++i;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, minimum = 0x80, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, minimum = 0x800, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, minimum = 0x10000, c = lead & 0x07;
  } else {
    return false;
  }
  if (bytes.size() - i <= extra) return false;
  for (std::size_t k = 1; k <= extra; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return false;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  i += extra + 1;
  return true;
}

// glibc iconv names of the code pages beyond Windows-1252.
constexpr std::pair<int, const char*> kIconvNames[] = {
    {437, "CP437"},   {850, "CP850"},      {874, "CP874"},   {932, "CP932"},   {936, "CP936"},
    {949, "CP949"},   {950, "CP950"},      {1250, "CP1250"}, {1251, "CP1251"}, {1253, "CP1253"},
    {1254, "CP1254"}, {1255, "CP1255"},    {1256, "CP1256"}, {1257, "CP1257"}, {1258, "CP1258"},
    {1361, "JOHAB"},  {10000, "MACINTOSH"}};

const char* IconvName(int number) {
  for (const auto& [code_page, name] : kIconvNames) {
    if (code_page == number) return name;
  }
  return nullptr;
}

bool IsMultiByte(int number) {
  return number == 932 || number == 936 || number == 949 || number == 950 || number == 1361;
}

}  // namespace

bool IsSupportedCodePage(int number) {
  return number == 1252 || IconvName(number) != nullptr;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacementCharacter;
    }
    AppendUtf8(c, out);
  }
  return out;
}

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  char32_t c;
  while (i < bytes.size()) {
    if (!NextUtf8(bytes, i, c)) return std::nullopt;
    AppendUtf16(c, out);
  }
  return out;
}

std::u16string FromUtf8Lossy(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  char32_t c;
  while (i < bytes.size()) {
    if (NextUtf8(bytes, i, c)) {
      AppendUtf16(c, out);
    } else {
      out += kReplacementCharacter;
      ++i;
    }
  }
  return out;
}

char16_t Windows1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t{byte};
}

int UnicodeToWindows1252(char16_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return character;
  for (std::size_t i = 0; i < kWindows1252High.size(); ++i) {
    if (kWindows1252High[i] == character) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::u16string DecodeWindows1252(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (char byte : bytes) out += Windows1252ToUnicode(static_cast<unsigned char>(byte));
  return out;
}

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const std::string& charset) {
  iconv_t handle = iconv_open("UTF-8", charset.c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  std::vector<char> buffer(std::max<std::size_t>(bytes.size(), 64) * 2);
  char* in_ptr = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  // The final call with no input flushes what a stateful encoding holds back.
  for (bool flushed = false; !flushed;) {
    char* out_ptr = buffer.data();
    std::size_t out_left = buffer.size();
    const bool flushing = in_left == 0;
    const std::size_t result = flushing ? iconv(handle, nullptr, nullptr, &out_ptr, &out_left)
                                        : iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left);
    out.append(buffer.data(), static_cast<std::size_t>(out_ptr - buffer.data()));
    if (result != static_cast<std::size_t>(-1)) {
      flushed = flushing;
    } else if (errno != E2BIG && !flushing) {
      out += "\xEF\xBF\xBD";  // an invalid or truncated sequence: one replacement per byte
      ++in_ptr;
      --in_left;
    } else if (flushing) {
      flushed = true;
    }
  }
  iconv_close(handle);
  return out;
}

// glibc iconv supplies the code pages beyond Windows-1252, whose tables we do not keep ourselves.
struct CodePage::Converter {
  iconv_t handle;
};

CodePage::CodePage(int number) : number_(number) {
  for (int byte = 0; byte < 256; ++byte) {
    table_[byte] = Windows1252ToUnicode(static_cast<unsigned char>(byte));
  }
  const char* name = IconvName(number);
  if (name == nullptr) return;
  iconv_t handle = iconv_open("UTF-16LE", name);
  if (handle == reinterpret_cast<iconv_t>(-1)) return;
  if (IsMultiByte(number)) {
    converter_ = std::make_unique<Converter>(Converter{handle});
    return;
  }
  for (int byte = 0x80; byte < 256; ++byte) {
    char in = static_cast<char>(byte);
    char out[16];
    char* in_ptr = &in;
    char* out_ptr = out;
    std::size_t in_left = 1;
    std::size_t out_left = sizeof out;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    const bool ok =
        iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left) != static_cast<size_t>(-1);
    // Some code pages (1258) hold back a base letter for composition until flushed.
    iconv(handle, nullptr, nullptr, &out_ptr, &out_left);
    const std::size_t produced = sizeof out - out_left;
    table_[byte] = ok && produced >= 2
                       ? static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                               (static_cast<unsigned char>(out[1]) << 8))
                       : kReplacementCharacter;
  }
  iconv_close(handle);
}

CodePage::~CodePage() {
  if (converter_) iconv_close(converter_->handle);
}

void CodePage::Decode(std::string_view bytes, std::u16string& out) const {
  if (!converter_) {
    for (char byte : bytes) out += table_[static_cast<unsigned char>(byte)];
    return;
  }
  iconv(converter_->handle, nullptr, nullptr, nullptr, nullptr);
  std::vector<char> buffer(bytes.size() * 4 + 8);
  char* in_ptr = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char* out_ptr = buffer.data();
    std::size_t out_left = buffer.size();
    const std::size_t result = iconv(converter_->handle, &in_ptr, &in_left, &out_ptr, &out_left);
    for (char* p = buffer.data(); p + 1 < out_ptr; p += 2) {
      out += static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                   (static_cast<unsigned char>(p[1]) << 8));
    }
    if (result == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An invalid or truncated sequence: one replacement, then go on after its first byte.
      out += kReplacementCharacter;
      ++in_ptr;
      --in_left;
    }
  }
}

}  // namespace quillet
