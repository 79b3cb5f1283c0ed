#include "builder/reader/balancer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <unordered_map>

namespace quillet::reader {
namespace {

// As many open elements as the converter itself keeps; deeper start tags are
// dropped, so that hostile input costs each token a bounded amount of work.
constexpr std::size_t kMaxDepth = 1000;
// A heading is a paragraph of at most this many characters.
constexpr std::size_t kHeadingLength = 120;

constexpr std::size_t kElementKinds = 10;

std::size_t IndexOf(Element element) {
  return static_cast<std::size_t>(element);
}

// The size a font tag sets ("<font color="#FF0000" size=5>"), or 0.
int FontSizeOf(std::string_view tag) {
  const std::size_t at = tag.find(" size=");
  if (at == std::string_view::npos) return 0;
  const std::string_view digits = tag.substr(at + 6);
  int size = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), size);
  return size;
}

}  // namespace

class Balancer::Impl {
 public:
  Impl(std::size_t bodyBytes, int defaultFontSize) : defaultFontSize_(defaultFontSize) {
    out_.html.reserve(bodyBytes + bodyBytes / 8);  // closing and reopening add a little
  }

  void Add(const BodyToken& token);
  BalancedBody Finish();
  std::size_t Size() const { return out_.html.size(); }
  std::size_t TextEnd() const { return out_.textEnd; }

 private:
  enum class Mark : std::uint8_t { kPending, kWritten, kCollapsed };
  struct Entry {
    Element element;
    std::uint32_t tag;
    Mark mark;
  };
  // The paragraph being written, for finding headings.
  struct Paragraph {
    Span text;
    std::size_t length = 0;
    bool bold = true;
    bool large = true;
    bool centred = true;
  };

  void StartInline(Element element, std::string_view tag);
  void StartBlock(Element element, std::string_view tag);
  void EndInline(Element element);
  void EndBlock(Element element);
  void Text(std::string_view text);
  void Break();

  void PushInline(Entry entry);
  void PushBlock(Element element, std::uint32_t tag);
  void Pop();
  std::vector<Entry> PopDownTo(std::size_t size);
  void PushAgain(const std::vector<Entry>& entries);
  void CloseListAtListLevel();
  void OpenUpTo(std::size_t size);
  void WriteStart(Entry& entry);
  void WriteEnd(const Entry& entry);
  Element InnermostBlock() const;
  std::uint32_t Intern(std::string_view tag, Element element);
  void NoteText(Span text);
  void EndParagraph();

  BalancedBody out_;
  // Blocks at the bottom, inline elements above them; the written entries are
  // at the bottom too, so opening what is pending walks from `settled_` up.
  std::vector<Entry> stack_;
  std::size_t blocks_ = 0;
  std::size_t settled_ = 0;
  std::uint32_t state_ = 0;
  // Counts of entries in the stack, by tag and by element.
  std::vector<int> tagCount_;
  std::array<int, kElementKinds> elementCount_{};
  int bold_ = 0;
  int large_ = 0;
  // What each interned tag means.
  std::unordered_map<std::string, std::uint32_t> tagIndex_;
  std::string tagKey_;
  std::vector<bool> largeTag_;
  std::vector<bool> centredTag_;
  Paragraph paragraph_;
  bool spaceOwed_ = false;  // a line break or blank text since the last text
  int defaultFontSize_;
};

void Balancer::Impl::Add(const BodyToken& token) {
  switch (token.kind) {
    case TokenKind::kText:
      Text(token.text);
      break;
    case TokenKind::kStart:
      if (IsBlock(token.element)) {
        StartBlock(token.element, token.text);
      } else {
        StartInline(token.element, token.text);
      }
      break;
    case TokenKind::kEnd:
      if (IsBlock(token.element)) {
        EndBlock(token.element);
      } else {
        EndInline(token.element);
      }
      break;
    case TokenKind::kBreak:
      Break();
      break;
    case TokenKind::kOther:  // the converter writes no other tag
      break;
  }
}

BalancedBody Balancer::Impl::Finish() {
  EndParagraph();
  PopDownTo(0);
  return std::move(out_);
}

void Balancer::Impl::StartInline(Element element, std::string_view tag) {
  if (stack_.size() >= kMaxDepth) return;
  PushInline({element, Intern(tag, element), Mark::kPending});
}

void Balancer::Impl::StartBlock(Element element, std::string_view tag) {
  if (stack_.size() >= kMaxDepth) return;
  EndParagraph();
  // A new item ends the one before it; a table never stands inside a list.
  if (element == Element::kItem && InnermostBlock() == Element::kItem) EndBlock(Element::kItem);
  if (element == Element::kTable) CloseListAtListLevel();
  const std::vector<Entry> inner = PopDownTo(blocks_);
  if (element == Element::kItem && InnermostBlock() != Element::kList) {
    PushBlock(Element::kList, Intern("<ul>", Element::kList));
  }
  PushBlock(element, Intern(tag, element));
  PushAgain(inner);
}

void Balancer::Impl::EndInline(Element element) {
  if (elementCount_[IndexOf(element)] == 0) return;  // nothing to close: a stray end tag
  std::size_t at = stack_.size() - 1;
  while (stack_[at].element != element) --at;
  const std::vector<Entry> inner = PopDownTo(at + 1);
  Pop();
  PushAgain(inner);
}

void Balancer::Impl::EndBlock(Element element) {
  if (elementCount_[IndexOf(element)] == 0) return;
  EndParagraph();
  std::size_t at = blocks_ - 1;
  while (stack_[at].element != element) --at;
  // Formatting still open goes on after the block, as the converter means it.
  const std::vector<Entry> inner = PopDownTo(blocks_);
  PopDownTo(at);
  PushAgain(inner);
}

void Balancer::Impl::Text(std::string_view text) {
  if (text.empty()) return;
  if (IsBlankText(text)) {
    // Blank text opens nothing: an element around spaces alone is empty.
    AppendPageText(out_.html, text);
    spaceOwed_ = true;
    return;
  }
  CloseListAtListLevel();
  OpenUpTo(stack_.size());
  const std::size_t begin = out_.html.size();
  AppendPageText(out_.html, text);
  out_.texts.push_back({begin, out_.html.size(), spaceOwed_});
  spaceOwed_ = false;
  NoteText({begin, out_.html.size()});
}

void Balancer::Impl::Break() {
  CloseListAtListLevel();
  OpenUpTo(blocks_);
  out_.html += "<br>";
  spaceOwed_ = true;
  EndParagraph();
}

void Balancer::Impl::PushInline(Entry entry) {
  const bool twin = tagCount_[entry.tag] > 0;
  entry.mark = twin ? Mark::kCollapsed : Mark::kPending;
  stack_.push_back(entry);
  ++tagCount_[entry.tag];
  ++elementCount_[IndexOf(entry.element)];
  if (entry.element == Element::kB) ++bold_;
  if (largeTag_[entry.tag]) ++large_;
}

void Balancer::Impl::PushBlock(Element element, std::uint32_t tag) {
  stack_.push_back({element, tag, Mark::kPending});
  ++blocks_;
  ++tagCount_[tag];
  ++elementCount_[IndexOf(element)];
}

void Balancer::Impl::Pop() {
  const Entry entry = stack_.back();
  if (entry.mark == Mark::kWritten) WriteEnd(entry);
  stack_.pop_back();
  settled_ = std::min(settled_, stack_.size());
  if (IsBlock(entry.element)) --blocks_;
  --tagCount_[entry.tag];
  --elementCount_[IndexOf(entry.element)];
  if (entry.element == Element::kB) --bold_;
  if (largeTag_[entry.tag]) --large_;
}

// Pops entries until `size` are left and returns them, the outermost first.
std::vector<Balancer::Impl::Entry> Balancer::Impl::PopDownTo(std::size_t size) {
  std::vector<Entry> popped;
  while (stack_.size() > size) {
    popped.push_back(stack_.back());
    Pop();
  }
  std::reverse(popped.begin(), popped.end());
  return popped;
}

void Balancer::Impl::PushAgain(const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) PushInline(entry);
}

// Content right inside a list, after its last item, ends the list.
void Balancer::Impl::CloseListAtListLevel() {
  if (InnermostBlock() != Element::kList) return;
  const std::vector<Entry> inner = PopDownTo(blocks_);
  Pop();
  PushAgain(inner);
}

void Balancer::Impl::OpenUpTo(std::size_t size) {
  for (std::size_t i = settled_; i < size; ++i) {
    if (stack_[i].mark == Mark::kPending) WriteStart(stack_[i]);
  }
  settled_ = std::max(settled_, size);
}

void Balancer::Impl::WriteStart(Entry& entry) {
  const std::size_t tagStart = out_.html.size();
  const std::string& tag = out_.startTags[entry.tag];
  out_.html += tag;
  const BalancedBody::State& outer = out_.states[state_];
  out_.states.push_back({state_, entry.tag, outer.openBytes + tag.size(),
                         outer.closeBytes + EndTagOf(entry.element).size()});
  state_ = static_cast<std::uint32_t>(out_.states.size() - 1);
  out_.changes.push_back({tagStart, out_.html.size(), state_});
  entry.mark = Mark::kWritten;
}

void Balancer::Impl::WriteEnd(const Entry& entry) {
  const std::size_t tagStart = out_.html.size();
  out_.html += EndTagOf(entry.element);
  state_ = out_.states[state_].parent;
  out_.changes.push_back({tagStart, out_.html.size(), state_});
}

Element Balancer::Impl::InnermostBlock() const {
  // Bold stands for "no block": it is never one.
  return blocks_ == 0 ? Element::kB : stack_[blocks_ - 1].element;
}

std::uint32_t Balancer::Impl::Intern(std::string_view tag, Element element) {
  tagKey_.assign(tag);  // one buffer for the lookups, not a string per tag
  const auto [at, added] =
      tagIndex_.try_emplace(tagKey_, static_cast<std::uint32_t>(out_.startTags.size()));
  if (added) {
    out_.startTags.emplace_back(tag);
    out_.tagElements.push_back(element);
    tagCount_.push_back(0);
    largeTag_.push_back(element == Element::kFont && FontSizeOf(tag) > defaultFontSize_);
    centredTag_.push_back(element == Element::kTable &&
                          tag.find("align=\"center\"") != std::string_view::npos);
  }
  return at->second;
}

void Balancer::Impl::NoteText(Span text) {
  if (paragraph_.length == 0) paragraph_.text.begin = text.begin;
  paragraph_.text.end = text.end;
  // Past the heading length only "too long" matters.
  if (paragraph_.length <= kHeadingLength) {
    paragraph_.length +=
        VisibleLength(std::string_view(out_.html).substr(text.begin, text.end - text.begin));
  }
  paragraph_.bold = paragraph_.bold && bold_ > 0;
  paragraph_.large = paragraph_.large && large_ > 0;
  paragraph_.centred = paragraph_.centred && InnermostBlock() == Element::kTable &&
                       centredTag_[stack_[blocks_ - 1].tag];
  out_.textEnd = text.end;
}

void Balancer::Impl::EndParagraph() {
  const Paragraph& done = paragraph_;
  if (done.length > 0 && done.length <= kHeadingLength &&
      (done.bold || done.large || done.centred)) {
    out_.headings.push_back(done.text);
  }
  paragraph_ = Paragraph{};
}

Balancer::Balancer(std::size_t expectedBytes, int defaultFontSize)
    : impl_(std::make_unique<Impl>(expectedBytes, defaultFontSize)) {}
Balancer::~Balancer() = default;

void Balancer::Add(const BodyToken& token) {
  impl_->Add(token);
}

std::size_t Balancer::Size() const {
  return impl_->Size();
}

std::size_t Balancer::TextEnd() const {
  return impl_->TextEnd();
}

BalancedBody Balancer::Finish() {
  return impl_->Finish();
}

std::uint32_t BalancedBody::StateAt(std::size_t position) const {
  const auto after =
      std::upper_bound(changes.begin(), changes.end(), position,
                       [](std::size_t at, const Change& change) { return at < change.tagEnd; });
  return after == changes.begin() ? 0 : std::prev(after)->state;
}

std::string BalancedBody::OpeningTags(std::uint32_t state) const {
  std::vector<std::uint32_t> tags;
  for (std::uint32_t at = state; at != 0; at = states[at].parent) tags.push_back(states[at].tag);
  std::string opening;
  opening.reserve(states[state].openBytes);
  for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) opening += startTags[*tag];
  return opening;
}

std::string BalancedBody::ClosingTags(std::uint32_t state) const {
  std::string closing;
  closing.reserve(states[state].closeBytes);
  for (std::uint32_t at = state; at != 0; at = states[at].parent) {
    closing += EndTagOf(tagElements[states[at].tag]);
  }
  return closing;
}

std::string BalancedBody::Standalone(Span span) const {
  std::string markup = OpeningTags(StateAt(span.begin));
  markup.append(html, span.begin, span.end - span.begin);
  return markup += ClosingTags(StateAt(span.end));
}

BalancedBody Balance(std::string_view body, int defaultFontSize) {
  Balancer balancer(body.size(), defaultFontSize);
  BodyTokenizer tokens(body);
  for (BodyToken token; tokens.Next(token);) balancer.Add(token);
  return balancer.Finish();
}

}  // namespace quillet::reader
