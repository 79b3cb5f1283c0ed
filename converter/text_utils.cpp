#include "converter/text_utils.h"

#include <cstddef>

namespace quillet {

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
  if (find.empty() || text.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t hit = text.find(find); hit != std::string_view::npos;
       hit = text.find(find, from)) {
    result.append(text, from, hit - from);
    result.append(replacement);
    from = hit + find.size();
  }
  result.append(text, from);
  return result;
}

std::string_view TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

namespace {

// Rounds the fraction's digits half to even onto `whole`.
bool RoundUp(std::string_view fraction, std::uint64_t whole) {
  if (fraction.empty() || fraction[0] < '5') return false;
  if (fraction[0] > '5') return true;
  if (fraction.substr(1).find_first_not_of('0') != std::string_view::npos) return true;
  return whole % 2 == 1;
}

}  // namespace

std::optional<DecimalParameter> ParseDecimalParameter(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  const std::size_t point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? "" : s.substr(point + 1);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  for (std::string_view part : {whole, fraction}) {
    for (char c : part) {
      if (!IsDigitChar(c)) return std::nullopt;
    }
  }
  constexpr std::uint64_t kLimit = 1ULL << 32;
  std::uint64_t value = 0;
  bool overflow = false;
  for (char c : whole) {
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kLimit) {
      overflow = true;
      break;
    }
  }
  if (!overflow && RoundUp(fraction, value)) ++value;
  const std::uint64_t max = negative ? (1ULL << 31) : (1ULL << 31) - 1;
  if (overflow || value > max) return DecimalParameter{0, true};
  const auto signedValue = static_cast<std::int64_t>(value);
  return DecimalParameter{static_cast<std::int32_t>(negative ? -signedValue : signedValue), false};
}

std::size_t EscapedCharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  for (std::string_view entity : {"&amp;", "&lt;", "&gt;"}) {
    if (text.starts_with(entity)) return entity.size();
  }
  return 1;
}

std::string CrLfLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      result += "\r\n";
      ++i;
    } else if (text[i] == '\r' || text[i] == '\n') {
      result += "\r\n";
    } else {
      result += text[i];
    }
  }
  return result;
}

std::string EscapeMarkup(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    switch (c) {
      case '&':
        result += "&amp;";
        break;
      case '<':
        result += "&lt;";
        break;
      case '>':
        result += "&gt;";
        break;
      default:
        result += c;
    }
  }
  return result;
}

}  // namespace quillet
