// Pure text rules of the window and the builder: folder separator, size
// estimate, prefix check, upper case, page titles and character references.
#include "builder/text_rules.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <locale>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillet {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Longest file name most file systems accept, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// Decodes one UTF-8 character at `pos` and advances past it; nothing for a
// malformed sequence, of which one byte is consumed.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) return lead;
  const int extra = lead > 0xF4 ? -1 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (extra < 0 || pos + extra > text.size()) return std::nullopt;
  char32_t value = lead & (0x3F >> extra);
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = value << 6 | (next & 0x3F);
  }
  static constexpr std::array<char32_t, 4> kMinimum{0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return std::nullopt;
  }
  pos += extra;
  return value;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The C.UTF-8 locale knows the case of every script (Greek, Cyrillic, Latin
// Extended...); the letters of Latin-1 are the fallback where it is missing.
char32_t UpperCaseOf(char32_t c) {
  if (c >= U'a' && c <= U'z') return c - 0x20;
  static const std::optional<std::locale> utf8 = []() -> std::optional<std::locale> {
    try {
      return std::locale("C.UTF-8");
    } catch (const std::runtime_error&) {
      return std::nullopt;
    }
  }();
  if (utf8 && c <= static_cast<char32_t>(WCHAR_MAX)) {
    return static_cast<char32_t>(
        std::use_facet<std::ctype<wchar_t>>(*utf8).toupper(static_cast<wchar_t>(c)));
  }
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  return c;
}

bool IsReservedDeviceName(std::string_view prefix) {
  std::string upper = UpperCase(prefix);
  for (std::string_view name : {"CON", "PRN", "AUX", "NUL"}) {
    if (upper == name) return true;
  }
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

std::string PrefixMessage(std::string_view prefix, std::string_view spanish,
                          std::string_view english) {
  const std::string shown(prefix);
  return "El prefijo \"" + shown + "\" no sirve para nombres de archivo: " + std::string(spanish) +
         ".\nThe prefix \"" + shown + "\" cannot start file names: " + std::string(english) + ".";
}

// Characters that Windows and memory-card file systems refuse in a name.
bool IsForbiddenInName(char32_t c) {
  return c < 0x20 || c == 0x7F ||
         std::u32string_view(U"<>:\"|?*").find(c) != std::u32string_view::npos;
}

// White space that a browser strips from a link, or that hides the name's edge.
bool IsWhiteSpace(char32_t c) {
  return c == U' ' || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
         c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool HasWhiteSpaceEdge(std::string_view prefix) {
  std::optional<char32_t> first;
  std::optional<char32_t> last;
  for (std::size_t pos = 0; pos < prefix.size();) {
    last = NextCodePoint(prefix, pos);
    if (!first) first = last;
  }
  return (first && IsWhiteSpace(*first)) || (last && IsWhiteSpace(*last));
}

std::string CharacterProblem(std::string_view prefix) {
  for (std::size_t pos = 0; pos < prefix.size();) {
    const std::optional<char32_t> c = NextCodePoint(prefix, pos);
    if (!c) return PrefixMessage("", "no es texto UTF-8 válido", "it is not valid UTF-8 text");
    if (IsForbiddenInName(*c)) {
      std::array<char, 16> code{};
      std::snprintf(code.data(), code.size(), "U+%04X", static_cast<unsigned>(*c));
      const std::string shown = *c < 0x20 || *c == 0x7F ? code.data() : std::string(1, char(*c));
      return PrefixMessage(prefix, "contiene el carácter no permitido " + shown,
                           "it holds the character " + shown + ", which file names do not allow");
    }
  }
  return "";
}

}  // namespace

std::string TrailingSeparator(std::string_view text) {
  std::string result(text);
  if (!text.ends_with('\\') && !text.ends_with('/')) result += kSeparator;
  return result;
}

std::string BrowseFolderText(FolderChooser& chooser) {
  const std::optional<std::string> chosen = chooser.ChooseFolder();
  return TrailingSeparator(chosen ? *chosen : std::string(kCancelledFolder));
}

std::string EstimateText(std::int64_t rtfLength, int partCount) {
  const double kilobytes = static_cast<double>(rtfLength < 0 ? 0 : rtfLength) / 900.0 /
                           static_cast<double>(partCount < 1 ? 1 : partCount);
  // The "####" pattern: halves away from zero, no digits at all for zero.
  const auto rounded = static_cast<std::int64_t>(kilobytes + 0.5);
  return "Aprox: " + (rounded == 0 ? std::string() : std::to_string(rounded)) + " Kb";
}

std::string PrefixProblem(std::string_view prefix) {
  if (prefix.empty()) return PrefixMessage(prefix, "está vacío", "it is empty");
  if (prefix.find_first_of("/\\") != std::string_view::npos) {
    return PrefixMessage(prefix, "contiene un separador de carpetas (/ o \\)",
                         "it holds a folder separator (/ or \\)");
  }
  if (prefix == "." || prefix == "..") {
    return PrefixMessage(prefix, "\".\" y \"..\" nombran carpetas",
                         "\".\" and \"..\" name folders");
  }
  if (std::string problem = CharacterProblem(prefix); !problem.empty()) return problem;
  if (HasWhiteSpaceEdge(prefix)) {
    return PrefixMessage(prefix, "empieza o termina con un espacio",
                         "it begins or ends with white space");
  }
  if (IsReservedDeviceName(prefix)) {
    return PrefixMessage(prefix, "es un nombre reservado del sistema",
                         "it is a name the system reserves");
  }
  if (prefix.size() + std::string_view("00.html").size() > kMaxNameBytes) {
    return PrefixMessage(prefix.substr(0, 20), "es demasiado largo", "it is too long");
  }
  return "";
}

std::string UpperCase(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const std::optional<char32_t> c = NextCodePoint(text, pos);
    if (c) {
      AppendUtf8(result, UpperCaseOf(*c));
    } else {
      result += text[start];
    }
  }
  return result;
}

std::string TitlePrefix(std::string_view prefix) {
  std::string escaped;
  for (char c : UpperCase(prefix)) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      case '\'':
        escaped += "&#39;";
        break;
      default:
        escaped += c;
    }
  }
  return CharacterReferences(escaped);
}

std::string CharacterReferences(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::optional<char32_t> c = NextCodePoint(text, pos);
    const char32_t value = c.value_or(0xFFFD);  // a stray byte shows as the replacement mark
    if (value < 0x80) {
      result += static_cast<char>(value);
    } else {
      result += "&#" + std::to_string(static_cast<std::uint32_t>(value)) + ";";
    }
  }
  return result;
}

std::string WriteFailureMessage(std::string_view detail) {
  return "No se pudo escribir la página; no se siguió.\n"
         "The page could not be written; nothing more was done.\n" +
         std::string(detail);
}

}  // namespace quillet
