// The reader is one pass over the bytes: braces open and close groups, whose
// states stack; control words go through one table of {word, handler} rows
// (further down); text bytes are decoded in the code page of their font and
// appended to the paragraph being built.
#include "richtext/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "richtext/ascii.h"
#include "richtext/document.h"
#include "richtext/text_encoding.h"

namespace quillet {

namespace {

enum class Destination : std::uint8_t {
  kText,
  kSkip,  // ignored with everything nested in it
  kFontTable,
  kColorTable,
  kListMarker,  // \pntext or \listtext: the bullet or number in front of a list item
};

// Character format as the reader tracks it: colour and font by their table
// numbers, looked up only when a run is finished.
struct TextFormat {
  CharFormat chars;  // without colour and font
  int color = 0;
  int font = -1;        // -1: the document's default font
  bool hidden = false;  // \v: text the document keeps but does not show
  bool operator==(const TextFormat&) const = default;
};

struct GroupState {
  Destination destination = Destination::kText;
  TextFormat format;
  int unicode_skip = 1;  // \uc: fallback characters that follow a \u
  Alignment alignment = Alignment::kLeft;
  bool in_list = false;   // \ls or \pnlvlblt in the paragraph format
  bool in_table = false;  // \intbl: paragraph ends inside a cell are line breaks
};

// Code pages of the \fcharset numbers; any other charset uses the document's \ansicpg.
// Symbol fonts (2) read as Windows-1252, where their bullet "\'b7" is "·".
constexpr std::pair<int, int> kCharsetCodePages[] = {
    {77, 10000}, {128, 932},  {129, 949},  {130, 1361}, {134, 936},  {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},  {2, 1252}};

int CharsetCodePage(int charset) {
  for (const auto& [number, code_page] : kCharsetCodePages) {
    if (number == charset) return code_page;
  }
  return 0;
}

// A list marker with a digit, or ending in "." or ")", numbers its item; any other marks a bullet.
bool IsNumberMarker(std::u16string_view marker) {
  while (!marker.empty() && (marker.back() == u'\t' || marker.back() == u' ')) {
    marker.remove_suffix(1);
  }
  if (marker.empty()) return false;
  if (marker.back() == u'.' || marker.back() == u')') return true;
  return std::any_of(marker.begin(), marker.end(),
                     [](char16_t c) { return c < 0x80 && IsAsciiDigit(static_cast<char>(c)); });
}

class RtfReader {
 public:
  explicit RtfReader(std::string_view rtf) : data_(rtf) { stack_.emplace_back(); }

  Document Read();

 private:
  struct Font {
    std::string name;
    int code_page = 0;  // 0: the document's
  };
  enum class Marker : std::uint8_t { kNone, kBullet, kNumber };

  // A control word's parameter as read.
  struct WordCall {
    bool has_parameter = false;
    std::int64_t parameter = 0;
    int value() const { return static_cast<int>(parameter); }
    // A toggle without a parameter, or with one other than 0, switches on.
    bool on() const { return !has_parameter || parameter != 0; }
  };
  // The words of a row (one or more, space-separated) and what they do.
  struct WordRow {
    std::string_view names;
    void (*handler)(RtfReader& reader, const WordCall& call);
  };

  // Deeper groups share their parent's state: such nesting only comes from hostile input.
  static constexpr std::size_t kMaxDepth = 200000;
  static constexpr int kNoFont = INT32_MIN;

  // The reading loop.
  GroupState& state() { return stack_.back(); }
  CharFormat& chars() { return stack_.back().format.chars; }
  void OpenGroup();
  void CloseGroup();
  void ReadControl();
  void ReadHexEscape();
  void HandleWord(std::string_view name, WordCall call);
  void HandleSymbol(unsigned char symbol);
  void TextByte(unsigned char byte);
  void EscapedByte(unsigned char byte);
  void FlushBytes();
  void Emit(std::u16string_view text);
  void EmitCharacter(char16_t c) { Emit(std::u16string_view(&c, 1)); }
  void FlushRun();
  // `at_par`: ended by a control word, whose paragraph format applies; else by the end of input.
  void EndParagraph(bool at_par);
  bool ParagraphHasContent() const { return !run_text_.empty() || !paragraph_.runs.empty(); }
  void CommitFont();
  void FinishListMarker();
  const CodePage& CodePageFor(int number);
  int CurrentCodePage();
  CharFormat ToCharFormat(const TextFormat& format) const;

  // The control words and what they do.
  static const WordRow kWords[];
  static const WordRow* FindWord(std::string_view name);
  static void SkipBinary(RtfReader& reader, const WordCall& call);
  void SetDocumentCodePage(int code_page);
  void SetDefaultFont(int font);
  void UnicodeCharacter(std::int64_t code);
  void StartColorTable();
  void SetFont(int font);
  void SetColorComponent(std::uint8_t Color::*component, int value);
  void SetVertical(const WordCall& call, VerticalPosition position);
  void SetSize(const WordCall& call);
  void ResetParagraphFormat();
  void ParagraphMark();
  void PageBreak();
  void EndCell();
  void EndRow();
  void ListWordCharacter(char16_t c);
  void StartListMarker();

  // Input cursor.
  std::string_view data_;
  std::size_t position_ = 0;
  // Group states, innermost last, and braces opened past the depth limit.
  std::vector<GroupState> stack_;
  std::size_t overflow_depth_ = 0;
  int skip_count_ = 0;  // fallback characters of a \u still to skip
  // Document tables.
  int ansi_code_page_ = 1252;
  int code_page_font_ = kNoFont;  // the font whose code page `code_page_` caches
  int code_page_ = 1252;
  int default_font_ = 0;
  std::unordered_map<int, Font> fonts_;
  std::vector<std::optional<Color>> colors_;
  std::vector<std::unique_ptr<CodePage>> code_pages_;
  // Table entries being read.
  int font_number_ = -1;
  int font_charset_ = 0;
  int font_code_page_ = 0;
  std::string font_name_;
  bool font_committed_ = true;
  Color color_;
  bool color_set_ = false;
  // Text bytes waiting to be decoded together, in one code page.
  std::string bytes_;
  int bytes_code_page_ = 0;
  std::u16string decoded_;
  // The document being built: finished paragraphs, the open paragraph and its last run.
  Document document_;
  Paragraph paragraph_;
  std::u16string run_text_;
  TextFormat run_format_;
  Marker marker_ = Marker::kNone;
  std::u16string marker_text_;
  bool list_word_first_ = false;  // the paragraph opened with a "\bullet" or "\endash" word
  // Table cells ended and a paragraph end inside a cell, both waiting for the next text.
  int pending_cells_ = 0;
  bool cell_line_break_ = false;
};

}  // namespace

Document RtfReader::Read() {
  while (position_ < data_.size()) {
    const auto c = static_cast<unsigned char>(data_[position_]);
    switch (c) {
      case '{':
        ++position_;
        OpenGroup();
        break;
      case '}':
        ++position_;
        CloseGroup();
        break;
      case '\\':
        ReadControl();
        break;
      case '\r':
      case '\n':
        ++position_;
        break;
      default:
        ++position_;
        TextByte(c);
        break;
    }
  }
  FlushBytes();
  if (ParagraphHasContent()) EndParagraph(false);
  return std::move(document_);
}

void RtfReader::OpenGroup() {
  FlushBytes();
  skip_count_ = 0;
  if (stack_.size() >= kMaxDepth) {
    ++overflow_depth_;
    return;
  }
  stack_.push_back(state());
}

void RtfReader::CloseGroup() {
  FlushBytes();
  skip_count_ = 0;
  if (overflow_depth_ > 0) {
    --overflow_depth_;
    return;
  }
  if (stack_.size() <= 1) return;  // an unbalanced "}"
  const Destination closed = state().destination;
  stack_.pop_back();
  const Destination parent = state().destination;
  if (closed == Destination::kFontTable) CommitFont();
  if (closed == Destination::kListMarker && parent != Destination::kListMarker) {
    FinishListMarker();
  }
}

void RtfReader::ReadControl() {
  ++position_;  // the backslash
  if (position_ >= data_.size()) return;
  const auto first = static_cast<unsigned char>(data_[position_]);
  if (!IsAsciiLetter(static_cast<char>(first))) {
    ++position_;
    if (first == '\'') {
      ReadHexEscape();
    } else {
      HandleSymbol(first);
    }
    return;
  }
  const std::size_t name_start = position_;
  while (position_ < data_.size() && IsAsciiLetter(data_[position_])) {
    ++position_;
  }
  // Names longer than RTF allows are consumed whole but match nothing.
  std::string_view name =
      data_.substr(name_start, std::min<std::size_t>(position_ - name_start, 32));
  if (position_ - name_start > 32) name = {};
  bool negative = false;
  WordCall call;
  if (position_ + 1 < data_.size() && data_[position_] == '-' &&
      IsAsciiDigit(data_[position_ + 1])) {
    negative = true;
    ++position_;
  }
  while (position_ < data_.size() && IsAsciiDigit(data_[position_])) {
    call.has_parameter = true;
    call.parameter =
        std::min<std::int64_t>(call.parameter * 10 + (data_[position_] - '0'), INT32_MAX);
    ++position_;
  }
  if (negative) call.parameter = -call.parameter;
  if (position_ < data_.size() && data_[position_] == ' ') ++position_;
  HandleWord(name, call);
}

// "\'" and two hexadecimal digits; with fewer digits the escape is dropped.
void RtfReader::ReadHexEscape() {
  int value = 0;
  int digits = 0;
  while (digits < 2 && position_ < data_.size()) {
    const int digit = HexDigitValue(data_[position_]);
    if (digit < 0) break;
    value = value * 16 + digit;
    ++digits;
    ++position_;
  }
  if (digits == 2) EscapedByte(static_cast<unsigned char>(value));
}

void RtfReader::HandleSymbol(unsigned char symbol) {
  const Destination destination = state().destination;
  if (destination == Destination::kSkip) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  FlushBytes();
  switch (symbol) {
    case '\\':
    case '{':
    case '}':
      EscapedByte(symbol);
      break;
    case '~':
      EmitCharacter(u'\u00A0');
      break;
    case '_':
      EmitCharacter(u'\u2011');
      break;
    case '-':
      EmitCharacter(u'\u00AD');
      break;
    case '*':
      if (stack_.size() > 1) state().destination = Destination::kSkip;
      break;
    case '\r':
    case '\n':
      // TextEdit ends paragraphs with a backslash before the line end.
      if (destination == Destination::kText) EndParagraph(true);
      break;
    case '\t':
      EmitCharacter(u'\t');
      break;
    default:
      break;
  }
}

void RtfReader::HandleWord(std::string_view name, WordCall call) {
  const WordRow* row = FindWord(name);
  if (row == nullptr) return;
  // Binary data is skipped wherever it stands, even inside a skipped group.
  if (row->handler == &RtfReader::SkipBinary) {
    SkipBinary(*this, call);
    return;
  }
  if (state().destination == Destination::kSkip) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  FlushBytes();
  row->handler(*this, call);
}

void RtfReader::TextByte(unsigned char byte) {
  switch (state().destination) {
    case Destination::kSkip:
      return;
    case Destination::kColorTable:
      if (byte == ';') {
        colors_.push_back(color_set_ ? std::optional<Color>(color_) : std::nullopt);
        color_ = Color{};
        color_set_ = false;
      }
      return;
    case Destination::kFontTable:
      if (byte == ';') {
        CommitFont();
        return;
      }
      break;
    default:
      break;
  }
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  if (byte < 0x20 && byte != '\t') return;
  EscapedByte(byte);
}

void RtfReader::EscapedByte(unsigned char byte) {
  const Destination destination = state().destination;
  if (destination == Destination::kSkip || destination == Destination::kColorTable) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  if (destination == Destination::kFontTable) {
    // Face names are short; a longer one is cut so that no run copies a huge name.
    constexpr std::size_t kLongestFontName = 256;
    if (!font_committed_ && font_name_.size() < kLongestFontName) {
      font_name_ += static_cast<char>(byte);
    }
    return;
  }
  const int code_page = CurrentCodePage();
  if (!bytes_.empty() && code_page != bytes_code_page_) FlushBytes();
  bytes_code_page_ = code_page;
  bytes_ += static_cast<char>(byte);
}

void RtfReader::FlushBytes() {
  if (bytes_.empty()) return;
  decoded_.clear();
  CodePageFor(bytes_code_page_).Decode(bytes_, decoded_);
  bytes_.clear();
  // Control characters other than the tab are no text.
  std::erase_if(decoded_, [](char16_t c) { return c < 0x20 && c != u'\t'; });
  Emit(decoded_);
}

void RtfReader::Emit(std::u16string_view text) {
  if (text.empty()) return;
  const GroupState& s = state();
  if (s.destination == Destination::kListMarker) {
    marker_text_ += text;
    return;
  }
  if (s.destination != Destination::kText || s.format.hidden) return;
  if (!(s.format == run_format_)) {
    FlushRun();
    run_format_ = s.format;
  }
  if (pending_cells_ > 0) {
    run_text_.append(static_cast<std::size_t>(pending_cells_), u'\t');
    pending_cells_ = 0;
  } else if (cell_line_break_) {
    run_text_ += kLineBreak;
  }
  cell_line_break_ = false;
  run_text_ += text;
  paragraph_.alignment = s.alignment;
  if (s.in_list) paragraph_.bullet = true;
}

void RtfReader::FlushRun() {
  if (run_text_.empty()) return;
  AppendText(paragraph_, run_text_, ToCharFormat(run_format_));
  run_text_.clear();
}

void RtfReader::EndParagraph(bool at_par) {
  FlushBytes();
  FlushRun();
  const GroupState& s = state();
  bool in_list = paragraph_.bullet;
  if (at_par) {
    paragraph_.alignment = s.alignment;
    in_list = s.in_list;
  }
  paragraph_.bullet = marker_ == Marker::kBullet || (marker_ == Marker::kNone && in_list);
  // pandoc writes a list item as its own "•" (nested: "–") and a tab in front of the text.
  if (!paragraph_.bullet && list_word_first_ && !paragraph_.runs.empty() &&
      (paragraph_.runs.front().text.starts_with(u"\u2022\t") ||
       paragraph_.runs.front().text.starts_with(u"\u2013\t"))) {
    paragraph_.bullet = true;
    paragraph_.runs.front().text.erase(0, 2);
    if (paragraph_.runs.front().text.empty()) paragraph_.runs.erase(paragraph_.runs.begin());
  }
  document_.paragraphs.push_back(std::move(paragraph_));
  paragraph_ = Paragraph{};
  marker_ = Marker::kNone;
  list_word_first_ = false;
  pending_cells_ = 0;
  cell_line_break_ = false;
}

void RtfReader::CommitFont() {
  if (font_committed_) return;
  font_committed_ = true;
  code_page_font_ = kNoFont;
  const int code_page = font_code_page_ > 0 ? font_code_page_ : CharsetCodePage(font_charset_);
  // The name is written in the font's own code page.
  std::u16string decoded;
  CodePageFor(code_page > 0 ? code_page : ansi_code_page_).Decode(font_name_, decoded);
  std::string name = ToUtf8(decoded);
  while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
  name.erase(0, std::min(name.find_first_not_of(' '), name.size()));
  fonts_[font_number_] = Font{std::move(name), code_page};
}

void RtfReader::FinishListMarker() {
  FlushBytes();
  if (IsNumberMarker(marker_text_)) {
    marker_ = Marker::kNumber;
    Emit(marker_text_);  // a number stays text: the model knows bullets only
  } else {
    marker_ = Marker::kBullet;
  }
  marker_text_.clear();
}

const CodePage& RtfReader::CodePageFor(int number) {
  // Unknown numbers all share one Windows-1252 decoder, so the list stays short.
  if (!IsSupportedCodePage(number)) number = 1252;
  for (const auto& code_page : code_pages_) {
    if (code_page->number() == number) return *code_page;
  }
  return *code_pages_.emplace_back(std::make_unique<CodePage>(number));
}

int RtfReader::CurrentCodePage() {
  const int font = state().format.font < 0 ? default_font_ : state().format.font;
  if (font == code_page_font_) return code_page_;
  const auto found = fonts_.find(font);
  const int code_page = found == fonts_.end() ? 0 : found->second.code_page;
  code_page_font_ = font;
  code_page_ = code_page > 0 ? code_page : ansi_code_page_;
  return code_page_;
}

CharFormat RtfReader::ToCharFormat(const TextFormat& format) const {
  CharFormat result = format.chars;
  if (format.color > 0 && static_cast<std::size_t>(format.color) < colors_.size()) {
    result.color = colors_[static_cast<std::size_t>(format.color)];
  }
  if (format.font >= 0 && format.font != default_font_) {
    const auto found = fonts_.find(format.font);
    if (found != fonts_.end()) result.font = found->second.name;
  }
  return result;
}

namespace {

// Groups that hold no text of the document.
// clang-format off
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
    "footerr", "footerf", "footnote", "annotation", "pict", "object", "objdata", "nonshppict",
    "shp", "do", "fldinst", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
    "xmlnstbl", "themedata", "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "pn",
    "pnseclvl", "filetbl", "template", "userprops", "docvar", "ftnsep", "ftnsepc", "aftnsep",
    "aftnsepc", "private", "xe", "tc", "txe", "mmathPr", "bkmkstart", "bkmkend",
};
// clang-format on

}  // namespace

// The control words the reader acts on and what each does; words that do the
// same share a row. A new word is a new row (or a new name in a row).
// clang-format off
const RtfReader::WordRow RtfReader::kWords[] = {
    // Document, font table and colour table.
    {"ansi",     [](auto& r, auto&) { r.SetDocumentCodePage(1252); }},
    {"mac",      [](auto& r, auto&) { r.SetDocumentCodePage(10000); }},
    {"pc",       [](auto& r, auto&) { r.SetDocumentCodePage(437); }},
    {"pca",      [](auto& r, auto&) { r.SetDocumentCodePage(850); }},
    {"ansicpg",  [](auto& r, auto& w) { r.SetDocumentCodePage(w.value()); }},
    {"deff",     [](auto& r, auto& w) { r.SetDefaultFont(w.value()); }},
    {"uc",       [](auto& r, auto& w) { r.state().unicode_skip = std::clamp(w.value(), 0, 16); }},
    {"u",        [](auto& r, auto& w) { r.UnicodeCharacter(w.parameter); }},
    {"fonttbl",  [](auto& r, auto&) { r.state().destination = Destination::kFontTable; }},
    {"colortbl", [](auto& r, auto&) { r.StartColorTable(); }},
    {"f",        [](auto& r, auto& w) { r.SetFont(w.value()); }},
    {"fcharset", [](auto& r, auto& w) { r.font_charset_ = w.value(); }},
    {"cpg",      [](auto& r, auto& w) { r.font_code_page_ = w.value(); }},
    {"red",      [](auto& r, auto& w) { r.SetColorComponent(&Color::red, w.value()); }},
    {"green",    [](auto& r, auto& w) { r.SetColorComponent(&Color::green, w.value()); }},
    {"blue",     [](auto& r, auto& w) { r.SetColorComponent(&Color::blue, w.value()); }},
    // Character format.
    {"plain",    [](auto& r, auto&) { r.state().format = TextFormat{}; }},
    {"b",        [](auto& r, auto& w) { r.chars().bold = w.on(); }},
    {"i",        [](auto& r, auto& w) { r.chars().italic = w.on(); }},
    {"ul uld uldash uldashd uldashdd uldb ulth ulw ulwave",
                 [](auto& r, auto& w) { r.chars().underline = w.on(); }},
    {"ulnone",   [](auto& r, auto&) { r.chars().underline = false; }},
    {"strike striked", [](auto& r, auto& w) { r.chars().strike = w.on(); }},
    {"super up", [](auto& r, auto& w) { r.SetVertical(w, VerticalPosition::kSuperscript); }},
    {"sub dn",   [](auto& r, auto& w) { r.SetVertical(w, VerticalPosition::kSubscript); }},
    {"nosupersub", [](auto& r, auto&) { r.chars().vertical = VerticalPosition::kBaseline; }},
    {"v",        [](auto& r, auto& w) { r.state().format.hidden = w.on(); }},
    {"cf",       [](auto& r, auto& w) { r.state().format.color = std::max(w.value(), 0); }},
    {"fs",       [](auto& r, auto& w) { r.SetSize(w); }},
    // Paragraph format.
    {"pard",     [](auto& r, auto&) { r.ResetParagraphFormat(); }},
    {"ql",       [](auto& r, auto&) { r.state().alignment = Alignment::kLeft; }},
    {"qc",       [](auto& r, auto&) { r.state().alignment = Alignment::kCenter; }},
    {"qr",       [](auto& r, auto&) { r.state().alignment = Alignment::kRight; }},
    {"qj qd",    [](auto& r, auto&) { r.state().alignment = Alignment::kJustified; }},
    {"pntext listtext", [](auto& r, auto&) { r.StartListMarker(); }},
    {"ls",       [](auto& r, auto& w) { r.state().in_list = w.value() > 0; }},
    {"pnlvlblt", [](auto& r, auto&) { r.state().in_list = true; }},
    {"intbl",    [](auto& r, auto&) { r.state().in_table = true; }},
    // Text and breaks.
    {"par",      [](auto& r, auto&) { r.ParagraphMark(); }},
    {"line",     [](auto& r, auto&) { r.EmitCharacter(kLineBreak); }},
    {"tab",      [](auto& r, auto&) { r.EmitCharacter(u'\t'); }},
    {"page sect", [](auto& r, auto&) { r.PageBreak(); }},
    {"cell nestcell", [](auto& r, auto&) { r.EndCell(); }},
    {"row nestrow", [](auto& r, auto&) { r.EndRow(); }},
    {"emdash",   [](auto& r, auto&) { r.EmitCharacter(u'\u2014'); }},
    {"endash",   [](auto& r, auto&) { r.ListWordCharacter(u'\u2013'); }},
    {"lquote",   [](auto& r, auto&) { r.EmitCharacter(u'\u2018'); }},
    {"rquote",   [](auto& r, auto&) { r.EmitCharacter(u'\u2019'); }},
    {"ldblquote", [](auto& r, auto&) { r.EmitCharacter(u'\u201C'); }},
    {"rdblquote", [](auto& r, auto&) { r.EmitCharacter(u'\u201D'); }},
    {"bullet",   [](auto& r, auto&) { r.ListWordCharacter(u'\u2022'); }},
    {"emspace",  [](auto& r, auto&) { r.EmitCharacter(u'\u2003'); }},
    {"enspace",  [](auto& r, auto&) { r.EmitCharacter(u'\u2002'); }},
    // Binary data.
    {"bin",      &RtfReader::SkipBinary},
};
// clang-format on

const RtfReader::WordRow* RtfReader::FindWord(std::string_view name) {
  static const WordRow kSkip{"", [](auto& r, auto&) {
                               if (r.stack_.size() > 1) r.state().destination = Destination::kSkip;
                             }};
  static const std::unordered_map<std::string_view, const WordRow*> words = [] {
    std::unordered_map<std::string_view, const WordRow*> map;
    for (const WordRow& row : kWords) {
      for (std::string_view names = row.names; !names.empty();) {
        const std::size_t end = std::min(names.find(' '), names.size());
        map.emplace(names.substr(0, end), &row);
        names.remove_prefix(std::min(end + 1, names.size()));
      }
    }
    for (std::string_view skipped : kSkippedDestinations) map.emplace(skipped, &kSkip);
    return map;
  }();
  const auto found = words.find(name);
  return found == words.end() ? nullptr : found->second;
}

void RtfReader::SkipBinary(RtfReader& reader, const WordCall& call) {
  reader.FlushBytes();
  const auto length = static_cast<std::size_t>(std::max<std::int64_t>(call.parameter, 0));
  reader.position_ += std::min(length, reader.data_.size() - reader.position_);
}

// "\ansi", "\mac" and their like, and "\ansicpg" with a positive number.
void RtfReader::SetDocumentCodePage(int code_page) {
  if (code_page > 0) ansi_code_page_ = code_page;
  code_page_font_ = kNoFont;
}

void RtfReader::SetDefaultFont(int font) {
  default_font_ = font;
  code_page_font_ = kNoFont;
}

void RtfReader::UnicodeCharacter(std::int64_t code) {
  if (code < 0) code += 65536;
  if (code >= 0x20 || code == '\t') {
    EmitCharacter(code <= 0xFFFF ? static_cast<char16_t>(code) : kReplacementCharacter);
  }
  skip_count_ = state().unicode_skip;
}

void RtfReader::StartColorTable() {
  state().destination = Destination::kColorTable;
  color_set_ = false;
}

// In the font table "\f" starts an entry; in text it chooses the font.
void RtfReader::SetFont(int font) {
  if (state().destination != Destination::kFontTable) {
    state().format.font = font;
    return;
  }
  CommitFont();
  font_number_ = font;
  font_charset_ = 0;
  font_code_page_ = 0;
  font_name_.clear();
  font_committed_ = false;
}

void RtfReader::SetColorComponent(std::uint8_t Color::*component, int value) {
  color_.*component = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
  color_set_ = true;
}

void RtfReader::SetVertical(const WordCall& call, VerticalPosition position) {
  chars().vertical = call.on() ? position : VerticalPosition::kBaseline;
}

void RtfReader::SetSize(const WordCall& call) {
  const int value = call.value();
  chars().size_half_points =
      call.has_parameter && value > 0 ? std::min(value, 3276) : kDefaultSizeHalfPoints;
}

void RtfReader::ResetParagraphFormat() {
  GroupState& s = state();
  s.alignment = Alignment::kLeft;
  s.in_list = false;
  s.in_table = false;
}

void RtfReader::ParagraphMark() {
  if (state().destination != Destination::kText) return;
  if (state().in_table) {
    cell_line_break_ = true;
  } else {
    EndParagraph(true);
  }
}

void RtfReader::PageBreak() {
  if (state().destination == Destination::kText && ParagraphHasContent()) EndParagraph(true);
}

void RtfReader::EndCell() {
  if (state().destination == Destination::kText) ++pending_cells_;
  cell_line_break_ = false;
}

void RtfReader::EndRow() {
  if (state().destination == Destination::kText) EndParagraph(true);
}

// pandoc marks list items with a "\bullet" or "\endash" word and a tab at
// the start of the paragraph; the same characters typed as text stay text.
void RtfReader::ListWordCharacter(char16_t c) {
  if (paragraph_.runs.empty() && run_text_.empty() && bytes_.empty()) list_word_first_ = true;
  EmitCharacter(c);
}

void RtfReader::StartListMarker() {
  if (state().destination != Destination::kText) return;
  state().destination = Destination::kListMarker;
  marker_text_.clear();
}

Document ReadRtf(std::string_view rtf) {
  return RtfReader(SkipUtf8ByteOrderMark(rtf)).Read();
}

bool LooksLikeRtf(std::string_view text) {
  text = SkipUtf8ByteOrderMark(text);
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && text.substr(start).starts_with("{\\rtf");
}

}  // namespace quillet
