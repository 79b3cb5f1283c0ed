#include "converter/text_utils.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

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
  if (!s.empty() && s.front() != ' ' && s.back() != ' ') return s;  // nearly every token
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

std::size_t FindAnyOf(std::string_view text, std::string_view set) {
  std::array<bool, 256> inSet{};
  for (char c : set) inSet[static_cast<unsigned char>(c)] = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (inSet[static_cast<unsigned char>(text[i])]) return i;
  }
  return std::string_view::npos;
}

CharacterFinder::CharacterFinder(std::string_view text, std::string_view set)
    : text_(text), set_(set.substr(0, kMaxSet)) {
  for (std::size_t k = 0; k < set_.size(); ++k) next_[k] = text_.find(set_[k]);
}

std::size_t CharacterFinder::Next(std::size_t from) {
  std::size_t first = std::string_view::npos;
  for (std::size_t k = 0; k < set_.size(); ++k) {
    if (next_[k] < from) next_[k] = text_.find(set_[k], from);
    first = std::min(first, next_[k]);
  }
  return first;
}

std::size_t FindWord(std::string_view text, std::string_view word) {
  const void* hit = ::memmem(text.data(), text.size(), word.data(), word.size());
  return hit == nullptr ? std::string_view::npos
                        : static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
}

std::size_t EscapedCharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] != '&') return 1;
  for (std::string_view entity : {"&amp;", "&lt;", "&gt;"}) {
    if (text.starts_with(entity)) return entity.size();
  }
  return 1;
}

std::string CrLfLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 32);
  CharacterFinder breaks(text, "\r\n");
  std::size_t from = 0;
  for (std::size_t hit = breaks.Next(from); hit != std::string_view::npos;
       hit = breaks.Next(from)) {
    result.append(text, from, hit - from);
    result += "\r\n";
    const bool pair = text[hit] == '\r' && hit + 1 < text.size() && text[hit + 1] == '\n';
    from = hit + (pair ? 2 : 1);
  }
  result.append(text, from);
  return result;
}

std::string CrLfLineBreaksInPlace(std::string text) {
  CharacterFinder breaks(text, "\r\n");
  for (std::size_t hit = breaks.Next(0); hit != std::string_view::npos;
       hit = breaks.Next(hit + 2)) {
    if (text[hit] != '\r' || hit + 1 == text.size() || text[hit + 1] != '\n') {
      return CrLfLineBreaks(text);
    }
  }
  return text;
}

namespace {

std::string_view EntityOf(char c) {
  return c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
}

}  // namespace

void AppendEscapedMarkup(std::string& out, std::string_view text) {
  out.reserve(out.size() + text.size() + text.size() / 16);
  for (std::size_t hit = FindAnyOf(text, kMarkupCharacters); hit != std::string_view::npos;
       hit = FindAnyOf(text, kMarkupCharacters)) {
    out.append(text, 0, hit);
    out += EntityOf(text[hit]);
    text.remove_prefix(hit + 1);
  }
  out += text;
}

}  // namespace quillet
