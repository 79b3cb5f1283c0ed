// What each token means for the HTML: formatting words queue, mark or remove
// code pairs; only text writes to the output.
#include <cmath>

#include "converter_state.h"
#include "entities.h"
#include "text_utils.h"

namespace quillet {
namespace {

constexpr std::string_view kTable = "</td></tr></table>";

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The font size 1 to 8 of a size in half-points.
std::int32_t SizeStep(const DecimalParameter& halfPoints) {
  if (halfPoints.overflow) return 8;
  const auto step = static_cast<std::int32_t>(std::floor(halfPoints.value / 7.0));
  return step > 8 ? 8 : (step < 1 ? 1 : step);
}

}  // namespace

void ConverterState::Queue(std::string_view closing, std::string_view opening) {
  if (NextCodes.size() >= kMaxPendingPairs) return;
  AppendNextCode(closing, opening);
}

// Marks an element to be closed before the next text, queues what was nested
// inside it to be reopened, and drops a pair for it that is still pending.
void ConverterState::End(std::string_view closing, bool openOnly) {
  if (IsOpenCode(closing, openOnly)) {
    RequeueInnerCodes(closing);
    MarkCodesKilled(closing);
  }
  if (IsPendingCode(closing)) RemoveNextCode(closing);
}

void ConverterState::TranslateToken(std::string_view token) {
  if (SkipTokens >= 1) {
    --SkipTokens;
    return;
  }
  if (token.empty()) return;
  const char first = token.front();
  if (first != '\\' && first != '{' && first != '}') {
    PendingHighSurrogate = 0;
    WriteText(token);
    return;
  }
  TranslateControl(TrimSpaces(token));
}

void ConverterState::TranslateControl(std::string_view word) {
  if (!word.starts_with("\\u") || word.size() < 3 || !(IsDigit(word[2]) || word[2] == '-')) {
    PendingHighSurrogate = 0;
  }
  if (word == "}") {
    if (IgnoreDepth == 0) GroupEnd();
    return;
  }
  if (word.size() < 2 || word[0] != '\\') return;
  switch (word[1]) {
    case '\'':
      HexEscape(word);
      break;
    case 'b':
      TranslateBWord(word);
      break;
    case 'p':
      TranslatePWord(word);
      break;
    case 's':
      TranslateSWord(word);
      break;
    case 'u':
      TranslateUWord(word);
      break;
    default:
      TranslateOtherWord(word);
  }
}

void ConverterState::TranslateBWord(std::string_view word) {
  if (word == "\\b") {
    if (!IsOpenCode("</b>", true)) Queue("</b>", "<b>");
  } else if (word == "\\bullet") {
    Queue("</li>", "<li>");
  } else if (word == "\\b0") {
    End("</b>", false);
  }
}

void ConverterState::TranslatePWord(std::string_view word) {
  if (word == "\\par") {
    ParagraphEnd();
  } else if (word == "\\pard") {
    ParagraphReset();
  } else if (word == "\\plain") {
    MarkCodesKilled("*", CodeKind::kOpenBlock);
    ResetFontAndAlign();
  } else if (word == "\\pnlvlblt") {
    if (!IsPendingCode("</li>")) Queue("</li>", "<li>");
  } else if (word == "\\pntxta" || word == "\\pntxtb") {
    SkipTokens = 1;  // the number text that follows is not part of the item
  } else if (word == "\\pntext") {
    ListItemWithReopening();
  }
}

void ConverterState::TranslateSWord(std::string_view word) {
  if (word == "\\strike") {
    OuterMostToggle("</s>", "<s>");
  } else if (word == "\\strike0") {
    End("</s>", false);
  } else if (word == "\\super") {
    OuterMostToggle("</sup>", "<sup>");
  } else if (word == "\\sub") {
    OuterMostToggle("</sub>", "<sub>");
  }
}

void ConverterState::TranslateUWord(std::string_view word) {
  if (word == "\\ul") {
    if (!IsOpenCode("</u>", true)) Queue("</u>", "<u>");
  } else if (word == "\\ulnone") {
    End("</u>", false);
  } else if (word.starts_with("\\uc")) {
    const auto count = ParseDecimalParameter(word.substr(3));
    if (count && !count->overflow && count->value >= 0) UnicodeSkip = count->value;
  } else {
    UnicodeEscape(word);
  }
}

void ConverterState::TranslateOtherWord(std::string_view word) {
  if (word == "\\cf0") {
    FontColor.clear();
    FontString = BuildFontTag(FontColor, FontSize);
  } else if (word.starts_with("\\cf")) {
    SetColor(word);
  } else if (word.starts_with("\\fs")) {
    if (const auto halfPoints = ParseDecimalParameter(word.substr(3))) SetFontSize(*halfPoints);
  } else if (word == "\\i") {
    if (!IsOpenCode("</i>", true)) Queue("</i>", "<i>");
  } else if (word == "\\i0") {
    End("</i>", false);
  } else if (word == "\\line") {
    BeforeText += "<br>";
    BeforeText += LineEnd;
  } else if (word == "\\nosupersub") {
    End("</sub>", true);
    End("</sup>", true);
  } else if (word == "\\qc") {
    Align("center");
  } else if (word == "\\qr") {
    Align("right");
  } else if (word == "\\tab") {
    RtfRest.PutBack(" ");
  }
}

// Strike, superscript and subscript only look at the outermost element.
void ConverterState::OuterMostToggle(std::string_view closing, std::string_view opening) {
  if (Codes.empty() || Codes.back().code != closing || Codes.back().begCode.empty()) {
    Queue(closing, opening);
  }
}

// The converter keeps no stack of group states: a group end ends all inline
// formatting and forgets font and alignment, but an open block stays open.
void ConverterState::GroupEnd() {
  MarkCodesKilled("*", CodeKind::kOpenBlock);
  DropPendingBefore("</li>");
  ResetFontAndAlign();
}

void ConverterState::SetColor(std::string_view word) {
  const auto number = ParseDecimalParameter(word.substr(3));
  if (!number) return;
  if (!number->overflow && number->value >= 1 &&
      static_cast<std::size_t>(number->value) < ColorTable.size()) {
    FontColor = "#" + ColorTable[static_cast<std::size_t>(number->value)];
  }
  FontString = BuildFontTag(FontColor, FontSize);
  if (IsPendingCode("</font>")) {
    ReplaceNextBegCode("</font>", FontString);
    return;
  }
  const bool wasOpen = IsOpenCode("</font>", false);
  Queue("</font>", FontString);
  if (wasOpen) MarkCodesKilled("</font>");
}

void ConverterState::SetFontSize(const DecimalParameter& halfPoints) {
  FontSizeNum = SizeStep(halfPoints);
  FontSize = FontSizeNum == DefaultFontSize ? "" : std::to_string(FontSizeNum);
  FontString = BuildFontTag(FontColor, FontSize);
}

void ConverterState::ParagraphEnd() {
  if (!IsOpenCode("</li>", false)) {
    BeforeText += "<br>";
    BeforeText += LineEnd;
  } else {
    MarkCodesKilled("</li>");  // the closing "</li>" ends the line
    RemoveNextCode("</li>");
  }
  AtLineStart = true;
  NewParagraph = true;
}

void ConverterState::ParagraphReset() {
  Codes.Relabel("*", {CodeKind::kPendingBlock, CodeKind::kOpenBlock}, CodeKind::kKilled);
  if (!HasLists && IsOpenCode("</li>", false)) {
    MarkCodesKilled("</li>");
    RemoveNextCode("</li>");
  }
  // An alignment that no text committed belonged to the paragraph just reset.
  while (IsPendingCode(kTable)) RemoveNextCode(kTable);
  NewParagraph = true;
}

// The replacement goes back into the input, so an entity starts the text run
// that follows it and an RTF replacement is translated like any other RTF.
void ConverterState::HexEscape(std::string_view word) {
  const std::string replacement = LookupEntity(word.substr(2));
  constexpr std::string_view kRtfMark = "<rtf>:";
  if (replacement.starts_with(kRtfMark)) {
    RtfRest.PutBack(" ");
    RtfRest.PutBack(std::string_view(replacement).substr(kRtfMark.size()));
  } else {
    RtfRest.PutBack(replacement);
  }
}

void ConverterState::ListItemWithReopening() {
  if (IsPendingCode("</li>")) return;
  Queue("</li>", "<li>");
  // "</table>" matches no entry, so every element not yet marked is reopened.
  RequeueInnerCodes("</table>");
  MarkCodesKilled("*");
}

void ConverterState::Align(std::string_view word) {
  const bool pending = IsPendingCode(kTable);
  if (!pending) {
    AlignTag = "<table width=100%><tr><td align=\"";
    AlignTag += word;
    AlignTag += "\">";
  }
  if (pending) {
    ReplaceNextBegCode(kTable, AlignTag);
  } else {
    Queue(kTable, AlignTag);
  }
}

void ConverterState::WriteText(std::string_view token) {
  if (IsBlank(token)) {
    HtmlOut += AtLineStart ? ReplaceAll(token, " ", "&nbsp;") : std::string(token);
    return;
  }
  ClosingText += CloseMarkedCodes();
  CommitPendingCodes();
  if (NewParagraph) {
    OpeningText = OpenPendingCodes();
    NewParagraph = false;
  } else {
    OpeningText = OpenPendingBelow(kTable);
  }
  PurgeKilledCodes();
  HtmlOut += ClosingText;
  ClosingText.clear();
  HtmlOut += BeforeText;
  BeforeText.clear();
  HtmlOut += OpeningText;
  HtmlOut += token;
  OpeningText.clear();
  AtLineStart = false;
}

// "\u" and a number: the character as a decimal reference, put back into the
// input, and the fallback characters after it skipped so nothing is doubled.
void ConverterState::UnicodeEscape(std::string_view word) {
  std::size_t end = 2;
  if (end < word.size() && word[end] == '-') ++end;
  const std::size_t digitsStart = end;
  while (end < word.size() && IsDigit(word[end]) && end - digitsStart < 7) ++end;
  if (end == digitsStart) return;  // another word that starts with "\u"
  std::int64_t number = 0;
  for (std::size_t i = digitsStart; i < end; ++i) number = number * 10 + (word[i] - '0');
  if (word[2] == '-') number = 65536 - number;

  std::string_view rest = word.substr(end);
  const bool textFollowed = !rest.empty();
  std::int32_t fallback = UnicodeSkip;
  for (; fallback > 0 && !rest.empty(); --fallback) {
    rest.remove_prefix(EscapedCharacterLength(rest));
  }
  SkipFallbackTokens(fallback);

  if (textFollowed && tokenTookSpace_) RtfRest.PutBack(" ");
  RtfRest.PutBack(rest);
  RtfRest.PutBack(UnicodeEntity(number));
}

// Fallback characters that did not stand in the escape's own token: a
// hexadecimal escape counts as one, a control word or brace ends the fallback.
// A line break is not text: what the line's end leaves owing comes off the next line.
void ConverterState::SkipFallbackTokens(std::int32_t count) {
  FallbackOwed = 0;
  while (count > 0 && !RtfRest.empty()) {
    if (RtfRest.StartsWith("\\'")) {
      RtfRest.NextToken();  // a hexadecimal escape is one character
    } else {
      const char c = RtfRest.at(0);
      if (c == '\\' || c == '{' || c == '}') return;
      RtfRest.Drop(RtfRest.CharacterLength(0));
    }
    --count;
  }
  FallbackOwed = count;
}

std::string ConverterState::UnicodeEntity(std::int64_t number) {
  if (number < 0 || number > 0xFFFF) return {};
  const auto unit = static_cast<std::uint16_t>(number);
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    PendingHighSurrogate = unit;  // the low half follows as its own escape
    return {};
  }
  std::int64_t codePoint = unit;
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (PendingHighSurrogate == 0) return {};
    codePoint = 0x10000 + ((PendingHighSurrogate - 0xD800) << 10) + (unit - 0xDC00);
  }
  PendingHighSurrogate = 0;
  if (codePoint < 0x20) return {};
  return "&#" + std::to_string(codePoint) + ";";
}

}  // namespace quillet
