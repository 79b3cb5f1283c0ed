#include "converter/tokenizer.h"

#include <algorithm>

#include "converter/text_utils.h"

namespace quillet {
namespace {

bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}
bool IsBrace(char c) {
  return c == '{' || c == '}';
}

}  // namespace

std::string_view NormalizeEnds(std::string_view s) {
  s = TrimSpaces(s);
  while (!s.empty() && IsLineBreak(s.back())) s.remove_suffix(1);
  while (!s.empty() && IsLineBreak(s.front())) s.remove_prefix(1);
  return s;
}

std::string ExtractGroup(std::string& body, std::size_t pos) {
  // Positions below are 1-based, as the scans count them; at(p) reads body[p - 1].
  const auto n = static_cast<long long>(body.size());
  const auto at = [&body](long long p) { return body[static_cast<std::size_t>(p - 1)]; };
  const long long word = static_cast<long long>(pos) + 1;

  long long start = word;
  for (int depth = 1; depth > 0;) {
    --start;
    if (start <= 0) {
      --depth;
    } else if (at(start) == '}') {
      ++depth;
    } else if (at(start) == '{') {
      --depth;
    }
  }
  start = std::max(start - 1, 1LL);

  long long stop = word;
  for (int depth = 1; depth > 0;) {
    ++stop;
    if (stop >= n) {
      --depth;  // the last character is never examined
    } else if (at(stop) == '{') {
      ++depth;
    } else if (at(stop) == '}') {
      --depth;
    }
  }
  stop = std::min(stop + 1, n);

  const auto first = static_cast<std::size_t>(start);
  const auto rest = static_cast<std::size_t>(std::max(stop - 1, start));
  std::string group = body.substr(first, rest - first);
  std::string cut = body.substr(0, first);
  cut.append(body, rest);
  body = ReplaceAll(cut, "\r\n\r\n", "\r\n");
  return group;
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

std::string BodyReader::NextLine() {
  const std::size_t k = body_.find("\r\n", pos_);
  if (k == std::string_view::npos || k + 2 > end_) {
    std::string line(NormalizeEnds(body_.substr(pos_, end_ - pos_)));
    pos_ = end_;
    return line;
  }
  std::string line(NormalizeEnds(body_.substr(pos_, k + 1 - pos_)));
  // The rest starts with the CR LF, so trimming spaces only touches its back.
  pos_ = k;
  TrimRest();
  return line;
}

bool LineReader::StartsWith(std::string_view prefix) const {
  if (size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (at(i) != prefix[i]) return false;
  }
  return true;
}

std::size_t LineReader::CharacterLength(std::size_t i) const {
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
  pushed_.append(text.rbegin(), text.rend());
}

std::string LineReader::NextToken(bool* tookSpace) {
  if (tookSpace) *tookSpace = false;
  const std::size_t length = size();
  if (length == 0) return {};
  if (IsBrace(at(0))) {
    std::string brace(1, at(0));
    Drop(1);
    return brace;
  }
  std::size_t end;  // the token is [0, end)
  if (StartsWith("\\'")) {
    // The backslash, the apostrophe and two characters of the document.
    end = 2;
    for (int digit = 0; digit < 2 && end < length; ++digit) end += CharacterLength(end);
    end = std::min(end, length);
    std::string token;
    for (std::size_t i = 0; i < end; ++i) token += at(i);
    Drop(end);
    return token;
  }
  // i is the 0-based index of the character that stops the scan; the last
  // character of the line is never examined, so the token then runs to the end.
  bool control = false;
  std::size_t i = 0;
  for (;; ++i) {
    if (i + 1 >= length) {
      i = length;
      break;
    }
    const char c = at(i);
    if (c == '\\' || IsBrace(c)) {
      if (c == '\\' && i == 0) control = true;
      if (i > 0 && at(i + 1) != '\\') break;
    } else if (control && c == ' ') {
      break;
    }
  }
  end = i;
  while (end > 0 && IsBrace(at(end - 1))) --end;
  std::string token;
  token.reserve(end);
  for (std::size_t j = 0; j < end; ++j) token += at(j);
  Drop(end);
  if (!empty() && at(0) == ' ') {
    Drop(1);
    if (tookSpace) *tookSpace = true;
  }
  return token;
}

}  // namespace quillet
