// One conversion: reset, options, preparing the text, the token loop, assembly.
#include <algorithm>
#include <array>

#include "converter/body_cuts.h"
#include "converter/color_table.h"
#include "converter/converter.h"
#include "converter/converter_state.h"
#include "converter/markup_sink.h"

namespace quillet {

Converter::Converter() : state_(std::make_unique<ConverterState>()) {}
Converter::~Converter() = default;
Converter::Converter(Converter&&) noexcept = default;
Converter& Converter::operator=(Converter&&) noexcept = default;

Converter Converter::Fork() const {
  Converter fork;
  *fork.state_ = *state_;
  return fork;
}

void Converter::TakeStateOf(Converter&& other) {
  state_ = std::move(other.state_);
}

bool Converter::HandsOnSameStateAs(const Converter& other) const {
  return state_->HandsOnSameStateAs(*other.state_);
}

std::string Converter::ConvertRtfToHtml(std::string_view rtf, std::string_view options) {
  return ConvertRtfToHtmlInPlace(std::string(rtf), options);
}

std::string Converter::ConvertRtfToHtmlInPlace(std::string rtf, std::string_view options) {
  state_->StartConversion(options);
  const std::string_view body = state_->PrepareBody(rtf);
  // Pages come out a little shorter than their RTF; one buffer then holds them whole.
  state_->HtmlOut.reserve(body.size() + body.size() / 8);
  RunTokenLoop(body);
  return state_->AssembleResult();
}

void Converter::ConvertRtfToMarkup(std::string rtf, std::string_view options, MarkupSink& sink) {
  struct SinkSet {
    ConverterState& state;
    explicit SinkSet(ConverterState& s, MarkupSink& sink) : state(s) { state.Sink = &sink; }
    ~SinkSet() { state.Sink = nullptr; }
  } set(*state_, sink);
  state_->StartConversion(options);
  const std::string_view body = state_->PrepareBody(rtf);
  RunTokenLoop(body);
  state_->AssembleResult();
}

void Converter::RunTokenLoop(std::string_view body) {
  ConverterState& state = *state_;
  state.StartBody(body);
  BodyReader lines(body);
  while (!lines.empty()) {
    state.StartLine(lines.NextLine());
    while (!state.RtfRest.empty()) {
      const std::string_view word = state.NextToken();
      if (state.IgnoreToken(word)) continue;
      if (DebugMode) DebugTrace(word);
      state.TranslateToken(word);
    }
  }
}

// What one conversion leaves for the next. The rest is set afresh when a
// conversion starts (code lists, pending codes, skips, line state) or when its
// body is prepared (lists).
bool ConverterState::HandsOnSameStateAs(const ConverterState& other) const {
  return FontString == other.FontString && FontColor == other.FontColor &&
         FontSize == other.FontSize && FontSizeNum == other.FontSizeNum &&
         DefaultFontSize == other.DefaultFontSize && AlignTag == other.AlignTag &&
         ColorTable == other.ColorTable && SkipTokens == other.SkipTokens &&
         ClosingText == other.ClosingText && BeforeText == other.BeforeText &&
         OpeningText == other.OpeningText && LineEnd == other.LineEnd;
}

void ConverterState::StartConversion(std::string_view options) {
  ResetCodeLists();
  ClearPieces();
  AtLineStart = true;
  NewParagraph = false;
  HtmlOut.clear();
  UnicodeSkip = 1;
  PendingHighSurrogate = 0;
  FallbackOwed = 0;
  IgnoreDepth = 0;
  ReadOptions(options);
}

void ConverterState::ReadOptions(std::string_view options) {
  LineEnd = options.find("+CR") != std::string_view::npos ? "\r\n" : "";
  const std::size_t size = options.find("+F=");
  if (size == std::string_view::npos) return;
  constexpr int kLargest = 32767;  // more digits than fit saturate
  int value = 0;
  for (std::size_t i = size + 3; i < options.size() && IsDigitChar(options[i]); ++i) {
    value = std::min(kLargest, value * 10 + (options[i] - '0'));
  }
  DefaultFontSize = static_cast<std::int16_t>(value);
}

namespace {

// "\list\" tells that the document has lists. The groups of the other words
// carry no text: they are cut in this order, each found in what the previous
// cut left.
constexpr std::array<std::string_view, 7> kBodyWords{
    "\\list\\", "\\colortbl",  "\\fonttbl",          "\\stylesheet",
    "\\info",   "\\listtable", "\\listoverridetable"};
constexpr std::size_t kListWord = 0;
constexpr std::size_t kColorTableWord = 1;

}  // namespace

// The text is cut down in place: the body is a view into the RTF's own buffer.
std::string_view ConverterState::PrepareBody(std::string& rtf) {
  std::string_view kept = NormalizeEnds(rtf);
  if (kept.size() >= 2 && kept.front() == '{' && kept.back() == '}') {
    kept = kept.substr(1, kept.size() - 2);
  }
  // An all-blank text normalises to a view of nothing, with no place in `rtf`.
  const auto first = kept.empty() ? 0 : static_cast<std::size_t>(kept.data() - rtf.data());
  BodyText body(rtf, first, kept.size());
  WordPlaces places(body.view(), kBodyWords);
  HasLists = places.Find(kListWord, body.view()) != std::string_view::npos;
  for (std::size_t k = kColorTableWord; k < kBodyWords.size(); ++k) {
    const std::size_t at = places.Find(k, body.view());
    if (at == std::string_view::npos) continue;
    const TextSpan group = GroupAround(body.view(), at);
    if (k == kColorTableWord) {
      ColorTable = ParseColorTable(body.view().substr(group.first, group.rest - group.first));
    }
    body.Cut(group);
    places.Cut(body.view(), group.first);
    body.CollapseDoubledBreaks();
  }
  return body.view();
}

// Text from the document never becomes markup: each line is escaped as it is
// read, so no escaped copy of the whole body is ever held.
void ConverterState::StartBody(std::string_view body) {
  markup_ = CharacterFinder(body, kMarkupCharacters);
}

// `line` is a view into the body StartBody was given.
void ConverterState::StartLine(std::string_view line) {
  const auto start =
      static_cast<std::size_t>(line.empty() ? 0 : line.data() - markup_.text().data());
  if (!line.empty() && markup_.Next(start) < start + line.size()) {
    escapedLine_.clear();
    AppendEscapedMarkup(escapedLine_, line);
    line = escapedLine_;
  }
  RtfRest.Start(line);
  if (FallbackOwed > 0) SkipFallbackTokens(FallbackOwed);
}

std::string_view ConverterState::NextToken() {
  return RtfRest.NextToken(&tokenTookSpace_);
}

// Tokens inside an ignored destination are dropped, braces counted; "\pntext"
// starts one but is still translated itself.
bool ConverterState::IgnoreToken(std::string_view token) {
  if (IgnoreDepth > 0) {
    if (token == "{") ++IgnoreDepth;
    if (token == "}") --IgnoreDepth;
    if (destinationNext_ && token.starts_with('\\') && Sink != nullptr) Sink->Destination(token);
    destinationNext_ = false;
    return true;
  }
  if (token == "\\pict" || token == "\\*") {
    IgnoreDepth = 1;
    destinationNext_ = token == "\\*";
    return true;
  }
  if (token == "\\pntext") IgnoreDepth = 1;
  return false;
}

std::string ConverterState::AssembleResult() {
  tokenTookSpace_ = false;
  const std::string stillOpen = CloseAllCodes();
  BeforeText = ReplaceAll(ReplaceAll(BeforeText, "<br>", ""), "\r\n", "");
  if (Sink != nullptr) {
    WriteClosingPieces();
    for (const CodeEntry& entry : Codes) Sink->EndTag(KnownEndTag(entry.code));
  } else {
    HtmlOut += ClosingText;
    HtmlOut += BeforeText;
    HtmlOut += stillOpen;
  }
  ClearPieces();
  ClosingText.clear();
  BeforeText.clear();
  OpeningText.clear();  // opening tags that no text followed are never written
  RtfRest.Start({});    // the line's view ends with the conversion
  std::string result = std::move(HtmlOut);
  HtmlOut.clear();
  return result;
}

}  // namespace quillet
