// What each token means for the HTML: formatting words queue, mark or remove
// code pairs; only text writes to the output.
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "converter/converter_state.h"
#include "converter/entities.h"
#include "converter/markup_sink.h"
#include "converter/text_utils.h"

namespace quillet {
namespace {

constexpr std::string_view kTable = "</td></tr></table>";

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// The font size 1 to 8 of a size in half-points.
std::int32_t SizeStep(const DecimalParameter& halfPoints) {
  if (halfPoints.overflow) return 8;
  const auto step = static_cast<std::int32_t>(std::floor(halfPoints.value / 7.0));
  return step > 8 ? 8 : (step < 1 ? 1 : step);
}

// A row matches the token that is exactly its word. A kParameter row also
// matches a token of its word and a parameter, which the handler reads: the
// word is then the token's backslash and letters (or backslash and symbol).
enum class Match : bool { kWhole, kParameter };
constexpr Match kWhole = Match::kWhole;
constexpr Match kParameter = Match::kParameter;

struct ControlWord {
  std::string_view word;
  Match match;
  void (*handler)(ConverterState& c, std::string_view word);
};

// What each control word does, and "}", the end of a group.
// clang-format off
constexpr ControlWord kControlWords[] = {
    // Character formatting.
    {"\\b",          kWhole,     [](auto& c, auto) { c.QueueUnlessOpen("</b>", "<b>"); }},
    {"\\b0",         kWhole,     [](auto& c, auto) { c.End("</b>", false); }},
    {"\\i",          kWhole,     [](auto& c, auto) { c.QueueUnlessOpen("</i>", "<i>"); }},
    {"\\i0",         kWhole,     [](auto& c, auto) { c.End("</i>", false); }},
    {"\\ul",         kWhole,     [](auto& c, auto) { c.QueueUnlessOpen("</u>", "<u>"); }},
    {"\\ulnone",     kWhole,     [](auto& c, auto) { c.End("</u>", false); }},
    {"\\strike",     kWhole,     [](auto& c, auto) { c.OuterMostToggle("</s>", "<s>"); }},
    {"\\strike0",    kWhole,     [](auto& c, auto) { c.End("</s>", false); }},
    {"\\super",      kWhole,     [](auto& c, auto) { c.OuterMostToggle("</sup>", "<sup>"); }},
    {"\\sub",        kWhole,     [](auto& c, auto) { c.OuterMostToggle("</sub>", "<sub>"); }},
    {"\\nosupersub", kWhole,     [](auto& c, auto) { c.End("</sub>", true); c.End("</sup>", true); }},
    {"\\cf",         kParameter, [](auto& c, auto word) { c.SetColor(word); }},
    {"\\cf0",        kWhole,     [](auto& c, auto) { c.ClearColor(); }},
    {"\\fs",         kParameter, [](auto& c, auto word) { c.SetFontSize(word); }},
    {"\\plain",      kWhole,     [](auto& c, auto) { c.Plain(); }},
    {"}",             kWhole,     [](auto& c, auto) { if (c.IgnoreDepth == 0) c.GroupEnd(); }},
    // Paragraphs, lists and alignment.
    {"\\par",        kWhole,     [](auto& c, auto) { c.ParagraphEnd(); }},
    {"\\pard",       kWhole,     [](auto& c, auto) { c.ParagraphReset(); }},
    {"\\line",       kWhole,     [](auto& c, auto) { c.LineBreak(); }},
    {"\\bullet",     kWhole,     [](auto& c, auto) { c.Queue("</li>", "<li>"); }},
    {"\\pnlvlblt",   kWhole,     [](auto& c, auto) { if (!c.IsPendingCode("</li>")) c.Queue("</li>", "<li>"); }},
    {"\\pntext",     kWhole,     [](auto& c, auto) { c.ListItemWithReopening(); }},
    // The number text that follows is not part of the item.
    {"\\pntxta",     kWhole,     [](auto& c, auto) { c.SkipTokens = 1; }},
    {"\\pntxtb",     kWhole,     [](auto& c, auto) { c.SkipTokens = 1; }},
    {"\\qc",         kWhole,     [](auto& c, auto) { c.Align("center"); }},
    {"\\qr",         kWhole,     [](auto& c, auto) { c.Align("right"); }},
    // Characters.
    {"\\tab",        kWhole,     [](auto& c, auto) { c.RtfRest.PutBack(" "); }},
    {"\\'",          kParameter, [](auto& c, auto word) { c.HexEscape(word); }},
    {"\\u",          kParameter, [](auto& c, auto word) { c.UnicodeEscape(word); }},
    {"\\uc",         kParameter, [](auto& c, auto word) { c.SetUnicodeSkip(word); }},
};
// clang-format on

// The rows are found through a hash of their word: an open-addressing table of
// row numbers, filled at compile time, where most words need one probe.
constexpr std::size_t kSlots = 128;  // a power of two, a few times the rows
static_assert(std::size(kControlWords) < kSlots / 2);

constexpr std::uint32_t kHashStart = 2166136261U;  // FNV-1a

// The hash of `text` following whatever gave `hash`: hashing a word and then
// the rest of its token gives the token's hash.
constexpr std::uint32_t HashOn(std::uint32_t hash, std::string_view text) {
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619U;
  return hash;
}

constexpr std::uint32_t HashOf(std::string_view word) {
  return HashOn(kHashStart, word);
}

constexpr std::array<std::int8_t, kSlots> kRowOfSlot = [] {
  std::array<std::int8_t, kSlots> rows{};
  rows.fill(-1);
  for (std::size_t row = 0; row < std::size(kControlWords); ++row) {
    std::size_t slot = HashOf(kControlWords[row].word) % kSlots;
    while (rows[slot] >= 0) slot = (slot + 1) % kSlots;
    rows[slot] = static_cast<std::int8_t>(row);
  }
  return rows;
}();

// Words are a few characters long: comparing them in place costs less than memcmp.
bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

const ControlWord* FindRow(std::string_view word, std::uint32_t hash) {
  for (std::size_t slot = hash % kSlots; kRowOfSlot[slot] >= 0; slot = (slot + 1) % kSlots) {
    const ControlWord& row = kControlWords[static_cast<std::size_t>(kRowOfSlot[slot])];
    if (SameWord(row.word, word)) return &row;
  }
  return nullptr;
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The backslash and the letters of a control word, or the backslash and its symbol.
std::string_view WordOf(std::string_view token) {
  if (token.size() < 2 || token[0] != '\\' || !IsLetter(token[1])) return token.substr(0, 2);
  std::size_t end = 2;
  while (end < token.size() && IsLetter(token[end])) ++end;
  return token.substr(0, end);
}

const ControlWord* FindControlWord(std::string_view token) {
  // Hexadecimal escapes are most of the words with a parameter; no other row starts so.
  static const ControlWord* const hexEscape = FindRow("\\'", HashOf("\\'"));
  if (token.starts_with("\\'")) return hexEscape;
  const std::string_view word = WordOf(token);  // a prefix of the token
  const std::uint32_t wordHash = HashOf(word);
  const std::uint32_t tokenHash = HashOn(wordHash, token.substr(word.size()));
  if (const ControlWord* row = FindRow(token, tokenHash)) return row;
  if (word.size() == token.size()) return nullptr;
  const ControlWord* row = FindRow(word, wordHash);
  return row != nullptr && row->match == kParameter ? row : nullptr;
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
  if (!word.starts_with("\\u") || word.size() < 3 || !(IsDigitChar(word[2]) || word[2] == '-')) {
    PendingHighSurrogate = 0;
  }
  if (const ControlWord* row = FindControlWord(word)) row->handler(*this, word);
}

void ConverterState::QueueUnlessOpen(std::string_view closing, std::string_view opening) {
  if (!IsOpenCode(closing, true)) Queue(closing, opening);
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

void ConverterState::ClearColor() {
  FontColor.clear();
  FontString = BuildFontTag(FontColor, FontSize);
}

void ConverterState::SetFontSize(std::string_view word) {
  const auto halfPoints = ParseDecimalParameter(word.substr(3));
  if (!halfPoints) return;
  FontSizeNum = SizeStep(*halfPoints);
  FontSize = FontSizeNum == DefaultFontSize ? "" : std::to_string(FontSizeNum);
  FontString = BuildFontTag(FontColor, FontSize);
}

void ConverterState::SetUnicodeSkip(std::string_view word) {
  const auto count = ParseDecimalParameter(word.substr(3));
  if (count && !count->overflow && count->value >= 0) UnicodeSkip = count->value;
}

// A group end and "\\plain" end all inline formatting; "\\plain" leaves open blocks open.
void ConverterState::Plain() {
  MarkCodesKilled("*", CodeKind::kOpenBlock);
  ResetFontAndAlign();
}

void ConverterState::LineBreak() {
  BeforeText += "<br>";
  BeforeText += LineEnd;
  if (Sink != nullptr) ++pendingBreaks_;
}

void ConverterState::ParagraphEnd() {
  if (!IsOpenCode("</li>", false)) {
    BeforeText += "<br>";
    BeforeText += LineEnd;
    if (Sink != nullptr) ++pendingBreaks_;
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
  const Entity* entity = EntityForHex(word.substr(2));
  if (entity == nullptr) return;
  if (entity->rtf) RtfRest.PutBack(" ");
  RtfRest.PutBack(entity->text);
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
    const std::string blank = AtLineStart ? ReplaceAll(token, " ", "&nbsp;") : std::string(token);
    if (Sink != nullptr) {
      Sink->Text(blank);
    } else {
      HtmlOut += blank;
    }
    return;
  }
  if (NothingToOpenOrClose()) {
    // Most text: the tags written around it would all be empty.
    NewParagraph = false;
  } else {
    WriteTags();
  }
  if (Sink != nullptr) {
    WriteClosingPieces();
    WriteBreaksAndOpeningPieces();
    Sink->Text(token);
    ClearPieces();
  } else {
    HtmlOut += ClosingText;
    HtmlOut += BeforeText;
    HtmlOut += OpeningText;
    HtmlOut += token;
  }
  ClosingText.clear();
  BeforeText.clear();
  OpeningText.clear();
  AtLineStart = false;
}

// True when the next text's tags are all empty: nothing pending, nothing to
// close, and the open font is the wanted one.
bool ConverterState::NothingToOpenOrClose() const {
  return NextCodes.empty() && OpeningText.empty() &&
         Codes.Count({CodeKind::kKilled, CodeKind::kPendingInline, CodeKind::kPendingBlock}) == 0 &&
         OpenFontTag() == FontString;
}

void ConverterState::WriteTags() {
  ClosingText += CloseMarkedCodes();
  CommitPendingCodes();
  if (NewParagraph) {
    OpeningText = OpenPendingCodes();
    NewParagraph = false;
  } else {
    OpeningText = OpenPendingBelow(kTable);
  }
  PurgeKilledCodes();
}

// "\u" and a number: the character as a decimal reference, put back into the
// input, and the fallback characters after it skipped so nothing is doubled.
void ConverterState::UnicodeEscape(std::string_view word) {
  std::size_t end = 2;
  if (end < word.size() && word[end] == '-') ++end;
  const std::size_t digitsStart = end;
  while (end < word.size() && IsDigitChar(word[end]) && end - digitsStart < 7) ++end;
  if (end == digitsStart) return;  // another word that starts with "\u"
  std::int64_t number = 0;
  for (std::size_t i = digitsStart; i < end; ++i) number = number * 10 + (word[i] - '0');
  if (word[2] == '-') number = 65536 - number;

  std::string_view rest = word.substr(end);
  // The delimiter space the tokenizer took after text in the token is text
  // again: the first fallback character after the token's own.
  bool spaceBack = !rest.empty() && tokenTookSpace_;
  std::int32_t fallback = UnicodeSkip;
  for (; fallback > 0 && !rest.empty(); --fallback) {
    rest.remove_prefix(EscapedCharacterLength(rest));
  }
  if (spaceBack && fallback > 0) {
    spaceBack = false;
    --fallback;
  }
  SkipFallbackTokens(fallback);

  if (spaceBack) RtfRest.PutBack(" ");
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
      RtfRest.SkipToken();  // a hexadecimal escape is one character
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
