#include "builder/text_rules.h"

#include <array>
#include <climits>
#include <cstdio>
#include <locale>
#include <optional>
#include <stdexcept>

#include "richtext/text_encoding.h"

namespace quillet {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Longest file name most file systems accept, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// The characters of UTF-16 text as code points; a lone surrogate stands for itself.
std::u32string CodePoints(std::u16string_view text) {
  std::u32string points;
  points.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    points += pair ? 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00) : unit;
  }
  return points;
}

void AppendUtf16(std::u16string& text, char32_t c) {
  if (c < 0x10000) {
    text += static_cast<char16_t>(c);
  } else {
    text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
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

// The prefix is valid UTF-8 here; every white space character is one unit.
bool HasWhiteSpaceEdge(std::u16string_view prefix) {
  return !prefix.empty() && (IsWhiteSpace(prefix.front()) || IsWhiteSpace(prefix.back()));
}

// The first character file names do not allow, or 0 when there is none.
char32_t ForbiddenCharacter(std::u16string_view text) {
  for (const char16_t c : text) {
    if (IsForbiddenInName(c)) return c;
  }
  return 0;
}

std::string EscapeAmpersands(std::string_view text) {
  std::string result;
  for (char c : text) result += c == '&' ? std::string("&amp;") : std::string(1, c);
  return result;
}

// Characters a URL would read as syntax are escaped, so that every link
// reaches its page.
std::string UrlSafe(std::string_view prefix) {
  std::string target;
  for (char c : prefix) {
    if (c == '#') {
      target += "%23";
    } else if (c == '%') {
      target += "%25";
    } else {
      target += c;
    }
  }
  return target;
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

Status CheckPrefix(std::string_view prefix) {
  const auto fault = [prefix](PrefixFault kind, char32_t character = 0) {
    return Status{StatusKind::kInvalidPrefix, std::string(prefix), static_cast<std::int64_t>(kind),
                  static_cast<std::int64_t>(character)};
  };
  if (prefix.empty()) return fault(PrefixFault::kEmpty);
  if (prefix.find_first_of("/\\") != std::string_view::npos) return fault(PrefixFault::kSeparator);
  if (prefix == "." || prefix == "..") return fault(PrefixFault::kDotName);
  const std::optional<std::u16string> text = DecodeUtf8(prefix);
  if (!text)
    return {StatusKind::kInvalidPrefix, "", static_cast<std::int64_t>(PrefixFault::kNotUtf8), 0};
  if (const char32_t c = ForbiddenCharacter(*text); c != 0) {
    return fault(PrefixFault::kForbiddenCharacter, c);
  }
  if (HasWhiteSpaceEdge(*text)) return fault(PrefixFault::kWhiteSpaceEdge);
  if (IsReservedDeviceName(prefix)) return fault(PrefixFault::kReservedName);
  if (prefix.size() + std::string_view("00.html").size() > kMaxNameBytes) {
    return {StatusKind::kInvalidPrefix, std::string(prefix.substr(0, 20)),
            static_cast<std::int64_t>(PrefixFault::kTooLong), 0};
  }
  return {};
}

std::string UpperCase(std::string_view text) {
  std::u16string upper;
  upper.reserve(text.size());
  for (const char32_t c : CodePoints(FromUtf8Lossy(text))) AppendUtf16(upper, UpperCaseOf(c));
  return ToUtf8(upper);
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

std::string ReaderEstimateText(int parts, int maxKb) {
  const std::string count = parts > 0 ? std::to_string(parts) : "?";
  return "Aprox: " + count + (parts == 1 ? " parte" : " partes") + " de " + std::to_string(maxKb) +
         " Kb";
}

std::string LinkPrefix(std::string_view prefix) {
  return CharacterReferences(EscapeAmpersands(UrlSafe(prefix)));
}

std::string ShownPrefix(std::string_view prefix) {
  return CharacterReferences(EscapeAmpersands(prefix));
}

std::string CharacterReferences(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  // A stray byte shows as the replacement character.
  for (const char32_t c : CodePoints(FromUtf8Lossy(text))) {
    if (c < 0x80) {
      result += static_cast<char>(c);
    } else {
      result += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
    }
  }
  return result;
}

}  // namespace quillet
