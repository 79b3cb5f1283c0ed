#include "richtext/text_encoding.h"

#include <iconv.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>

namespace quillet {

// One glibc iconv conversion, open for as long as the object lives.
class Iconv {
 public:
  // A conversion between encodings without shift states (UTF-8, UTF-16) need
  // not be reset before nor flushed after each text.
  enum class Shifts : bool { kNone, kMaybe };
  Iconv(const char* to, const char* from, Shifts shifts = Shifts::kMaybe)
      : handle_(iconv_open(to, from)), shifts_(shifts) {}
  ~Iconv() {
    if (ok()) iconv_close(handle_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in` and appends the result to `out`, a string of the units the
  // conversion writes. An input unit of `unit` bytes that cannot be converted,
  // or that the input ends in the middle of, becomes `replacement`; without
  // one, the conversion stops there and fails.
  template <typename Text>
  bool Convert(std::string_view in, std::size_t unit,
               std::optional<std::basic_string_view<typename Text::value_type>> replacement,
               Text& out) const;

 private:
  enum class Step : std::uint8_t { kDone, kBufferFull, kBadInput };
  // Runs iconv once into `buffer` and appends what it wrote to `out`.
  template <typename Text>
  Step Run(char** in, std::size_t* in_left, std::span<char> buffer, Text& out) const;

  iconv_t handle_;
  Shifts shifts_;
};

template <typename Text>
Iconv::Step Iconv::Run(char** in, std::size_t* in_left, std::span<char> buffer, Text& out) const {
  char* out_ptr = buffer.data();
  std::size_t out_left = buffer.size();
  const std::size_t result = iconv(handle_, in, in_left, &out_ptr, &out_left);
  const int error = errno;
  using Unit = typename Text::value_type;
  const std::size_t units = static_cast<std::size_t>(out_ptr - buffer.data()) / sizeof(Unit);
  const std::size_t size = out.size();
  out.resize(size + units);
  std::memcpy(out.data() + size, buffer.data(), units * sizeof(Unit));
  if (result != static_cast<std::size_t>(-1)) return Step::kDone;
  return error == E2BIG ? Step::kBufferFull : Step::kBadInput;
}

template <typename Text>
bool Iconv::Convert(std::string_view in, std::size_t unit,
                    std::optional<std::basic_string_view<typename Text::value_type>> replacement,
                    Text& out) const {
  if (shifts_ == Shifts::kMaybe) iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  alignas(char32_t) char buffer[4096];
  char* in_ptr = const_cast<char*>(in.data());
  std::size_t in_left = in.size();
  while (in_left > 0) {
    if (Run(&in_ptr, &in_left, buffer, out) != Step::kBadInput) continue;
    if (!replacement) return false;
    out += *replacement;
    const std::size_t skipped = std::min(unit, in_left);
    in_ptr += skipped;
    in_left -= skipped;
  }
  // What a stateful encoding holds back (1258 keeps a base letter for a
  // combining accent) comes out when it is flushed.
  while (shifts_ == Shifts::kMaybe && Run(nullptr, nullptr, buffer, out) == Step::kBufferFull) {
  }
  return true;
}

namespace {

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";
constexpr std::u16string_view kUtf16Replacement = u"\uFFFD";

// Copies the ASCII bytes at the start of `bytes` into `out` as characters,
// sixteen at a time, and says how many it copied: a few, or none, short of
// the first byte from 0x80 up or of `length`.
std::size_t WidenAscii(const char* bytes, std::size_t length, char16_t* out) {
  std::size_t done = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; done + 16 <= length; done += 16) {
    const __m128i sixteen = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + done));
    if (_mm_movemask_epi8(sixteen) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done), _mm_unpacklo_epi8(sixteen, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done + 8), _mm_unpackhi_epi8(sixteen, zero));
  }
#endif
  return done;
}

// char16_t in the machine's byte order, so iconv writes straight into a u16string.
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// The conversions between UTF-8 and UTF-16 that every reader and writer makes,
// opened once per thread.
const Iconv& Utf8ToUtf16() {
  thread_local const Iconv conversion(kUtf16, "UTF-8", Iconv::Shifts::kNone);
  return conversion;
}
const Iconv& Utf16ToUtf8() {
  thread_local const Iconv conversion("UTF-8", kUtf16, Iconv::Shifts::kNone);
  return conversion;
}

std::string_view BytesOf(std::u16string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

// glibc iconv names of the code pages.
constexpr std::pair<int, const char*> kIconvNames[] = {
    {437, "CP437"},   {850, "CP850"},   {874, "CP874"},      {932, "CP932"},   {936, "CP936"},
    {949, "CP949"},   {950, "CP950"},   {1250, "CP1250"},    {1251, "CP1251"}, {1252, "CP1252"},
    {1253, "CP1253"}, {1254, "CP1254"}, {1255, "CP1255"},    {1256, "CP1256"}, {1257, "CP1257"},
    {1258, "CP1258"}, {1361, "JOHAB"},  {10000, "MACINTOSH"}};

const char* IconvName(int number) {
  for (const auto& [code_page, name] : kIconvNames) {
    if (code_page == number) return name;
  }
  return nullptr;
}

bool IsMultiByte(int number) {
  return number == 932 || number == 936 || number == 949 || number == 950 || number == 1361;
}

const CodePage& Windows1252() {
  static const CodePage code_page(1252);
  return code_page;
}

// Bytes 0x80 to 0x9F, where Windows-1252 differs from Unicode's first 256
// characters, for the way back from Unicode.
const std::array<char16_t, 32> kWindows1252High = [] {
  std::array<char16_t, 32> high{};
  for (std::size_t i = 0; i < high.size(); ++i) {
    high[i] = Windows1252().Character(static_cast<unsigned char>(0x80 + i));
  }
  return high;
}();

}  // namespace

std::string_view SkipUtf8ByteOrderMark(std::string_view bytes) {
  if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
  return bytes;
}

bool IsSupportedCodePage(int number) {
  return IconvName(number) != nullptr;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  Utf16ToUtf8().Convert(BytesOf(text), sizeof(char16_t), std::optional(kUtf8Replacement), out);
  return out;
}

std::optional<std::u16string> DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  if (!Utf8ToUtf16().Convert(bytes, 1, std::optional<std::u16string_view>(), out)) {
    return std::nullopt;
  }
  return out;
}

std::u16string FromUtf8Lossy(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  Utf8ToUtf16().Convert(bytes, 1, std::optional(kUtf16Replacement), out);
  return out;
}

char16_t Windows1252ToUnicode(unsigned char byte) {
  return Windows1252().Character(byte);
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
  Windows1252().Decode(bytes, out);
  return out;
}

std::u16string DecodeUtf8OrWindows1252(std::string_view bytes) {
  if (std::optional<std::u16string> text = DecodeUtf8(bytes)) return std::move(*text);
  return DecodeWindows1252(bytes);
}

std::string Utf8OrWindows1252ToUtf8(std::string_view bytes) {
  if (DecodeUtf8(bytes)) return std::string(bytes);
  return ToUtf8(DecodeWindows1252(bytes));
}

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const std::string& charset) {
  const Iconv conversion("UTF-8", charset.c_str());
  if (!conversion.ok()) return std::nullopt;
  std::string out;
  out.reserve(bytes.size());
  // One replacement for each byte of an invalid or truncated sequence.
  conversion.Convert(bytes, 1, std::optional(kUtf8Replacement), out);
  return out;
}

// Single-byte code pages become a table of 256 characters; the double-byte
// Asian ones keep their iconv conversion, whose bytes must be decoded together.
CodePage::CodePage(int number) : number_(number) {
  const int decoded = IsSupportedCodePage(number) ? number : 1252;
  auto conversion = std::make_unique<Iconv>(kUtf16, IconvName(decoded));
  if (IsMultiByte(decoded) && conversion->ok()) {
    converter_ = std::move(conversion);
    return;
  }
  for (int byte = 0; byte < 256; ++byte) {
    const char in = static_cast<char>(byte);
    std::u16string text;
    const bool ok = conversion->ok() && byte >= 0x80 &&
                    conversion->Convert(std::string_view(&in, 1), 1,
                                        std::optional<std::u16string_view>(), text);
    // ASCII stays itself in every code page; a byte the code page leaves out
    // reads as U+FFFD, but in Windows-1252 as the C1 control of its number.
    if (byte < 0x80 || (!ok && decoded == 1252)) {
      table_[byte] = static_cast<char16_t>(byte);
    } else {
      table_[byte] = ok && !text.empty() ? text.front() : kReplacementCharacter;
    }
  }
  plain_stays_plain_ = std::all_of(table_.begin() + 0x20, table_.end(),
                                   [](char16_t c) { return c >= 0x20 || c == u'\t'; });
}

CodePage::~CodePage() = default;

void CodePage::Decode(std::string_view bytes, std::u16string& out) const {
  if (!converter_) {
    if (bytes.size() == 1) {  // an escaped byte
      out += table_[static_cast<unsigned char>(bytes.front())];
      return;
    }
    // Decoded a piece at a time into a buffer and appended, which spares the
    // zero-filling of a resize; the pieces of text between controls are short.
    constexpr std::size_t kPiece = 64;
    char16_t piece[kPiece];
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
      const std::size_t length = std::min(kPiece, bytes.size() - at);
      const char* part = bytes.data() + at;
      // ASCII stays itself in every single-byte code page.
      std::size_t i = WidenAscii(part, length, piece);
      for (; i < length; ++i) piece[i] = table_[static_cast<unsigned char>(part[i])];
      out.append(piece, length);
    }
    return;
  }
  // An invalid or truncated sequence: one replacement, then go on after its first byte.
  converter_->Convert(bytes, 1, std::optional(kUtf16Replacement), out);
}

}  // namespace quillet
