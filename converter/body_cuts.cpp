#include "converter/body_cuts.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "converter/text_utils.h"

namespace quillet {
namespace {

constexpr std::string_view kDoubled = "\r\n\r\n";
constexpr std::size_t kNone = std::string_view::npos;

// Where the last doubled CR LF of `text` starts, plus one; 0 when there is none.
std::size_t DoubledBreaksEnd(std::string_view text) {
  std::size_t end = 0;
  for (std::size_t hit = text.find(kDoubled); hit != kNone; hit = text.find(kDoubled, hit + 1)) {
    end = hit + 1;
  }
  return end;
}

// Collapses every doubled CR LF of text[0, size) into one, left to right, in
// place; collapsed text is never searched again. Returns the new size.
std::size_t CollapseInPlace(char* text, std::size_t size) {
  const std::string_view view(text, size);
  std::size_t hit = view.find(kDoubled);
  if (hit == kNone) return size;
  std::size_t write = hit;
  while (hit != kNone) {
    std::memcpy(text + write, "\r\n", 2);
    write += 2;
    // Searching never reaches what was written: it runs ahead of `write`.
    const std::size_t next = view.find(kDoubled, hit + kDoubled.size());
    const std::size_t stop = next == kNone ? size : next;
    const std::size_t kept = stop - (hit + kDoubled.size());
    std::memmove(text + write, text + hit + kDoubled.size(), kept);
    write += kept;
    hit = next;
  }
  return write;
}

}  // namespace

TextSpan GroupAround(std::string_view body, std::size_t pos) {
  // Positions below are 1-based, as the scans count them; at(p) reads body[p - 1].
  const auto n = static_cast<long long>(body.size());
  const auto at = [body](long long p) { return body[static_cast<std::size_t>(p - 1)]; };
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
  return {static_cast<std::size_t>(start), static_cast<std::size_t>(std::max(stop - 1, start))};
}

BodyText::BodyText(std::string& buffer, std::size_t first, std::size_t size)
    : buffer_(&buffer), first_(first), size_(size) {}

void BodyText::Cut(TextSpan span) {
  const std::size_t length = span.rest - span.first;
  char* data = buffer_->data() + first_;
  if (span.first < size_ - span.rest) {
    std::memmove(data + length, data, span.first);
    first_ += length;
  } else {
    std::memmove(data + span.first, data + span.rest, size_ - span.rest);
  }
  size_ -= length;
  // Doubled breaks after the cut move with it; new ones can only straddle it.
  if (doubledEnd_ != kUnknown) {
    doubledEnd_ = std::max(span.first, doubledEnd_ > span.rest ? doubledEnd_ - length : 0);
  }
}

void BodyText::CollapseDoubledBreaks() {
  if (doubledEnd_ == kUnknown) doubledEnd_ = DoubledBreaksEnd(view());
  // Only the front that holds doubled breaks changes; it moves up to the rest.
  const std::size_t front = std::min(size_, doubledEnd_ + kDoubled.size() - 1);
  char* data = buffer_->data() + first_;
  const std::size_t kept = CollapseInPlace(data, front);
  const std::size_t removed = front - kept;
  if (removed == 0) return;
  std::memmove(data + removed, data, kept);
  first_ += removed;
  size_ -= removed;
}

std::string ExtractGroup(std::string& body, std::size_t pos) {
  const TextSpan span = GroupAround(body, pos);
  std::string group = body.substr(span.first, span.rest - span.first);
  BodyText text(body, 0, body.size());
  text.Cut(span);
  text.CollapseDoubledBreaks();
  const std::size_t offset = text.offset();
  body.resize(offset + text.view().size());
  body.erase(0, offset);
  return group;
}

WordPlaces::WordPlaces(std::string_view text, std::span<const std::string_view> words)
    : words_(words.first(std::min(words.size(), kMaxWords))) {
  first_.fill(kNone);
  std::array<std::uint8_t, 256> bySecond{};  // bit k: words[k] has this second character
  for (std::size_t k = 0; k < words_.size(); ++k) {
    bySecond[static_cast<unsigned char>(words_[k][1])] |= static_cast<std::uint8_t>(1U << k);
  }
  unsigned missing = (1U << words_.size()) - 1;
  const char* const end = text.data() + text.size();
  for (const char* at = text.data(); missing != 0 && end - at >= 2; ++at) {
    at = static_cast<const char*>(std::memchr(at, '\\', static_cast<std::size_t>(end - at - 1)));
    if (at == nullptr) break;
    for (unsigned bits = bySecond[static_cast<unsigned char>(at[1])] & missing; bits != 0;
         bits &= bits - 1) {
      const auto k = static_cast<std::size_t>(std::countr_zero(bits));
      if (std::string_view(at, static_cast<std::size_t>(end - at)).starts_with(words_[k])) {
        first_[k] = static_cast<std::size_t>(at - text.data());
        missing &= ~(1U << k);
      }
    }
  }
  mayStand_ = static_cast<std::uint8_t>(((1U << words_.size()) - 1) & ~missing);
}

std::size_t WordPlaces::Find(std::size_t k, std::string_view text) const {
  if (!cut_) return first_[k];
  return (mayStand_ >> k & 1U) != 0 ? FindWord(text, words_[k]) : kNone;
}

void WordPlaces::Cut(std::string_view text, std::size_t junction) {
  cut_ = true;
  for (std::size_t k = 0; k < words_.size(); ++k) {
    if ((mayStand_ >> k & 1U) != 0) continue;
    // A word that straddles the junction starts less than its length before it.
    const std::size_t reach = words_[k].size() - 1;
    const std::size_t from = junction > reach ? junction - reach : 0;
    if (FindWord(text.substr(from, junction - from + reach), words_[k]) != kNone) {
      mayStand_ |= static_cast<std::uint8_t>(1U << k);
    }
  }
}

}  // namespace quillet
