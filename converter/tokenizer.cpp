#include "converter/tokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "converter/text_utils.h"

namespace quillet {
namespace {

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}
bool IsBrace(char c) {
  return c == '{' || c == '}';
}

// What stops the scan of a token: any text stops at a backslash or a brace, a
// control word also at a space.
constexpr std::uint8_t kStopsText = 1;
constexpr std::uint8_t kStopsControl = 2;
constexpr std::array<std::uint8_t, 256> kStops = [] {
  std::array<std::uint8_t, 256> stops{};
  stops['\\'] = stops['{'] = stops['}'] = kStopsText;
  stops[' '] = kStopsControl;
  return stops;
}();

// Whether the scan of a token stops at `c`, followed by `next`.
bool StopsAt(char c, char next, std::uint8_t stops) {
  const std::uint8_t stop = kStops[static_cast<unsigned char>(c)] & stops;
  return stop == kStopsControl || (stop == kStopsText && next != '\\');
}

// Eight characters at a time, the top bit of each byte of `word` that equals `c`
// is set; bits above a set one may be wrong, so only the lowest set bit counts.
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
  constexpr std::uint64_t kOnes = 0x0101010101010101U;
  const std::uint64_t x = word ^ (kOnes * c);
  return (x - kOnes) & ~x & (kOnes << 7);
}

}  // namespace

std::string_view NormalizeEnds(std::string_view s) {
  s = TrimSpaces(s);
  while (!s.empty() && IsLineBreak(s.back())) s.remove_suffix(1);
  while (!s.empty() && IsLineBreak(s.front())) s.remove_prefix(1);
  return s;
}

// The rest of the body is normalised again after every line. Its front loses
// the line breaks (the line's own end and any empty lines); its back loses one
// more layer of spaces and line breaks each time, exactly as repeated
// normalisation of the whole rest would.
void BodyReader::TrimRest() {
  while (end_ > pos_ && body_[end_ - 1] == ' ') --end_;
  while (end_ > pos_ && IsLineBreak(body_[end_ - 1])) --end_;
  while (pos_ < end_ && IsLineBreak(body_[pos_])) ++pos_;
}

std::string_view BodyReader::NextLine() {
  const std::size_t k = body_.find("\r\n", pos_);
  if (k == std::string_view::npos || k + 2 > end_) {
    const std::string_view line = NormalizeEnds(body_.substr(pos_, end_ - pos_));
    pos_ = end_;
    return line;
  }
  const std::string_view line = NormalizeEnds(body_.substr(pos_, k + 1 - pos_));
  // The rest starts with the CR LF, so trimming spaces only touches its back.
  pos_ = k;
  TrimRest();
  return line;
}

void LineReader::Start(std::string_view line) {
  pushed_.clear();
  line_ = line;
  pos_ = 0;
}

bool LineReader::StartsWith(std::string_view prefix) const {
  if (size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (at(i) != prefix[i]) return false;
  }
  return true;
}

std::size_t LineReader::CharacterLength(std::size_t i) const {
  if (at(i) != '&') return 1;
  char entity[5];
  std::size_t n = 0;
  for (; n < sizeof entity && i + n < size(); ++n) entity[n] = at(i + n);
  return std::max<std::size_t>(1, EscapedCharacterLength(std::string_view(entity, n)));
}

void LineReader::Drop(std::size_t count) {
  const std::size_t fromPushed = std::min(count, pushed_.size());
  pushed_.resize(pushed_.size() - fromPushed);
  pos_ += std::min(count - fromPushed, line_.size() - pos_);
}

void LineReader::PutBack(std::string_view text) {
  const std::size_t at = pushed_.size();
  pushed_.resize(at + text.size());
  std::reverse_copy(text.begin(), text.end(), pushed_.begin() + static_cast<std::ptrdiff_t>(at));
}

// Written out because text runs are short: a memchr per stopping character
// costs more there, and this reads eight characters per step.
std::size_t LineReader::NextTextStop(std::size_t from) const {
  std::size_t at = from;
  if constexpr (std::endian::native == std::endian::little) {
    for (; at + 8 <= line_.size(); at += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, line_.data() + at, sizeof word);
      const std::uint64_t stops =
          BytesEqual(word, '\\') | BytesEqual(word, '{') | BytesEqual(word, '}');
      if (stops != 0) return at + static_cast<std::size_t>(std::countr_zero(stops)) / 8;
    }
  }
  for (; at < line_.size(); ++at) {
    if ((kStops[static_cast<unsigned char>(line_[at])] & kStopsText) != 0) return at;
  }
  return std::string_view::npos;
}

// The token's end, scanning what was put back character by character and the
// line in place. The first character is no brace.
std::size_t LineReader::ScanTokenEnd(std::size_t length) const {
  const std::size_t ahead = pushed_.size();
  const char* line = line_.data() + pos_;  // line[i - ahead] is at(i) from i = ahead on
  const std::uint8_t stops = at(0) == '\\' ? kStopsText | kStopsControl : kStopsText;
  // i is the index of the character that stops the scan; the last character of
  // the line is never examined, so the token then runs to the end.
  std::size_t i = 1;
  if (ahead > 1) {
    // What was put back reads backwards from its end: at(i) is back(i) below `ahead`.
    const auto back = [this, ahead](std::size_t i) { return pushed_[ahead - 1 - i]; };
    while (i + 1 < length && i + 1 < ahead && !StopsAt(back(i), back(i + 1), stops)) ++i;
    if (i + 1 < length && i + 1 == ahead && !StopsAt(back(i), line[0], stops)) ++i;
  }
  if (stops == kStopsText) {
    // Text runs long: skip to the next backslash or brace of the line.
    while (i + 1 < length && i >= ahead) {
      const std::size_t stop = NextTextStop(pos_ + i - ahead);
      if (stop == std::string_view::npos) {
        i = length;
        break;
      }
      i = stop - pos_ + ahead;
      if (i + 1 >= length || StopsAt(line[i - ahead], line[i + 1 - ahead], stops)) break;
      ++i;
    }
  }
  while (i + 1 < length && i >= ahead && !StopsAt(line[i - ahead], line[i + 1 - ahead], stops)) {
    ++i;
  }
  std::size_t end = i + 1 < length ? i : length;
  while (end > 0 && IsBrace(at(end - 1))) --end;
  return end;
}

LineReader::Cut LineReader::NextCut() const {
  const std::size_t length = size();
  if (IsBrace(at(0))) return {1, false};
  if (StartsWith("\\'")) {
    // The backslash, the apostrophe and two characters of the document.
    std::size_t end = 2;
    for (int digit = 0; digit < 2 && end < length; ++digit) end += CharacterLength(end);
    return {std::min(end, length), false};
  }
  return {ScanTokenEnd(length), true};
}

std::string_view LineReader::NextToken(bool* tookSpace) {
  if (tookSpace) *tookSpace = false;
  if (empty()) return {};
  const Cut cut = NextCut();
  std::string_view token;
  if (pushed_.empty()) {
    token = line_.substr(pos_, cut.end);
  } else {
    const std::size_t ahead = std::min(cut.end, pushed_.size());
    token_.resize(cut.end);
    std::reverse_copy(pushed_.end() - static_cast<std::ptrdiff_t>(ahead), pushed_.end(),
                      token_.begin());
    std::copy_n(line_.data() + pos_, cut.end - ahead,
                token_.begin() + static_cast<std::ptrdiff_t>(ahead));
    token = token_;
  }
  Drop(cut.end);
  if (cut.takesSpace && !empty() && at(0) == ' ') {
    Drop(1);
    if (tookSpace) *tookSpace = true;
  }
  return token;
}

void LineReader::SkipToken() {
  if (empty()) return;
  const Cut cut = NextCut();
  Drop(cut.end);
  if (cut.takesSpace && !empty() && at(0) == ' ') Drop(1);
}

}  // namespace quillet
