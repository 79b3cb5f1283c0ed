// One conversion: reset, options, preparing the text, the token loop, assembly.
#include <algorithm>

#include "converter/color_table.h"
#include "converter/converter.h"
#include "converter/converter_state.h"

namespace quillet {

Converter::Converter() : state_(std::make_unique<ConverterState>()) {}
Converter::~Converter() = default;
Converter::Converter(Converter&&) noexcept = default;
Converter& Converter::operator=(Converter&&) noexcept = default;

std::string Converter::ConvertRtfToHtml(std::string_view rtf, std::string_view options) {
  state_->StartConversion(options);
  RunTokenLoop(state_->PrepareBody(rtf));
  return state_->AssembleResult();
}

void Converter::RunTokenLoop(const std::string& body) {
  ConverterState& state = *state_;
  BodyReader lines(body);
  while (!lines.empty()) {
    state.StartLine(lines.NextLine());
    while (!state.RtfRest.empty()) {
      const std::string word = state.NextToken();
      if (state.IgnoreToken(word)) continue;
      if (DebugMode) DebugTrace(word);
      state.TranslateToken(word);
    }
  }
}

void ConverterState::StartConversion(std::string_view options) {
  ResetCodeLists();
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

std::string ConverterState::PrepareBody(std::string_view rtf) {
  std::string body(NormalizeEnds(rtf));
  if (body.size() >= 2 && body.front() == '{' && body.back() == '}') {
    body = body.substr(1, body.size() - 2);
  }
  HasLists = body.find("\\list\\") != std::string::npos;
  if (const std::size_t table = body.find("\\colortbl"); table != std::string::npos) {
    ColorTable = ParseColorTable(ExtractGroup(body, table));
  }
  // Groups that carry no text, each searched in the text the previous cut left.
  for (std::string_view word :
       {"\\fonttbl", "\\stylesheet", "\\info", "\\listtable", "\\listoverridetable"}) {
    if (const std::size_t at = body.find(word); at != std::string::npos) ExtractGroup(body, at);
  }
  // Text from the document never becomes markup.
  return EscapeMarkup(body);
}

void ConverterState::StartLine(std::string line) {
  RtfRest = LineReader(std::move(line));
  if (FallbackOwed > 0) SkipFallbackTokens(FallbackOwed);
}

std::string ConverterState::NextToken() {
  return RtfRest.NextToken(&tokenTookSpace_);
}

// Tokens inside an ignored destination are dropped, braces counted; "\pntext"
// starts one but is still translated itself.
bool ConverterState::IgnoreToken(std::string_view token) {
  if (IgnoreDepth > 0) {
    if (token == "{") ++IgnoreDepth;
    if (token == "}") --IgnoreDepth;
    return true;
  }
  if (token == "\\pict" || token == "\\*") {
    IgnoreDepth = 1;
    return true;
  }
  if (token == "\\pntext") IgnoreDepth = 1;
  return false;
}

std::string ConverterState::AssembleResult() {
  tokenTookSpace_ = false;
  const std::string stillOpen = CloseAllCodes();
  BeforeText = ReplaceAll(ReplaceAll(BeforeText, "<br>", ""), "\r\n", "");
  HtmlOut += ClosingText;
  HtmlOut += BeforeText;
  HtmlOut += stillOpen;
  ClosingText.clear();
  BeforeText.clear();
  OpeningText.clear();  // opening tags that no text followed are never written
  std::string result = std::move(HtmlOut);
  HtmlOut.clear();
  return result;
}

}  // namespace quillet
