#include "rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "rtf_words.h"
#include "text_encoding.h"

namespace quillet {

namespace {

enum class Destination : std::uint8_t {
  kText,
  kSkip,  // ignored with everything nested in it
  kFontTable,
  kColorTable,
  kListMarker,  // \pntext or \listtext: the bullet or number in front of a list item
};

// Character format as the reader tracks it: fonts and colours by table number.
struct TextFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hidden = false;
  VerticalPosition vertical = VerticalPosition::kBaseline;
  int color = 0;
  int size = kDefaultSizeHalfPoints;
  int font = -1;  // -1: the document's default font
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

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

// A list marker with a digit, or ending in "." or ")", numbers its item; any other marks a bullet.
bool IsNumberMarker(std::u16string_view marker) {
  while (!marker.empty() && (marker.back() == u'\t' || marker.back() == u' ')) {
    marker.remove_suffix(1);
  }
  if (marker.empty()) return false;
  if (marker.back() == u'.' || marker.back() == u')') return true;
  return std::any_of(marker.begin(), marker.end(),
                     [](char16_t c) { return c >= u'0' && c <= u'9'; });
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

  // Deeper groups share their parent's state: such nesting only comes from hostile input.
  static constexpr std::size_t kMaxDepth = 200000;
  static constexpr int kNoFont = INT32_MIN;

  GroupState& state() { return stack_.back(); }
  void OpenGroup();
  void CloseGroup();
  void ReadControl();
  void HandleWord(std::string_view name, bool has_parameter, std::int64_t parameter);
  void HandleSymbol(unsigned char symbol);
  void TextByte(unsigned char byte);
  void EscapedByte(unsigned char byte);
  void FlushBytes();
  void Emit(std::u16string_view text);
  void EmitCharacter(char16_t c) { Emit(std::u16string_view(&c, 1)); }
  // pandoc marks list items with a "\bullet" or "\endash" word and a tab at
  // the start of the paragraph; the same characters typed as text stay text.
  void NoteListWord() {
    if (paragraph_.runs.empty() && run_text_.empty() && bytes_.empty()) list_word_first_ = true;
  }
  void FlushRun();
  // `at_par`: ended by a control word, whose paragraph format applies; else by the end of input.
  void EndParagraph(bool at_par);
  bool ParagraphHasContent() const { return !run_text_.empty() || !paragraph_.runs.empty(); }
  void CommitFont();
  void FinishListMarker();
  const CodePage& CodePageFor(int number);
  int CurrentCodePage();
  CharFormat ToCharFormat(const TextFormat& format) const;

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
  bool list_word_first_ = false;
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
  // Table cells ended and a paragraph end inside a cell, both waiting for the next text.
  int pending_cells_ = 0;
  bool cell_line_break_ = false;
};

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
  if (!IsLetter(first)) {
    ++position_;
    if (first == '\'') {
      int value = 0;
      int digits = 0;
      while (digits < 2 && position_ < data_.size()) {
        const int digit = HexValue(static_cast<unsigned char>(data_[position_]));
        if (digit < 0) break;
        value = value * 16 + digit;
        ++digits;
        ++position_;
      }
      if (digits == 2) EscapedByte(static_cast<unsigned char>(value));
      return;
    }
    HandleSymbol(first);
    return;
  }
  const std::size_t name_start = position_;
  while (position_ < data_.size() && IsLetter(static_cast<unsigned char>(data_[position_]))) {
    ++position_;
  }
  // Names longer than RTF allows are consumed whole but match nothing.
  std::string_view name =
      data_.substr(name_start, std::min<std::size_t>(position_ - name_start, 32));
  if (position_ - name_start > 32) name = {};
  bool negative = false;
  bool has_parameter = false;
  std::int64_t parameter = 0;
  if (position_ + 1 < data_.size() && data_[position_] == '-' &&
      IsDigit(static_cast<unsigned char>(data_[position_ + 1]))) {
    negative = true;
    ++position_;
  }
  while (position_ < data_.size() && IsDigit(static_cast<unsigned char>(data_[position_]))) {
    has_parameter = true;
    parameter = std::min<std::int64_t>(parameter * 10 + (data_[position_] - '0'), INT32_MAX);
    ++position_;
  }
  if (negative) parameter = -parameter;
  if (position_ < data_.size() && data_[position_] == ' ') ++position_;
  HandleWord(name, has_parameter, parameter);
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

void RtfReader::HandleWord(std::string_view name, bool has_parameter, std::int64_t parameter) {
  const std::optional<RtfWord> found = LookupRtfWord(name);
  if (!found) return;
  const RtfWord word = *found;
  GroupState& s = state();
  if (word == RtfWord::kBin) {
    FlushBytes();
    const auto length = static_cast<std::size_t>(std::max<std::int64_t>(parameter, 0));
    position_ += std::min(length, data_.size() - position_);
    return;
  }
  if (s.destination == Destination::kSkip) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  FlushBytes();
  const bool on = !has_parameter || parameter != 0;
  const int value = static_cast<int>(parameter);
  switch (word) {
    case RtfWord::kAnsi:
      ansi_code_page_ = 1252;
      code_page_font_ = kNoFont;
      break;
    case RtfWord::kAnsiCpg:
      if (value > 0) ansi_code_page_ = value;
      code_page_font_ = kNoFont;
      break;
    case RtfWord::kMac:
      ansi_code_page_ = 10000;
      code_page_font_ = kNoFont;
      break;
    case RtfWord::kPc:
      ansi_code_page_ = 437;
      code_page_font_ = kNoFont;
      break;
    case RtfWord::kPca:
      ansi_code_page_ = 850;
      code_page_font_ = kNoFont;
      break;
    case RtfWord::kDeff:
      default_font_ = value;
      code_page_font_ = kNoFont;
      break;
    case RtfWord::kUc:
      s.unicode_skip = std::clamp(value, 0, 16);
      break;
    case RtfWord::kU: {
      const std::int64_t code = parameter < 0 ? parameter + 65536 : parameter;
      if (code >= 0x20 || code == '\t') {
        EmitCharacter(code <= 0xFFFF ? static_cast<char16_t>(code) : kReplacementCharacter);
      }
      skip_count_ = s.unicode_skip;
      break;
    }
    case RtfWord::kFontTable:
      s.destination = Destination::kFontTable;
      break;
    case RtfWord::kColorTable:
      s.destination = Destination::kColorTable;
      color_set_ = false;
      break;
    case RtfWord::kFont:
      if (s.destination == Destination::kFontTable) {
        CommitFont();
        font_number_ = value;
        font_charset_ = 0;
        font_code_page_ = 0;
        font_name_.clear();
        font_committed_ = false;
      } else {
        s.format.font = value;
      }
      break;
    case RtfWord::kCharset:
      font_charset_ = value;
      break;
    case RtfWord::kCodePage:
      font_code_page_ = value;
      break;
    case RtfWord::kRed:
      color_.red = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
      color_set_ = true;
      break;
    case RtfWord::kGreen:
      color_.green = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
      color_set_ = true;
      break;
    case RtfWord::kBlue:
      color_.blue = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
      color_set_ = true;
      break;
    case RtfWord::kPlain:
      s.format = TextFormat{};
      break;
    case RtfWord::kPard:
      s.alignment = Alignment::kLeft;
      s.in_list = false;
      s.in_table = false;
      break;
    case RtfWord::kInTable:
      s.in_table = true;
      break;
    case RtfWord::kRaise:
      s.format.vertical = on ? VerticalPosition::kSuperscript : VerticalPosition::kBaseline;
      break;
    case RtfWord::kLower:
      s.format.vertical = on ? VerticalPosition::kSubscript : VerticalPosition::kBaseline;
      break;
    case RtfWord::kBold:
      s.format.bold = on;
      break;
    case RtfWord::kItalic:
      s.format.italic = on;
      break;
    case RtfWord::kUnderline:
      s.format.underline = on;
      break;
    case RtfWord::kUnderlineNone:
      s.format.underline = false;
      break;
    case RtfWord::kStrike:
      s.format.strike = on;
      break;
    case RtfWord::kSuper:
      s.format.vertical = on ? VerticalPosition::kSuperscript : VerticalPosition::kBaseline;
      break;
    case RtfWord::kSub:
      s.format.vertical = on ? VerticalPosition::kSubscript : VerticalPosition::kBaseline;
      break;
    case RtfWord::kNoSuperSub:
      s.format.vertical = VerticalPosition::kBaseline;
      break;
    case RtfWord::kHidden:
      s.format.hidden = on;
      break;
    case RtfWord::kColor:
      s.format.color = std::max(value, 0);
      break;
    case RtfWord::kSize:
      s.format.size = has_parameter && value > 0 ? std::min(value, 3276) : kDefaultSizeHalfPoints;
      break;
    case RtfWord::kLeft:
      s.alignment = Alignment::kLeft;
      break;
    case RtfWord::kCenter:
      s.alignment = Alignment::kCenter;
      break;
    case RtfWord::kRight:
      s.alignment = Alignment::kRight;
      break;
    case RtfWord::kJustified:
      s.alignment = Alignment::kJustified;
      break;
    case RtfWord::kPar:
      if (s.destination != Destination::kText) break;
      if (s.in_table) {
        cell_line_break_ = true;
      } else {
        EndParagraph(true);
      }
      break;
    case RtfWord::kLine:
      EmitCharacter(kLineBreak);
      break;
    case RtfWord::kTab:
      EmitCharacter(u'\t');
      break;
    case RtfWord::kPage:
      if (s.destination == Destination::kText && ParagraphHasContent()) EndParagraph(true);
      break;
    case RtfWord::kCell:
      if (s.destination == Destination::kText) ++pending_cells_;
      cell_line_break_ = false;
      break;
    case RtfWord::kRow:
      if (s.destination == Destination::kText) EndParagraph(true);
      break;
    case RtfWord::kEmDash:
      EmitCharacter(u'\u2014');
      break;
    case RtfWord::kEnDash:
      NoteListWord();
      EmitCharacter(u'\u2013');
      break;
    case RtfWord::kLeftQuote:
      EmitCharacter(u'\u2018');
      break;
    case RtfWord::kRightQuote:
      EmitCharacter(u'\u2019');
      break;
    case RtfWord::kLeftDoubleQuote:
      EmitCharacter(u'\u201C');
      break;
    case RtfWord::kRightDoubleQuote:
      EmitCharacter(u'\u201D');
      break;
    case RtfWord::kBullet:
      NoteListWord();
      EmitCharacter(u'\u2022');
      break;
    case RtfWord::kEmSpace:
      EmitCharacter(u'\u2003');
      break;
    case RtfWord::kEnSpace:
      EmitCharacter(u'\u2002');
      break;
    case RtfWord::kListMarker:
      if (s.destination == Destination::kText) {
        s.destination = Destination::kListMarker;
        marker_text_.clear();
      }
      break;
    case RtfWord::kListId:
      s.in_list = value > 0;
      break;
    case RtfWord::kBulletLevel:
      s.in_list = true;
      break;
    case RtfWord::kSkipDestination:
      if (stack_.size() > 1) s.destination = Destination::kSkip;
      break;
    case RtfWord::kBin:
      break;
  }
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
  CharFormat result;
  result.bold = format.bold;
  result.italic = format.italic;
  result.underline = format.underline;
  result.strike = format.strike;
  result.vertical = format.vertical;
  if (format.color > 0 && static_cast<std::size_t>(format.color) < colors_.size()) {
    result.color = colors_[static_cast<std::size_t>(format.color)];
  }
  result.size_half_points = format.size;
  if (format.font >= 0 && format.font != default_font_) {
    const auto found = fonts_.find(format.font);
    if (found != fonts_.end()) result.font = found->second.name;
  }
  return result;
}

}  // namespace

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

Document ReadRtf(std::string_view rtf) {
  if (rtf.starts_with(kUtf8ByteOrderMark)) rtf.remove_prefix(kUtf8ByteOrderMark.size());
  return RtfReader(rtf).Read();
}

bool LooksLikeRtf(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && text.substr(start).starts_with("{\\rtf");
}

}  // namespace quillet
