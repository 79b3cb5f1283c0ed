// One conversion: reset, options, preparing the text, the token loop, assembly.
#include <algorithm>

#include "color_table.h"
#include "converter.h"

namespace quillet {

std::string Converter::ConvertRtfToHtml(std::string_view rtf, std::string_view options) {
  ResetCodeLists();
  AtLineStart = true;
  NewParagraph = false;
  HtmlOut.clear();
  UnicodeSkip = 1;
  PendingHighSurrogate = 0;
  FallbackOwed = 0;
  ReadOptions(options);
  const std::string body = PrepareBody(rtf);
  IgnoreDepth = 0;
  RunTokenLoop(body);
  return AssembleResult();
}

void Converter::ReadOptions(std::string_view options) {
  LineEnd = options.find("+CR") != std::string_view::npos ? "\r\n" : "";
  const std::size_t size = options.find("+F=");
  if (size == std::string_view::npos) return;
  constexpr int kLargest = 32767;  // more digits than fit saturate
  int value = 0;
  for (std::size_t i = size + 3; i < options.size() && IsDigitChar(options.substr(i, 1)); ++i) {
    value = std::min(kLargest, value * 10 + (options[i] - '0'));
  }
  DefaultFontSize = static_cast<std::int16_t>(value);
}

std::string Converter::PrepareBody(std::string_view rtf) {
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

void Converter::RunTokenLoop(const std::string& body) {
  BodyReader lines(body);
  while (!lines.empty()) {
    RtfRest = LineReader(lines.NextLine());
    if (FallbackOwed > 0) SkipFallbackTokens(FallbackOwed);
    while (!RtfRest.empty()) {
      const std::string word = RtfRest.NextToken(&tokenTookSpace_);
      if (IgnoreDepth > 0) {
        if (word == "{") ++IgnoreDepth;
        if (word == "}") --IgnoreDepth;
        continue;
      }
      if (word == "\\pict" || word == "\\*") {
        IgnoreDepth = 1;
        continue;
      }
      if (word == "\\pntext") IgnoreDepth = 1;  // the word itself is still translated
      if (DebugMode) DebugTrace(word);
      TranslateToken(word);
    }
  }
  tokenTookSpace_ = false;
}

std::string Converter::AssembleResult() {
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
