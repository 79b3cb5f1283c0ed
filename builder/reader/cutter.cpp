#include "builder/reader/cutter.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace quillet::reader {
namespace {

constexpr std::size_t npos = std::string_view::npos;
// Longer than any character reference; a cut this far from an "&" is outside it.
constexpr std::size_t kLongestReference = 40;
// Balanced layouts that miss the budget are tried again with one more part,
// at most this many times, before the greedy layout is taken.
constexpr int kEvenTries = 8;

constexpr std::array<std::string_view, 7> kClosingQuotes{"&rdquo;", "&rsquo;", "&raquo;", "&#8221;",
                                                         "&#8217;", "&#187;",  "&quot;"};

bool IsParagraphEnd(std::string_view tag) {
  return tag == "<br>" || tag == "</li>" || tag == "</ul>" || tag.ends_with("</table>");
}

// Text holds no "<", so the nearest one before a ">" starts its tag.
std::size_t TagStartBefore(std::string_view html, std::size_t end) {
  return html.rfind('<', end - 1);
}

// True when the space at `space` follows the end of a sentence: ".", "!", "?"
// or an ellipsis, then perhaps closing quotes, brackets and end tags.
bool EndsSentence(std::string_view html, std::size_t space) {
  std::size_t at = space;
  for (int step = 0; step < 8 && at > 0; ++step) {
    const char c = html[at - 1];
    if (c == '.' || c == '!' || c == '?') return true;
    if (c == '>') {
      at = TagStartBefore(html, at);
    } else if (c == '"' || c == '\'' || c == ')' || c == ']') {
      --at;
    } else if (c == ';') {
      const std::size_t amp = html.rfind('&', at - 1);
      if (amp == npos || at - amp > kLongestReference) return false;
      const std::string_view reference = html.substr(amp, at - amp);
      if (reference == "&hellip;" || reference == "&#8230;") return true;
      if (std::find(kClosingQuotes.begin(), kClosingQuotes.end(), reference) ==
          kClosingQuotes.end()) {
        return false;
      }
      at = amp;
    } else {
      return false;
    }
  }
  return false;
}

// The place of each kind in (low, high] nearest to `target`.
struct Places {
  std::optional<std::size_t> paragraph;
  std::optional<std::size_t> sentence;
  std::optional<std::size_t> space;
};

void KeepNearest(std::optional<std::size_t>& kept, std::size_t place, std::size_t target) {
  const auto distance = [target](std::size_t at) {
    return at > target ? at - target : target - at;
  };
  if (!kept || distance(place) < distance(*kept)) kept = place;
}

Places NearestPlaces(std::string_view html, std::size_t low, std::size_t high, std::size_t target) {
  Places found;
  for (std::size_t at = high; at > low;) {
    const char c = html[at - 1];
    if (c == '>') {
      const std::size_t start = TagStartBefore(html, at);
      if (IsParagraphEnd(html.substr(start, at - start))) KeepNearest(found.paragraph, at, target);
      at = start;
      continue;
    }
    if (c == ' ') {
      KeepNearest(found.space, at, target);
      if (EndsSentence(html, at - 1)) KeepNearest(found.sentence, at, target);
    }
    --at;
  }
  return found;
}

// The latest space or paragraph end in (low, high].
std::optional<std::size_t> LatestBreak(std::string_view html, std::size_t low, std::size_t high) {
  const Places found = NearestPlaces(html, low, high, high);
  if (found.space && found.paragraph) return std::max(*found.space, *found.paragraph);
  return found.space ? found.space : found.paragraph;
}

// The first space or paragraph end in (from, high].
std::optional<std::size_t> FirstBreak(std::string_view html, std::size_t from, std::size_t high) {
  for (std::size_t at = from; at < high;) {
    if (html[at] == ' ') return at + 1;
    if (html[at] != '<') {
      ++at;
      continue;
    }
    const std::size_t end = html.find('>', at) + 1;
    if (end > high) break;
    if (IsParagraphEnd(html.substr(at, end - at))) return end;
    at = end;
  }
  return std::nullopt;
}

// Where a part of `left` equal ones would end.
std::size_t EvenEnd(std::size_t begin, std::size_t size, int left) {
  return begin + (size - begin) / static_cast<std::size_t>(left);
}

}  // namespace

std::size_t CitedNotes::BytesIn(std::size_t begin, std::size_t end) const {
  const auto first = std::lower_bound(anchors.begin(), anchors.end(), begin);
  const auto last = std::lower_bound(first, anchors.end(), end);
  if (first == last) return 0;
  return headingBytes + bytesBefore[last - anchors.begin()] - bytesBefore[first - anchors.begin()];
}

std::optional<std::vector<Span>> Cutter::Cut() const {
  if (rules_.pageBytes == 0) return Layout(std::max(rules_.partCount, 1));
  const std::optional<std::vector<Span>> greedy = Layout(0);
  if (!greedy) return std::nullopt;
  int count = std::max(rules_.partCount, static_cast<int>(greedy->size()));
  for (int tries = 0; tries < kEvenTries && count <= rules_.maxParts; ++tries, ++count) {
    if (std::optional<std::vector<Span>> even = Layout(count)) return even;
  }
  return greedy;
}

std::size_t Cutter::BodyBytes(Span part) const {
  return body_.states[body_.StateAt(part.begin)].openBytes + (part.end - part.begin) +
         body_.states[body_.StateAt(part.end)].closeBytes;
}

std::optional<std::vector<Span>> Cutter::Layout(int count) const {
  const std::size_t size = body_.html.size();
  std::vector<Span> parts;
  for (std::size_t begin = 0;;) {
    const std::optional<std::size_t> hardEnd = MaxFit(begin);
    if (!hardEnd) return std::nullopt;
    const int left = count - static_cast<int>(parts.size());
    const bool last = count == 0 ? *hardEnd == size : left <= 1;
    if (last || begin >= body_.textEnd) {
      if (*hardEnd != size) return std::nullopt;
      parts.push_back({begin, size});
      return parts;
    }
    if (static_cast<int>(parts.size()) + 1 >= rules_.maxParts) return std::nullopt;
    const std::size_t target =
        count == 0 ? *hardEnd : std::min(*hardEnd, EvenEnd(begin, size, left));
    const std::optional<std::size_t> cut = ChooseCut(begin, target, *hardEnd);
    if (!cut || *cut <= begin) return std::nullopt;
    // When only markup would follow the cut, the rest stays with this part.
    if (*cut >= body_.textEnd && *hardEnd == size) {
      parts.push_back({begin, size});
      return parts;
    }
    parts.push_back({begin, *cut});
    begin = *cut;
  }
}

// The furthest end for a part from `begin` whose page, with the notes cited
// in it, keeps to the budget, or nothing when not even one character fits.
std::optional<std::size_t> Cutter::MaxFit(std::size_t begin) const {
  if (rules_.pageBytes == 0) return body_.html.size();
  const std::size_t open = body_.states[body_.StateAt(begin)].openBytes;
  if (rules_.frameBytes + open >= rules_.pageBytes) return std::nullopt;
  const std::size_t room = rules_.pageBytes - rules_.frameBytes - open;
  if (rules_.notes == nullptr) return MaxFitInRoom(begin, room);
  return MaxFitWithNotes(begin, room, *rules_.notes);
}

// With j citations in the part, its text ends at the (j+1)-th and leaves
// room for j notes: the best j is where those two limits cross, found from
// the most citations whose notes fit downwards.
std::optional<std::size_t> Cutter::MaxFitWithNotes(std::size_t begin, std::size_t room,
                                                   const CitedNotes& notes) const {
  const std::vector<std::size_t>& anchors = notes.anchors;
  const std::size_t first =
      std::lower_bound(anchors.begin(), anchors.end(), begin) - anchors.begin();
  const std::size_t before = notes.bytesBefore[first];
  const auto fitting =
      room <= notes.headingBytes
          ? notes.bytesBefore.begin() + static_cast<std::ptrdiff_t>(first)
          : std::upper_bound(notes.bytesBefore.begin() + static_cast<std::ptrdiff_t>(first),
                             notes.bytesBefore.end(), before + room - notes.headingBytes);
  std::size_t count = static_cast<std::size_t>(fitting - notes.bytesBefore.begin()) - first;
  count = count > 0 ? count - 1 : 0;
  std::optional<std::size_t> best;
  for (std::size_t cited = count + 1; cited-- > 0;) {
    const std::size_t limit =
        first + cited < anchors.size() ? anchors[first + cited] : body_.html.size();
    const std::size_t bytes =
        cited == 0 ? 0 : notes.headingBytes + notes.bytesBefore[first + cited] - before;
    if (bytes >= room) continue;
    const std::optional<std::size_t> end = MaxFitInRoom(begin, room - bytes);
    if (!end) continue;
    if (std::min(*end, limit) > begin) best = std::max(best.value_or(0), std::min(*end, limit));
    if (*end >= limit) break;
  }
  return best;
}

// The furthest end for a part from `begin` whose text and end tags take at
// most `room` bytes.
std::optional<std::size_t> Cutter::MaxFitInRoom(std::size_t begin, std::size_t room) const {
  const std::size_t size = body_.html.size();
  // Everything is closed at the end of the body.
  if (size - begin <= room) return size;
  // Between two changes the end tags a cut needs stay the same: walk back
  // stretch by stretch until the text and its end tags fit.
  std::size_t upper = std::min(size, begin + room);
  auto change =
      std::upper_bound(body_.changes.begin(), body_.changes.end(), upper,
                       [](std::size_t at, const BalancedBody::Change& c) { return at < c.tagEnd; });
  while (true) {
    const bool first = change == body_.changes.begin();
    const std::size_t stretch = first ? 0 : std::prev(change)->tagEnd;
    const std::uint32_t state = first ? 0 : std::prev(change)->state;
    const std::size_t close = body_.states[state].closeBytes;
    if (begin + room >= close) {
      const std::size_t end = ValidBefore(std::min(upper, begin + room - close), stretch);
      if (end >= stretch && end > begin) return end;
    }
    if (first || stretch <= begin) return std::nullopt;
    --change;
    upper = change->tagStart;
  }
}

// Where the part from `begin` ends, as near `target` as the rules allow and
// never past `hardEnd`.
std::optional<std::size_t> Cutter::ChooseCut(std::size_t begin, std::size_t target,
                                             std::size_t hardEnd) const {
  const std::string_view html = body_.html;
  const std::optional<std::size_t> visible = FirstVisible(begin, hardEnd);
  // A part holds at least one visible character whenever the budget allows.
  if (visible) {
    const std::size_t after = html[*visible] == '&' ? html.find(';', *visible) + 1 : *visible + 1;
    target = std::max(target, std::min(after, hardEnd));
  }
  target = ValidBefore(target, begin);
  if (!rules_.cleanCuts || !visible) return PastEndTags(target);
  if (std::optional<std::size_t> clean = CleanCut(begin, *visible, target, hardEnd)) {
    return PastEndTags(*clean);
  }
  // No space within reach: the rest is one word, or a word longer than a page.
  if (hardEnd == html.size()) return hardEnd;
  return PastEndTags(ValidBefore(hardEnd, begin));
}

// A paragraph end in the last fifth of the part, else a sentence end there,
// else a space there, each the nearest to `target`; the part may run a tenth
// past `target` to find one. Else the space or paragraph end nearest before
// or after.
std::optional<std::size_t> Cutter::CleanCut(std::size_t begin, std::size_t visible,
                                            std::size_t target, std::size_t hardEnd) const {
  const std::string_view html = body_.html;
  const std::size_t end = ValidBefore(std::min(hardEnd, target + (target - begin) / 10), target);
  const std::size_t low = std::max(visible, begin + (end - begin) * 4 / 5);
  const Places places = NearestPlaces(html, low, end, target);
  if (places.paragraph) return places.paragraph;
  if (places.sentence) return places.sentence;
  if (places.space) return places.space;
  const std::optional<std::size_t> before = LatestBreak(html, visible, low);
  const std::optional<std::size_t> after = FirstBreak(html, end, hardEnd);
  if (before && after) return end - *before <= *after - end ? before : after;
  return before ? before : after;
}

// The nearest place at or before `position` (and not before `floor`) that is
// outside every tag and character reference.
std::size_t Cutter::ValidBefore(std::size_t position, std::size_t floor) const {
  const auto change = std::upper_bound(
      body_.changes.begin(), body_.changes.end(), position,
      [](std::size_t at, const BalancedBody::Change& c) { return at <= c.tagStart; });
  if (change != body_.changes.begin() && position < std::prev(change)->tagEnd) {
    return std::max(std::prev(change)->tagStart, floor);
  }
  const std::string_view html = body_.html;
  for (std::size_t at = position; at > floor && position - at < kLongestReference; --at) {
    const char c = html[at - 1];
    if (c == '<' || c == '&') return at - 1;
    if (c == '>' || c == ';' || c == ' ') break;
  }
  return position;
}

// Past the end tags that follow `position`: a part takes the end tags right
// after its last text, so the next does not open what it closes at once.
std::size_t Cutter::PastEndTags(std::size_t position) const {
  auto change = std::lower_bound(
      body_.changes.begin(), body_.changes.end(), position,
      [](const BalancedBody::Change& c, std::size_t at) { return c.tagStart < at; });
  while (change != body_.changes.end() && change->tagStart == position &&
         body_.html.compare(position, 2, "</") == 0) {
    position = change->tagEnd;
    ++change;
  }
  return position;
}

std::optional<std::size_t> Cutter::FirstVisible(std::size_t from, std::size_t limit) const {
  const std::string_view html = body_.html;
  for (std::size_t at = from; at < limit;) {
    const char c = html[at];
    if (c == '<') {
      at = html.find('>', at) + 1;
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++at;
    } else if (html.compare(at, 6, "&nbsp;") == 0) {
      at += 6;
    } else {
      return at;
    }
  }
  return std::nullopt;
}

}  // namespace quillet::reader
