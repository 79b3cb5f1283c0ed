// The reader is one pass over the bytes: braces open and close groups, whose
// states stack; control words go through one table of {word, handler} rows
// (further down); text bytes are decoded in the code page of their font and
// appended to the paragraph being built. Footnotes and text boxes interrupt
// that paragraph with paragraphs of their own (a flow), which go to the note
// or, for a box, in front of the paragraph that anchors it.
#include "richtext/rtf_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "richtext/ascii.h"
#include "richtext/document.h"
#include "richtext/list_numbers.h"
#include "richtext/notes.h"
#include "richtext/text_encoding.h"

namespace quillet {

namespace {

enum class Destination : std::uint8_t {
  kText,
  kSkip,  // ignored with everything nested in it
  kFontTable,
  kColorTable,
  kListMarker,  // \pntext or \listtext: the bullet or number in front of a list item
  // The list table: its lists, their levels with their texts, and the overrides.
  kListTable,
  kList,
  kListLevel,
  kLevelText,
  kLevelNumbers,
  kListOverride,
  kOverrideLevel,
  // \pn: a paragraph's old-style numbering, with the texts before and after the number.
  kOldNumbering,
  kNumberBefore,
  kNumberAfter,
  kNoteMark,  // our own note group: the mark of the note
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

// A letter of a word: no Unicode tables in the standard library, so beyond
// ASCII everything but Latin-1's signs and the punctuation and symbol blocks
// (U+2000 to U+2BFF) counts as one.
constexpr bool IsWordLetter(char16_t c) {
  if (c < 0x80) return IsAsciiLetter(static_cast<char>(c));
  return c >= 0xC0 && c != 0xD7 && c != 0xF7 && (c < 0x2000 || c > 0x2BFF);
}

constexpr bool IsWordCharacter(char16_t c) {
  return IsWordLetter(c) || (c >= u'0' && c <= u'9');
}

// Whether `text` has a token starting at `position`: nothing of a word just before it.
bool StartsToken(std::u16string_view text, std::size_t position) {
  return position == 0 || !IsWordCharacter(text[position - 1]);
}

bool AllLetters(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), IsWordLetter);
}

struct GroupState {
  Destination destination = Destination::kText;
  TextFormat format;
  int unicode_skip = 1;  // \uc: fallback characters that follow a \u
  Alignment alignment = Alignment::kLeft;
  bool in_list = false;    // \ls or \pnlvlblt in the paragraph format
  bool in_table = false;   // \intbl: paragraph ends inside a cell are line breaks
  int list_override = 0;   // \ls
  int list_level = 0;      // \ilvl
  int old_numbering = -1;  // \pn, as an index into the reader's old-style numberings
};

// How a paragraph's list number or bullet is found when no list text gives it.
struct ListProperties {
  int list_override = 0;
  int list_level = 0;
  int old_numbering = -1;
};

// Old-style paragraph numbering (\pn).
struct OldNumbering {
  enum class Level : std::uint8_t { kNone, kBody, kBullet, kContinue };
  Level level = Level::kNone;
  NumberStyle style = NumberStyle::kDecimal;
  int start = 1;
  std::u16string before;  // \pntxtb
  std::u16string after;   // \pntxta
  bool SameNumbers(const OldNumbering& other) const {
    return style == other.style && before == other.before && after == other.after;
  }
};

// What our own note groups say of a paragraph (see rtf_writer.h).
enum class NoteRole : std::uint8_t { kNone, kHeading, kFirst, kMore };

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

// Texts that go in front of every paragraph of a list are short: a longer one
// is cut, so that no list can repeat a long text in front of each paragraph.
void AppendShort(std::u16string& to, std::u16string_view text) {
  constexpr std::size_t kLongest = 64;
  to.append(text.substr(0, kLongest - std::min(to.size(), kLongest)));
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

// The hash of control-word names (FNV-1a), one letter at a time.
constexpr std::uint32_t kNameHashStart = 2166136261U;
constexpr std::uint32_t NameHashStep(std::uint32_t hash, char letter) {
  return (hash ^ static_cast<unsigned char>(letter)) * 16777619U;
}
constexpr std::uint32_t NameHash(std::string_view name) {
  std::uint32_t hash = kNameHashStart;
  for (const char letter : name) hash = NameHashStep(hash, letter);
  return hash;
}

// Compared letter by letter: a call to memcmp costs more than these few letters.
constexpr bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

// Bytes that stand for themselves in the text: no brace, backslash, line break
// or other control character.
constexpr std::array<bool, 256> kPlainText = [] {
  std::array<bool, 256> plain{};
  for (int byte = 0x20; byte < 0x100; ++byte) plain[static_cast<std::size_t>(byte)] = true;
  plain['{'] = plain['}'] = plain['\\'] = false;
  plain['\t'] = true;
  return plain;
}();

// Eight bytes at a time (little-endian), the top bit of each byte that equals
// `c`, or that is below `n` (at most 0x80). A bit above a set one may be wrong,
// so only the lowest set bit counts.
constexpr std::uint64_t kEveryByte = 0x0101010101010101U;
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char c) {
  const std::uint64_t x = word ^ (kEveryByte * c);
  return (x - kEveryByte) & ~x & (kEveryByte << 7);
}
constexpr std::uint64_t BytesBelow(std::uint64_t word, unsigned char n) {
  return (word - kEveryByte * n) & ~word & (kEveryByte << 7);
}

// Where the plain text from `from` on ends: long runs of text between controls
// are most of a document, and eight bytes are looked at in a few steps.
std::size_t PlainTextEnd(std::string_view data, std::size_t from) {
  std::size_t at = from;
  if constexpr (std::endian::native == std::endian::little) {
    while (at + 8 <= data.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, data.data() + at, sizeof word);
      const std::uint64_t stops = BytesEqual(word, '{') | BytesEqual(word, '}') |
                                  BytesEqual(word, '\\') | BytesBelow(word, 0x20);
      if (stops == 0) {
        at += 8;
        continue;
      }
      at += static_cast<std::size_t>(std::countr_zero(stops)) / 8;
      if (data[at] != '\t') return at;
      ++at;  // a tab is text, whatever its byte
    }
  }
  while (at < data.size() && kPlainText[static_cast<unsigned char>(data[at])]) ++at;
  return at;
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

  // A control word as read, with the argument its table row gives the handler.
  struct WordCall {
    bool has_parameter = false;
    std::int64_t parameter = 0;
    int argument = 0;  // a character, a code page, an alignment, ...
    int value() const { return static_cast<int>(parameter); }
    // A toggle without a parameter, or with one other than 0, switches on.
    bool on() const { return !has_parameter || parameter != 0; }
  };
  using WordHandler = void (RtfReader::*)(const WordCall& call);
  struct WordRow {
    std::string_view name;
    WordHandler handler;
    int argument = 0;
    bool read_after_star = false;  // a destination read even when "\*" marks it ignorable
  };

  // A note reference in a paragraph being built: a note read from the text
  // (`own` false, by its index) or one of our own note groups (by its number).
  struct PendingReference {
    std::size_t note;
    std::size_t offset;
    bool own;
  };
  // The paragraph being built, with its last run.
  struct OpenParagraph {
    Paragraph paragraph;
    std::size_t length = 0;  // of the runs in `paragraph`
    std::u16string run_text;
    TextFormat run_format;
    Marker marker = Marker::kNone;
    bool list_word_first = false;  // it opened with a "\bullet" or "\endash" word
    ListProperties list;           // as its last text found them
    // Table cells ended and a paragraph end inside a cell, both waiting for the next text.
    int pending_cells = 0;
    bool cell_line_break = false;
    std::vector<PendingReference> references;
    NoteRole role = NoteRole::kNone;
    NoteKind role_kind = NoteKind::kFootnote;
    std::u16string role_mark;

    // For the next paragraph; the buffers stay, as most paragraphs need them.
    void Reset() {
      paragraph.Clear();
      length = 0;
      run_text.clear();
      marker = Marker::kNone;
      list_word_first = false;
      list = {};
      pending_cells = 0;
      cell_line_break = false;
      references.clear();
      role = NoteRole::kNone;
      role_mark.clear();
    }
  };
  // A run of numbered old-style paragraphs, which counts on while their numbers look alike.
  struct OldSequence {
    int numbering = -1;  // the last paragraph's, or -1 when the run is broken
    int number = 0;
  };
  enum class FlowKind : std::uint8_t { kNote, kBox };
  // A note or a text box, and the paragraph it interrupts.
  struct Flow {
    FlowKind kind;
    std::size_t depth;  // the group whose end ends it
    OpenParagraph interrupted;
    OldSequence sequence;
  };
  struct OwnRole {
    std::size_t paragraph;
    NoteRole role;
    NoteKind kind;
    std::u16string mark;
  };
  struct OwnReference {
    std::size_t note;
    std::size_t paragraph;
    std::size_t offset;
  };

  // Deeper groups share their parent's state: such nesting only comes from hostile input.
  static constexpr std::size_t kMaxDepth = 200000;
  static constexpr int kNoFont = INT32_MIN;
  static constexpr std::size_t kUncited = SIZE_MAX;

  // The reading loop.
  GroupState& state() { return stack_.back(); }
  void OpenGroup();
  void CloseGroup();
  void GroupClosed(Destination closed, Destination parent);
  void ReadControl();
  void ReadHexEscape();
  void HandleWord(const WordRow* row, WordCall call);
  void HandleSymbol(unsigned char symbol);
  void TextRun();
  void TextByte(unsigned char byte);
  void EscapedByte(unsigned char byte);
  bool TableByte(Destination destination, unsigned char byte);
  void QueueBytes(std::string_view bytes);
  void DecodeText(std::string_view bytes, const CodePage& code_page);
  void FlushBytes();
  void Emit(std::u16string_view text);
  std::u16string& OpenRunText();
  void EmitText(std::u16string_view text) { OpenRunText() += text; }
  void EmitCharacter(char16_t c) { Emit(std::u16string_view(&c, 1)); }
  void FlushRun();
  std::size_t OpenLength() const { return open_.length + open_.run_text.size(); }
  // `at_par`: ended by a control word, whose paragraph format applies; else by the end of input.
  void EndParagraph(bool at_par);
  void PushParagraph();
  bool ParagraphHasContent() const {
    return !open_.run_text.empty() || !open_.paragraph.Runs().empty();
  }
  void CommitFont();
  void FinishListMarker();
  const CodePage& CodePageFor(int number);
  int CurrentCodePage();
  const CodePage& CurrentDecoder();
  CharFormat ToCharFormat(const TextFormat& format) const;

  // List numbers the writer left to the reader.
  void PutListMarker(bool in_list, const ListProperties& list);
  ListMarker NextListMarker(const ListProperties& list);
  ListMarker NextOldNumber(int numbering);
  void PrependNumber(const std::u16string& number);
  void CommitListLevel();
  void CommitOverrideLevel();

  // Notes and text boxes.
  bool CanStartFlow() const;
  void BeginFlow(FlowKind kind);
  void EndFlow();
  std::vector<Paragraph>& Target();
  void FinishNote(bool numbered, const TextFormat& mark_format);
  bool TakeCustomMark(FoundNote& note);
  void EmitReference(std::size_t note, const std::u16string& mark, TextFormat format);
  void RecoverOwnNotes();
  std::optional<std::vector<Note>> OwnNotes() const;
  void GatherNotes();

  // The control words and their handlers.
  static const WordRow kWords[];
  // `hash`: NameHash(name), which the reader takes as it reads the name.
  static const WordRow* FindWord(std::string_view name, std::uint32_t hash);
  void SkipBinary(const WordCall& call);
  void SkipDestination(const WordCall& call);
  void SetDocumentCodePage(const WordCall& call);
  void SetAnsiCodePage(const WordCall& call);
  void SetDefaultFont(const WordCall& call);
  void SetUnicodeSkip(const WordCall& call);
  void UnicodeCharacter(const WordCall& call);
  void StartFontTable(const WordCall& call);
  void StartColorTable(const WordCall& call);
  void SetFont(const WordCall& call);
  void SetFontCharset(const WordCall& call);
  void SetFontCodePage(const WordCall& call);
  void SetColorComponent(const WordCall& call);
  void ResetCharFormat(const WordCall& call);
  void ResetParagraphFormat(const WordCall& call);
  void SetInTable(const WordCall& call);
  void SetBold(const WordCall& call);
  void SetItalic(const WordCall& call);
  void SetUnderline(const WordCall& call);
  void ClearUnderline(const WordCall& call);
  void SetStrike(const WordCall& call);
  void SetHidden(const WordCall& call);
  void SetVertical(const WordCall& call);
  void SetColor(const WordCall& call);
  void SetSize(const WordCall& call);
  void SetAlignment(const WordCall& call);
  void ParagraphMark(const WordCall& call);
  void PageBreak(const WordCall& call);
  void EndCell(const WordCall& call);
  void EndRow(const WordCall& call);
  void InsertCharacter(const WordCall& call);
  void ListWordCharacter(const WordCall& call);
  void StartListMarker(const WordCall& call);
  void SetListId(const WordCall& call);
  void SetListLevel(const WordCall& call);
  void SetBulletLevel(const WordCall& call);
  // The list table.
  void StartListPart(const WordCall& call);
  void SetListNumber(const WordCall& call);
  void SetLevelStyle(const WordCall& call);
  void SetLevelStart(const WordCall& call);
  void SetLevelFollow(const WordCall& call);
  void SetLevelNoRestart(const WordCall& call);
  void SetOverrideStarts(const WordCall& call);
  // Old-style numbering.
  void StartOldNumbering(const WordCall& call);
  void SetOldNumberingLevel(const WordCall& call);
  void SetOldNumberingStyle(const WordCall& call);
  void SetOldNumberingStart(const WordCall& call);
  void StartOldNumberingText(const WordCall& call);
  // Notes, text boxes, and our own note groups.
  void StartNote(const WordCall& call);
  void NoteNumberMark(const WordCall& call);
  void SetEndnote(const WordCall& call);
  void SetNoteStyle(const WordCall& call);
  void SetNoteStart(const WordCall& call);
  void StartShape(const WordCall& call);
  void KeepDestination(const WordCall& call);
  void OwnNoteRole(const WordCall& call);
  void OwnNoteKind(const WordCall& call);
  void OwnNoteReference(const WordCall& call);

  // Input cursor.
  std::string_view data_;
  std::size_t position_ = 0;
  // Group states, innermost last, and braces opened past the depth limit.
  std::vector<GroupState> stack_;
  std::size_t overflow_depth_ = 0;
  int skip_count_ = 0;  // fallback characters of a \u still to skip
  // "\*" was the last thing read: the destination of its group before it.
  bool after_star_ = false;
  Destination before_star_ = Destination::kText;
  // Document tables.
  int ansi_code_page_ = 1252;
  int code_page_font_ = kNoFont;  // the font whose code page `code_page_` caches
  int code_page_ = 1252;
  const CodePage* decoder_ = nullptr;  // the decoder of `code_page_`
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
  // The list table being read, and the numbers of its lists.
  ListNumbering lists_;
  int list_id_ = 0;
  std::vector<ListLevel> list_levels_;
  ListLevel list_level_;
  std::u16string level_text_;
  std::u16string level_numbers_;
  int override_number_ = 0;
  std::vector<std::pair<int, int>> override_starts_;
  int override_levels_ = 0;
  bool override_restarts_ = false;
  int override_start_ = 1;
  // Old-style numberings, and the one being read.
  std::vector<OldNumbering> old_numberings_;
  OldNumbering old_numbering_;
  OldSequence old_sequence_;
  // Text bytes waiting to be decoded together, in one code page.
  std::string bytes_;
  int bytes_code_page_ = 0;
  std::u16string decoded_;
  // Every control and group flushes the bytes: till then, the open run, once
  // readied, takes the text as it comes, in the code page of its decoder (and
  // the reader is in the document's text with nothing to skip).
  bool run_takes_text_ = false;
  const CodePage* text_decoder_ = nullptr;
  // The document being built: finished paragraphs and the open one.
  Document document_;
  OpenParagraph open_;
  std::u16string marker_text_;
  // Notes and boxes: the paragraphs they interrupt, the notes read, and what is
  // known of the one being read.
  std::vector<Flow> flows_;
  std::vector<FoundNote> notes_;
  bool in_note_ = false;
  bool pending_number_mark_ = false;  // a "\chftn" in the text, for the note that follows
  TextFormat pending_mark_format_;
  bool note_numbered_ = false;
  TextFormat note_mark_format_;
  std::array<NumberStyle, 2> note_styles_ = {NumberStyle::kDecimal, NumberStyle::kLowerRoman};
  std::array<int, 2> note_numbers_ = {1, 1};  // the next number of each kind
  // Our own note groups, by paragraph.
  std::vector<OwnRole> own_roles_;
  std::vector<OwnReference> own_references_;
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
        if (state().destination == Destination::kText && skip_count_ == 0) {
          TextRun();
        } else {
          ++position_;
          TextByte(c);
        }
        break;
    }
  }
  FlushBytes();
  // Notes and boxes that the input left open end with it.
  while (!flows_.empty()) EndFlow();
  if (ParagraphHasContent()) EndParagraph(false);
  RecoverOwnNotes();
  GatherNotes();
  return std::move(document_);
}

void RtfReader::OpenGroup() {
  FlushBytes();
  skip_count_ = 0;
  after_star_ = false;
  if (stack_.size() >= kMaxDepth) {
    ++overflow_depth_;
    return;
  }
  stack_.push_back(state());
}

void RtfReader::CloseGroup() {
  FlushBytes();
  skip_count_ = 0;
  after_star_ = false;
  if (overflow_depth_ > 0) {
    --overflow_depth_;
    return;
  }
  if (stack_.size() <= 1) return;  // an unbalanced "}"
  const Destination closed = state().destination;
  stack_.pop_back();
  GroupClosed(closed, state().destination);
  while (!flows_.empty() && flows_.back().depth > stack_.size()) EndFlow();
}

// What ends with a group: a table entry, a list marker, a part of the list table.
void RtfReader::GroupClosed(Destination closed, Destination parent) {
  // Each entry of the font table may be a group of its own.
  if (closed == Destination::kFontTable) CommitFont();
  if (closed == parent) return;
  switch (closed) {
    case Destination::kListMarker:
      FinishListMarker();
      break;
    case Destination::kListLevel:
      CommitListLevel();
      break;
    case Destination::kList:
      lists_.AddList(list_id_, std::move(list_levels_));
      list_levels_.clear();
      break;
    case Destination::kOverrideLevel:
      CommitOverrideLevel();
      break;
    case Destination::kListOverride:
      lists_.AddOverride(override_number_, list_id_, std::move(override_starts_));
      override_starts_.clear();
      break;
    case Destination::kOldNumbering:
      if (parent == Destination::kText) {
        state().old_numbering = static_cast<int>(old_numberings_.size());
        old_numberings_.push_back(std::move(old_numbering_));
      }
      break;
    default:
      break;
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
  std::uint32_t hash = kNameHashStart;
  std::size_t name_end = name_start;  // a local index stays in a register
  while (name_end < data_.size() && IsAsciiLetter(data_[name_end])) {
    hash = NameHashStep(hash, data_[name_end]);
    ++name_end;
  }
  position_ = name_end;
  // Names longer than RTF allows are consumed whole but match nothing.
  const std::size_t length = position_ - name_start;
  const WordRow* row = length <= 32 ? FindWord(data_.substr(name_start, length), hash) : nullptr;
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
  HandleWord(row, call);
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
  after_star_ = false;
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
      if (stack_.size() > 1) {
        before_star_ = destination;
        after_star_ = true;
        state().destination = Destination::kSkip;
      }
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

void RtfReader::HandleWord(const WordRow* row, WordCall call) {
  // A destination after "\*" that the reader knows is read after all.
  if (after_star_ && row != nullptr && row->read_after_star) state().destination = before_star_;
  after_star_ = false;
  if (row == nullptr) return;
  call.argument = row->argument;
  // Binary data is skipped wherever it stands, even inside a skipped group.
  if (row->handler == &RtfReader::SkipBinary) {
    SkipBinary(call);
    return;
  }
  if (state().destination == Destination::kSkip) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  FlushBytes();
  (this->*row->handler)(call);
}

// A run of plain bytes of the document's text, taken in one piece: what
// TextByte does byte by byte, once for the run.
void RtfReader::TextRun() {
  const std::size_t start = position_;
  position_ = PlainTextEnd(data_, start);
  if (position_ == start) {
    ++position_;
    TextByte(static_cast<unsigned char>(data_[start]));
    return;
  }
  const std::string_view bytes = data_.substr(start, position_ - start);
  if (run_takes_text_) {
    text_decoder_->Decode(bytes, open_.run_text);
    return;
  }
  const CodePage& code_page = CurrentDecoder();
  if (code_page.plain_stays_plain()) {
    DecodeText(bytes, code_page);
  } else {
    QueueBytes(bytes);
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
  if (run_takes_text_) {
    // A control character is no text: the byte is dropped, as a flush would drop it.
    if (byte >= 0x20 || byte == '\t') open_.run_text += text_decoder_->Character(byte);
    return;
  }
  const Destination destination = state().destination;
  if (destination == Destination::kSkip || destination == Destination::kColorTable) return;
  if (skip_count_ > 0) {
    --skip_count_;
    return;
  }
  if (destination != Destination::kText && TableByte(destination, byte)) return;
  const char c = static_cast<char>(byte);
  if (destination == Destination::kText) {
    const CodePage& code_page = CurrentDecoder();
    if (code_page.plain_stays_plain()) {
      if (byte >= 0x20 || byte == '\t') DecodeText(std::string_view(&c, 1), code_page);
      return;
    }
  }
  QueueBytes(std::string_view(&c, 1));
}

// Bytes decoded together when flushed: those of a double-byte code page, whose
// characters may span escapes, and those of the groups that are no text.
void RtfReader::QueueBytes(std::string_view bytes) {
  const int code_page = CurrentCodePage();
  if (!bytes_.empty() && code_page != bytes_code_page_) FlushBytes();
  bytes_code_page_ = code_page;
  bytes_.append(bytes);
}

// Plain bytes of the document's text (from 0x20 up, or tabs), in a code page
// where they stay plain, decoded straight into the open run: what queueing them
// and flushing them at the next control would give, without the copies.
void RtfReader::DecodeText(std::string_view bytes, const CodePage& code_page) {
  if (!run_takes_text_) {
    FlushBytes();
    if (state().format.hidden) return;
    OpenRunText();
    run_takes_text_ = true;
    text_decoder_ = &code_page;
  }
  code_page.Decode(bytes, open_.run_text);
}

// A byte of a font name or a list level's text, which are not decoded as text is.
bool RtfReader::TableByte(Destination destination, unsigned char byte) {
  if (destination == Destination::kFontTable) {
    // Face names are short; a longer one is cut so that no run copies a huge name.
    constexpr std::size_t kLongestFontName = 256;
    if (!font_committed_ && font_name_.size() < kLongestFontName) {
      font_name_ += static_cast<char>(byte);
    }
    return true;
  }
  // A level's text holds its length and its placeholders as bytes below 0x20.
  if ((destination == Destination::kLevelText || destination == Destination::kLevelNumbers) &&
      byte < 0x80) {
    FlushBytes();
    const char16_t unit = byte;
    AppendShort(destination == Destination::kLevelText ? level_text_ : level_numbers_, {&unit, 1});
    return true;
  }
  return false;
}

void RtfReader::FlushBytes() {
  run_takes_text_ = false;
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
  switch (state().destination) {
    case Destination::kText:
      if (!state().format.hidden) EmitText(text);
      return;
    case Destination::kListMarker:
      marker_text_ += text;
      return;
    case Destination::kNoteMark:
      open_.role_mark += text;
      return;
    case Destination::kNumberBefore:
      AppendShort(old_numbering_.before, text);
      return;
    case Destination::kNumberAfter:
      AppendShort(old_numbering_.after, text);
      return;
    case Destination::kLevelText:
      AppendShort(level_text_, text);
      return;
    default:
      return;
  }
}

// The open paragraph's last run, in the group's format, ready for text of the
// document: what waits to go in front of that text is in it.
std::u16string& RtfReader::OpenRunText() {
  const GroupState& s = state();
  pending_number_mark_ = false;
  if (!(s.format == open_.run_format)) {
    FlushRun();
    open_.run_format = s.format;
  }
  if (open_.pending_cells > 0) {
    open_.run_text.append(static_cast<std::size_t>(open_.pending_cells), u'\t');
    open_.pending_cells = 0;
  } else if (open_.cell_line_break) {
    open_.run_text += kLineBreak;
  }
  open_.cell_line_break = false;
  open_.paragraph.alignment = s.alignment;
  if (s.in_list) open_.paragraph.bullet = true;
  open_.list = {s.list_override, s.list_level, s.old_numbering};
  return open_.run_text;
}

void RtfReader::FlushRun() {
  if (open_.run_text.empty()) return;
  AppendText(open_.paragraph, open_.run_text, ToCharFormat(open_.run_format));
  open_.length += open_.run_text.size();
  open_.run_text.clear();
}

void RtfReader::EndParagraph(bool at_par) {
  FlushBytes();
  FlushRun();
  const GroupState& s = state();
  Paragraph& paragraph = open_.paragraph;
  bool in_list = paragraph.bullet;
  ListProperties list = open_.list;
  if (at_par) {
    paragraph.alignment = s.alignment;
    in_list = s.in_list;
    list = {s.list_override, s.list_level, s.old_numbering};
  }
  PutListMarker(in_list, list);
  // pandoc writes a list item as its own "•" (nested: "–") and a tab in front of the text.
  if (!paragraph.bullet && open_.list_word_first && !paragraph.Runs().empty() &&
      (paragraph.Runs().front().text.starts_with(u"\u2022\t") ||
       paragraph.Runs().front().text.starts_with(u"\u2013\t"))) {
    paragraph.bullet = true;
    paragraph.EraseFront(2);
    if (paragraph.Runs().front().text.empty()) paragraph.PopFront();
    for (PendingReference& reference : open_.references) {
      reference.offset -= std::min<std::size_t>(reference.offset, 2);
    }
  }
  PushParagraph();
}

// The paragraph, finished, goes to the document or the note being read, with
// what is known of the notes cited in it.
void RtfReader::PushParagraph() {
  std::vector<Paragraph>& target = Target();
  const std::size_t index = target.size();
  if (&target == &document_.paragraphs) {
    for (const PendingReference& reference : open_.references) {
      if (reference.own) {
        own_references_.push_back({reference.note, index, reference.offset});
      } else {
        notes_[reference.note].reference_paragraph = index;
        notes_[reference.note].reference_offset = reference.offset;
      }
    }
    if (open_.role != NoteRole::kNone) {
      own_roles_.push_back({index, open_.role, open_.role_kind, std::move(open_.role_mark)});
    }
  }
  // A copy is of its own size; the grown buffers stay for the next paragraph,
  // which then needs no reallocation as its text comes.
  target.push_back(open_.paragraph);
  open_.Reset();
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
  const bool blank = std::all_of(marker_text_.begin(), marker_text_.end(),
                                 [](char16_t c) { return c == u' ' || c == u'\t'; });
  if (blank) {
    // An empty list text shows nothing; the list table tells what the paragraph is.
    open_.marker = Marker::kNone;
  } else if (IsNumberMarker(marker_text_)) {
    open_.marker = Marker::kNumber;
    Emit(marker_text_);  // a number stays text: the model knows bullets only
  } else {
    open_.marker = Marker::kBullet;
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
  decoder_ = &CodePageFor(code_page_);
  return code_page_;
}

const CodePage& RtfReader::CurrentDecoder() {
  CurrentCodePage();
  return *decoder_;
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

// A list text read from the document wins; without one, the list table or the
// old-style numbering gives a number, a bullet or nothing; an \ls the list
// table does not define, and \pnlvlblt, a bullet.
void RtfReader::PutListMarker(bool in_list, const ListProperties& list) {
  const ListMarker generated = NextListMarker(list);  // counted even when a list text shows it
  Paragraph& paragraph = open_.paragraph;
  if (open_.marker != Marker::kNone) {
    paragraph.bullet = open_.marker == Marker::kBullet;
    return;
  }
  switch (generated.kind) {
    case ListMarker::Kind::kNumber:
      paragraph.bullet = false;
      PrependNumber(generated.text);
      break;
    case ListMarker::Kind::kBullet:
      paragraph.bullet = true;
      break;
    case ListMarker::Kind::kNone:
      paragraph.bullet = false;
      break;
    case ListMarker::Kind::kUnknown:
      paragraph.bullet = in_list;
      break;
  }
}

ListMarker RtfReader::NextListMarker(const ListProperties& list) {
  if (list.list_override > 0) {
    ListMarker marker = lists_.Next(list.list_override, list.list_level);
    if (marker.kind != ListMarker::Kind::kUnknown) {
      old_sequence_.numbering = -1;
      return marker;
    }
  }
  if (list.old_numbering >= 0) return NextOldNumber(list.old_numbering);
  old_sequence_.numbering = -1;
  return {};
}

// Old-style numbers count on over paragraphs numbered alike, and start again
// after any other paragraph but a continuation of an item.
ListMarker RtfReader::NextOldNumber(int numbering) {
  const OldNumbering& format = old_numberings_[static_cast<std::size_t>(numbering)];
  switch (format.level) {
    case OldNumbering::Level::kBullet:
      old_sequence_.numbering = -1;
      return {ListMarker::Kind::kBullet, {}};
    case OldNumbering::Level::kContinue:
      return {ListMarker::Kind::kNone, {}};
    case OldNumbering::Level::kNone:
      old_sequence_.numbering = -1;
      return {};
    case OldNumbering::Level::kBody:
      break;
  }
  const bool counts_on =
      old_sequence_.numbering >= 0 &&
      old_numberings_[static_cast<std::size_t>(old_sequence_.numbering)].SameNumbers(format);
  int& number = old_sequence_.number;
  number = !counts_on ? format.start : number < INT32_MAX ? number + 1 : number;
  old_sequence_.numbering = numbering;
  return {ListMarker::Kind::kNumber,
          format.before + FormatNumber(number, format.style) + format.after + u"\t"};
}

// The number goes in front of the paragraph's text, in the format of that text.
void RtfReader::PrependNumber(const std::u16string& number) {
  Paragraph& paragraph = open_.paragraph;
  if (paragraph.Runs().empty()) {
    paragraph.Append(number, ToCharFormat(TextFormat{}));
  } else {
    paragraph.InsertFront(number);
  }
  open_.length += number.size();
  for (PendingReference& reference : open_.references) reference.offset += number.size();
}

// A level's text is its length, then characters and placeholders; \levelnumbers
// says where the placeholders stand (from 1, past the length). Without it, every
// unit below kListLevels is one.
void RtfReader::CommitListLevel() {
  ListLevel& level = list_level_;
  const auto index = static_cast<char16_t>(list_levels_.size());
  if (level_text_.empty()) {
    level.text = std::u16string(1, index) + u".";
  } else {
    const std::size_t length = std::min<std::size_t>(level_text_[0], level_text_.size() - 1);
    std::vector<bool> placeholders(length + 1, false);
    for (char16_t position : level_numbers_) {
      if (position <= length) placeholders[position] = true;
    }
    level.text.clear();
    for (std::size_t i = 1; i <= length; ++i) {
      const char16_t c = level_text_[i];
      const bool placeholder = level_numbers_.empty() ? c < kListLevels : placeholders[i];
      if (placeholder ? c < kListLevels : c >= 0x20 || c == u'\t') level.text += c;
    }
  }
  if (list_levels_.size() < kListLevels) list_levels_.push_back(std::move(level));
  list_level_ = ListLevel{};
  level_text_.clear();
  level_numbers_.clear();
}

// The \lfolevel groups of an override stand for its levels in order.
void RtfReader::CommitOverrideLevel() {
  if (override_restarts_) override_starts_.emplace_back(override_levels_, override_start_);
  override_restarts_ = false;
  override_start_ = 1;
  ++override_levels_;
}

// Notes and boxes start only in the text, and not past the depth limit, where
// groups cannot be told apart.
bool RtfReader::CanStartFlow() const {
  return stack_.size() > 1 && overflow_depth_ == 0 &&
         stack_.back().destination == Destination::kText;
}

void RtfReader::BeginFlow(FlowKind kind) {
  FlushRun();
  flows_.push_back({kind, stack_.size(), std::move(open_), old_sequence_});
  open_ = OpenParagraph{};
  old_sequence_ = {};
  // The flow's paragraphs are no list items or table rows of the text around it.
  ResetParagraphFormat({});
  if (kind == FlowKind::kNote) in_note_ = true;
}

void RtfReader::EndFlow() {
  FlushBytes();
  if (ParagraphHasContent()) EndParagraph(false);
  Flow flow = std::move(flows_.back());
  flows_.pop_back();
  open_ = std::move(flow.interrupted);
  old_sequence_ = flow.sequence;
  if (flow.kind == FlowKind::kBox) return;
  in_note_ = false;
  FinishNote(note_numbered_, note_mark_format_);
}

std::vector<Paragraph>& RtfReader::Target() {
  return in_note_ ? notes_.back().paragraphs : document_.paragraphs;
}

// A note numbered by "\chftn" (in the text before it or in its own text) gets
// the next number of its kind; one with the same text at the start of its own
// text and just before it keeps that mark; any other is numbered too.
void RtfReader::FinishNote(bool numbered, const TextFormat& mark_format) {
  const std::size_t index = notes_.size() - 1;
  FoundNote& note = notes_[index];
  if (!numbered && TakeCustomMark(note)) {
    open_.references.push_back({index, OpenLength() - note.mark.size(), false});
    return;
  }
  const auto kind = static_cast<std::size_t>(note.kind);
  int& number = note_numbers_[kind];
  note.mark = FormatNumber(number, note_styles_[kind]);
  if (number < INT32_MAX) ++number;
  EmitReference(index, note.mark, mark_format);
}

// The note's own mark: the first word of its text when the text just before
// the note ends with it as a whole token, a few characters long and not a
// plain word, unless raised ("*", "\u2020", "1", or a raised "a"). A note whose
// first word only repeats the text before it is numbered.
bool RtfReader::TakeCustomMark(FoundNote& note) {
  constexpr std::size_t kLongestMark = 4;
  if (note.paragraphs.empty() || note.paragraphs.front().Runs().empty()) return false;
  const RunView first = note.paragraphs.front().Runs().front();
  const std::size_t end = std::min(first.text.find_first_of(u" \t\u00A0"), first.text.size());
  if (end == 0 || end > kLongestMark) return false;
  const std::u16string_view mark = first.text.substr(0, end);
  const bool open_run = !open_.run_text.empty();
  if (!open_run && open_.paragraph.Runs().empty()) return false;
  const std::u16string_view before = open_run ? open_.run_text : open_.paragraph.Runs().back().text;
  if (!before.ends_with(mark)) return false;
  const bool raised =
      first.format.vertical == VerticalPosition::kSuperscript ||
      (open_run ? open_.run_format.vertical : open_.paragraph.Runs().back().format.vertical) ==
          VerticalPosition::kSuperscript;
  if (!raised && (!StartsToken(before, before.size() - mark.size()) || AllLetters(mark))) {
    return false;
  }
  note.mark = std::u16string(mark);
  note.paragraphs.front().EraseFront(end);
  return true;
}

void RtfReader::EmitReference(std::size_t note, const std::u16string& mark, TextFormat format) {
  format.vertical = VerticalPosition::kSuperscript;
  format.hidden = false;
  // The mark goes into the text around the note, whatever group the note ended in.
  GroupState& s = state();
  const GroupState saved = s;
  s.destination = Destination::kText;
  s.format = format;
  EmitText(mark);
  s = saved;
  open_.references.push_back({note, OpenLength() - mark.size(), false});
}

void RtfReader::RecoverOwnNotes() {
  if (own_roles_.empty() && own_references_.empty()) return;
  std::optional<std::vector<Note>> notes = OwnNotes();
  if (!notes) return;
  document_.notes = std::move(*notes);
  if (!NotesFit(document_)) document_.notes.clear();
}

// The notes our own groups describe: a heading, then each note's first
// paragraph and its further ones, each note cited once; nothing when the
// groups say anything else.
std::optional<std::vector<Note>> RtfReader::OwnNotes() const {
  if (own_roles_.empty() || own_roles_.front().role != NoteRole::kHeading) return std::nullopt;
  std::vector<Note> notes;
  std::size_t expected = own_roles_.front().paragraph + 1;
  for (auto role = own_roles_.begin() + 1; role != own_roles_.end(); ++role, ++expected) {
    if (role->paragraph != expected) return std::nullopt;
    if (role->role == NoteRole::kFirst) {
      notes.push_back({role->kind, role->mark, kUncited, 0, role->paragraph, 1});
    } else if (role->role == NoteRole::kMore && !notes.empty()) {
      ++notes.back().paragraph_count;
    } else {
      return std::nullopt;
    }
  }
  for (const OwnReference& reference : own_references_) {
    if (reference.note == 0 || reference.note > notes.size()) return std::nullopt;
    Note& note = notes[reference.note - 1];
    if (note.reference_paragraph != kUncited) return std::nullopt;
    note.reference_paragraph = reference.paragraph;
    note.reference_offset = reference.offset;
  }
  const bool all_cited = std::none_of(notes.begin(), notes.end(), [](const Note& note) {
    return note.reference_paragraph == kUncited;
  });
  if (!all_cited) return std::nullopt;
  return notes;
}

// The notes read from the text go to the notes section; one whose mark never
// reached a paragraph of the text (broken input) is dropped.
void RtfReader::GatherNotes() {
  std::erase_if(notes_, [](const FoundNote& note) { return note.reference_paragraph == kUncited; });
  AppendNotes(document_, std::move(notes_));
}

namespace {

// Groups that hold no text of the document.
// clang-format off
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
    "footerr", "footerf", "annotation", "pict", "object", "objdata", "nonshppict", "sn", "sv",
    "shprslt", "fldinst", "listname", "revtbl", "rsidtbl", "generator", "xmlnstbl", "themedata",
    "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "pnseclvl", "filetbl",
    "template", "userprops", "docvar", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "private", "xe",
    "tc", "txe", "mmathPr", "bkmkstart", "bkmkend",
};
// clang-format on

constexpr int kSuperscript = static_cast<int>(VerticalPosition::kSuperscript);
constexpr int kSubscript = static_cast<int>(VerticalPosition::kSubscript);
constexpr int kBaseline = static_cast<int>(VerticalPosition::kBaseline);

// The group each part of the list table stands in.
Destination ListPartParent(Destination part) {
  switch (part) {
    case Destination::kListTable:
      return Destination::kText;
    case Destination::kList:
    case Destination::kListOverride:
      return Destination::kListTable;
    case Destination::kListLevel:
      return Destination::kList;
    case Destination::kLevelText:
    case Destination::kLevelNumbers:
      return Destination::kListLevel;
    case Destination::kOverrideLevel:
      return Destination::kListOverride;
    default:
      return Destination::kSkip;
  }
}

constexpr bool kReadAfterStar = true;
constexpr int Part(Destination destination) {
  return static_cast<int>(destination);
}
constexpr int Style(NumberStyle style) {
  return static_cast<int>(style);
}
constexpr int Old(OldNumbering::Level level) {
  return static_cast<int>(level);
}
constexpr int Role(NoteRole role) {
  return static_cast<int>(role);
}
// Note numbering words: the kind of note times 16, plus the style.
constexpr int kFootnotes = 0;
constexpr int kEndnotes = 16;

}  // namespace

// The control words the reader acts on, one row each, and their handlers. Words
// that do the same with another value share a handler and give the value as
// the row's argument.
// clang-format off
const RtfReader::WordRow RtfReader::kWords[] = {
    // Document, font table and colour table.
    {"ansi", &RtfReader::SetDocumentCodePage, 1252},
    {"mac", &RtfReader::SetDocumentCodePage, 10000},
    {"pc", &RtfReader::SetDocumentCodePage, 437},
    {"pca", &RtfReader::SetDocumentCodePage, 850},
    {"ansicpg", &RtfReader::SetAnsiCodePage},
    {"deff", &RtfReader::SetDefaultFont},
    {"uc", &RtfReader::SetUnicodeSkip},
    {"u", &RtfReader::UnicodeCharacter},
    {"fonttbl", &RtfReader::StartFontTable},
    {"colortbl", &RtfReader::StartColorTable},
    {"f", &RtfReader::SetFont},
    {"fcharset", &RtfReader::SetFontCharset},
    {"cpg", &RtfReader::SetFontCodePage},
    {"red", &RtfReader::SetColorComponent, 0},
    {"green", &RtfReader::SetColorComponent, 1},
    {"blue", &RtfReader::SetColorComponent, 2},
    // Character format.
    {"plain", &RtfReader::ResetCharFormat},
    {"b", &RtfReader::SetBold},
    {"i", &RtfReader::SetItalic},
    {"ul", &RtfReader::SetUnderline},
    {"uld", &RtfReader::SetUnderline},
    {"uldash", &RtfReader::SetUnderline},
    {"uldashd", &RtfReader::SetUnderline},
    {"uldashdd", &RtfReader::SetUnderline},
    {"uldb", &RtfReader::SetUnderline},
    {"ulth", &RtfReader::SetUnderline},
    {"ulw", &RtfReader::SetUnderline},
    {"ulwave", &RtfReader::SetUnderline},
    {"ulnone", &RtfReader::ClearUnderline},
    {"strike", &RtfReader::SetStrike},
    {"striked", &RtfReader::SetStrike},
    {"super", &RtfReader::SetVertical, kSuperscript},
    {"up", &RtfReader::SetVertical, kSuperscript},
    {"sub", &RtfReader::SetVertical, kSubscript},
    {"dn", &RtfReader::SetVertical, kSubscript},
    {"nosupersub", &RtfReader::SetVertical, kBaseline},
    {"v", &RtfReader::SetHidden},
    {"cf", &RtfReader::SetColor},
    {"fs", &RtfReader::SetSize},
    // Paragraph format.
    {"pard", &RtfReader::ResetParagraphFormat},
    {"ql", &RtfReader::SetAlignment, static_cast<int>(Alignment::kLeft)},
    {"qc", &RtfReader::SetAlignment, static_cast<int>(Alignment::kCenter)},
    {"qr", &RtfReader::SetAlignment, static_cast<int>(Alignment::kRight)},
    {"qj", &RtfReader::SetAlignment, static_cast<int>(Alignment::kJustified)},
    {"qd", &RtfReader::SetAlignment, static_cast<int>(Alignment::kJustified)},
    {"pntext", &RtfReader::StartListMarker},
    {"listtext", &RtfReader::StartListMarker},
    {"ls", &RtfReader::SetListId},
    {"ilvl", &RtfReader::SetListLevel},
    {"pnlvlblt", &RtfReader::SetBulletLevel, Old(OldNumbering::Level::kBullet)},
    {"intbl", &RtfReader::SetInTable},
    // The list table.
    {"listtable", &RtfReader::StartListPart, Part(Destination::kListTable), kReadAfterStar},
    {"listoverridetable", &RtfReader::StartListPart, Part(Destination::kListTable),
     kReadAfterStar},
    {"list", &RtfReader::StartListPart, Part(Destination::kList)},
    {"listlevel", &RtfReader::StartListPart, Part(Destination::kListLevel)},
    {"leveltext", &RtfReader::StartListPart, Part(Destination::kLevelText)},
    {"levelnumbers", &RtfReader::StartListPart, Part(Destination::kLevelNumbers)},
    {"listoverride", &RtfReader::StartListPart, Part(Destination::kListOverride)},
    {"lfolevel", &RtfReader::StartListPart, Part(Destination::kOverrideLevel)},
    {"listid", &RtfReader::SetListNumber},
    {"levelnfc", &RtfReader::SetLevelStyle},
    {"levelnfcn", &RtfReader::SetLevelStyle},
    {"levelstartat", &RtfReader::SetLevelStart},
    {"levelfollow", &RtfReader::SetLevelFollow},
    {"levelnorestart", &RtfReader::SetLevelNoRestart},
    {"listoverridestartat", &RtfReader::SetOverrideStarts},
    // Old-style numbering.
    {"pn", &RtfReader::StartOldNumbering, 0, kReadAfterStar},
    {"pnlvlbody", &RtfReader::SetOldNumberingLevel, Old(OldNumbering::Level::kBody)},
    {"pnlvlcont", &RtfReader::SetOldNumberingLevel, Old(OldNumbering::Level::kContinue)},
    {"pndec", &RtfReader::SetOldNumberingStyle, Style(NumberStyle::kDecimal)},
    {"pnlcltr", &RtfReader::SetOldNumberingStyle, Style(NumberStyle::kLowerLetter)},
    {"pnucltr", &RtfReader::SetOldNumberingStyle, Style(NumberStyle::kUpperLetter)},
    {"pnlcrm", &RtfReader::SetOldNumberingStyle, Style(NumberStyle::kLowerRoman)},
    {"pnucrm", &RtfReader::SetOldNumberingStyle, Style(NumberStyle::kUpperRoman)},
    {"pnord", &RtfReader::SetOldNumberingStyle, Style(NumberStyle::kOrdinal)},
    {"pnstart", &RtfReader::SetOldNumberingStart},
    {"pntxtb", &RtfReader::StartOldNumberingText, Part(Destination::kNumberBefore)},
    {"pntxta", &RtfReader::StartOldNumberingText, Part(Destination::kNumberAfter)},
    // Footnotes and endnotes, and how they are numbered.
    {"footnote", &RtfReader::StartNote, 0, kReadAfterStar},
    {"chftn", &RtfReader::NoteNumberMark},
    {"ftnalt", &RtfReader::SetEndnote},
    {"ftnstart", &RtfReader::SetNoteStart, 0},
    {"aftnstart", &RtfReader::SetNoteStart, 1},
    {"ftnnar", &RtfReader::SetNoteStyle, kFootnotes + Style(NumberStyle::kDecimal)},
    {"ftnnalc", &RtfReader::SetNoteStyle, kFootnotes + Style(NumberStyle::kLowerLetter)},
    {"ftnnauc", &RtfReader::SetNoteStyle, kFootnotes + Style(NumberStyle::kUpperLetter)},
    {"ftnnrlc", &RtfReader::SetNoteStyle, kFootnotes + Style(NumberStyle::kLowerRoman)},
    {"ftnnruc", &RtfReader::SetNoteStyle, kFootnotes + Style(NumberStyle::kUpperRoman)},
    {"ftnnchi", &RtfReader::SetNoteStyle, kFootnotes + Style(NumberStyle::kSymbols)},
    {"aftnnar", &RtfReader::SetNoteStyle, kEndnotes + Style(NumberStyle::kDecimal)},
    {"aftnnalc", &RtfReader::SetNoteStyle, kEndnotes + Style(NumberStyle::kLowerLetter)},
    {"aftnnauc", &RtfReader::SetNoteStyle, kEndnotes + Style(NumberStyle::kUpperLetter)},
    {"aftnnrlc", &RtfReader::SetNoteStyle, kEndnotes + Style(NumberStyle::kLowerRoman)},
    {"aftnnruc", &RtfReader::SetNoteStyle, kEndnotes + Style(NumberStyle::kUpperRoman)},
    {"aftnnchi", &RtfReader::SetNoteStyle, kEndnotes + Style(NumberStyle::kSymbols)},
    // Text boxes and shapes: their text, wherever it stands in them.
    {"shp", &RtfReader::StartShape},
    {"shpgrp", &RtfReader::StartShape, 0, kReadAfterStar},
    {"do", &RtfReader::StartShape, 0, kReadAfterStar},
    {"shpinst", &RtfReader::KeepDestination, 0, kReadAfterStar},
    {"shptxt", &RtfReader::KeepDestination, 0, kReadAfterStar},
    {"dptxbx", &RtfReader::KeepDestination, 0, kReadAfterStar},
    {"dptxbxtext", &RtfReader::KeepDestination, 0, kReadAfterStar},
    // Our own note groups (see rtf_writer.h).
    {"quilletnotes", &RtfReader::OwnNoteRole, Role(NoteRole::kHeading), kReadAfterStar},
    {"quilletnote", &RtfReader::OwnNoteRole, Role(NoteRole::kFirst), kReadAfterStar},
    {"quilletnotemore", &RtfReader::OwnNoteRole, Role(NoteRole::kMore), kReadAfterStar},
    {"quilletendnote", &RtfReader::OwnNoteKind},
    {"quilletnoteref", &RtfReader::OwnNoteReference, 0, kReadAfterStar},
    // Text and breaks.
    {"par", &RtfReader::ParagraphMark},
    {"line", &RtfReader::InsertCharacter, kLineBreak},
    {"tab", &RtfReader::InsertCharacter, u'\t'},
    {"page", &RtfReader::PageBreak},
    {"sect", &RtfReader::PageBreak},
    {"cell", &RtfReader::EndCell},
    {"nestcell", &RtfReader::EndCell},
    {"row", &RtfReader::EndRow},
    {"nestrow", &RtfReader::EndRow},
    {"emdash", &RtfReader::InsertCharacter, u'\u2014'},
    {"endash", &RtfReader::ListWordCharacter, u'\u2013'},
    {"lquote", &RtfReader::InsertCharacter, u'\u2018'},
    {"rquote", &RtfReader::InsertCharacter, u'\u2019'},
    {"ldblquote", &RtfReader::InsertCharacter, u'\u201C'},
    {"rdblquote", &RtfReader::InsertCharacter, u'\u201D'},
    {"bullet", &RtfReader::ListWordCharacter, u'\u2022'},
    {"emspace", &RtfReader::InsertCharacter, u'\u2003'},
    {"enspace", &RtfReader::InsertCharacter, u'\u2002'},
    // Binary data.
    {"bin", &RtfReader::SkipBinary},
};
// clang-format on

// The rows are found through a hash of their name: an open-addressing table
// where most words need one probe, cheaper than std::unordered_map's hashing.
const RtfReader::WordRow* RtfReader::FindWord(std::string_view name, std::uint32_t hash) {
  struct Slot {
    std::string_view name;
    const WordRow* row = nullptr;
  };
  constexpr std::size_t kSlots = 1024;  // a power of two, a few times the words
  static const WordRow kSkip{"", &RtfReader::SkipDestination};
  static const std::vector<Slot> slots = [] {
    std::vector<Slot> table(kSlots);
    const auto add = [&](std::string_view word, const WordRow* row) {
      std::size_t slot = NameHash(word) % kSlots;
      while (table[slot].row != nullptr && table[slot].name != word) slot = (slot + 1) % kSlots;
      if (table[slot].row == nullptr) table[slot] = {word, row};  // the first row of a name wins
    };
    for (const WordRow& row : kWords) add(row.name, &row);
    for (std::string_view skipped : kSkippedDestinations) add(skipped, &kSkip);
    return table;
  }();
  for (std::size_t slot = hash % kSlots; slots[slot].row != nullptr; slot = (slot + 1) % kSlots) {
    if (SameName(slots[slot].name, name)) return slots[slot].row;
  }
  return nullptr;
}

void RtfReader::SkipBinary(const WordCall& call) {
  FlushBytes();
  const auto length = static_cast<std::size_t>(std::max<std::int64_t>(call.parameter, 0));
  position_ += std::min(length, data_.size() - position_);
}

void RtfReader::SkipDestination(const WordCall&) {
  if (stack_.size() > 1) state().destination = Destination::kSkip;
}

void RtfReader::SetDocumentCodePage(const WordCall& call) {
  ansi_code_page_ = call.argument;
  code_page_font_ = kNoFont;
}

void RtfReader::SetAnsiCodePage(const WordCall& call) {
  if (call.value() > 0) ansi_code_page_ = call.value();
  code_page_font_ = kNoFont;
}

void RtfReader::SetDefaultFont(const WordCall& call) {
  default_font_ = call.value();
  code_page_font_ = kNoFont;
}

void RtfReader::SetUnicodeSkip(const WordCall& call) {
  state().unicode_skip = std::clamp(call.value(), 0, 16);
}

void RtfReader::UnicodeCharacter(const WordCall& call) {
  const std::int64_t code = call.parameter < 0 ? call.parameter + 65536 : call.parameter;
  if (code >= 0x20 || code == '\t') {
    EmitCharacter(code <= 0xFFFF ? static_cast<char16_t>(code) : kReplacementCharacter);
  }
  skip_count_ = state().unicode_skip;
}

void RtfReader::StartFontTable(const WordCall&) {
  state().destination = Destination::kFontTable;
}

void RtfReader::StartColorTable(const WordCall&) {
  state().destination = Destination::kColorTable;
  color_set_ = false;
}

// In the font table "\f" starts an entry; in text it chooses the font.
void RtfReader::SetFont(const WordCall& call) {
  if (state().destination != Destination::kFontTable) {
    state().format.font = call.value();
    return;
  }
  CommitFont();
  font_number_ = call.value();
  font_charset_ = 0;
  font_code_page_ = 0;
  font_name_.clear();
  font_committed_ = false;
}

void RtfReader::SetFontCharset(const WordCall& call) {
  font_charset_ = call.value();
}

void RtfReader::SetFontCodePage(const WordCall& call) {
  font_code_page_ = call.value();
}

void RtfReader::SetColorComponent(const WordCall& call) {
  std::uint8_t Color::*const components[] = {&Color::red, &Color::green, &Color::blue};
  color_.*components[call.argument] = static_cast<std::uint8_t>(std::clamp(call.value(), 0, 255));
  color_set_ = true;
}

void RtfReader::ResetCharFormat(const WordCall&) {
  state().format = TextFormat{};
}

void RtfReader::ResetParagraphFormat(const WordCall&) {
  GroupState& s = state();
  s.alignment = Alignment::kLeft;
  s.in_list = false;
  s.in_table = false;
  s.list_override = 0;
  s.list_level = 0;
  s.old_numbering = -1;
}

void RtfReader::SetInTable(const WordCall&) {
  state().in_table = true;
}

void RtfReader::SetBold(const WordCall& call) {
  state().format.bold = call.on();
}

void RtfReader::SetItalic(const WordCall& call) {
  state().format.italic = call.on();
}

void RtfReader::SetUnderline(const WordCall& call) {
  state().format.underline = call.on();
}

void RtfReader::ClearUnderline(const WordCall&) {
  state().format.underline = false;
}

void RtfReader::SetStrike(const WordCall& call) {
  state().format.strike = call.on();
}

void RtfReader::SetHidden(const WordCall& call) {
  state().format.hidden = call.on();
}

void RtfReader::SetVertical(const WordCall& call) {
  state().format.vertical =
      call.on() ? static_cast<VerticalPosition>(call.argument) : VerticalPosition::kBaseline;
}

void RtfReader::SetColor(const WordCall& call) {
  state().format.color = std::max(call.value(), 0);
}

void RtfReader::SetSize(const WordCall& call) {
  const int value = call.value();
  state().format.size =
      call.has_parameter && value > 0 ? std::min(value, 3276) : kDefaultSizeHalfPoints;
}

void RtfReader::SetAlignment(const WordCall& call) {
  state().alignment = static_cast<Alignment>(call.argument);
}

void RtfReader::ParagraphMark(const WordCall&) {
  if (state().destination != Destination::kText) return;
  if (state().in_table) {
    open_.cell_line_break = true;
  } else {
    EndParagraph(true);
  }
}

void RtfReader::PageBreak(const WordCall&) {
  if (state().destination == Destination::kText && ParagraphHasContent()) EndParagraph(true);
}

void RtfReader::EndCell(const WordCall&) {
  if (state().destination == Destination::kText) ++open_.pending_cells;
  open_.cell_line_break = false;
}

void RtfReader::EndRow(const WordCall&) {
  if (state().destination == Destination::kText) EndParagraph(true);
}

void RtfReader::InsertCharacter(const WordCall& call) {
  EmitCharacter(static_cast<char16_t>(call.argument));
}

// pandoc marks list items with a "\bullet" or "\endash" word and a tab at
// the start of the paragraph; the same characters typed as text stay text.
void RtfReader::ListWordCharacter(const WordCall& call) {
  if (!ParagraphHasContent() && bytes_.empty()) open_.list_word_first = true;
  InsertCharacter(call);
}

void RtfReader::StartListMarker(const WordCall&) {
  if (state().destination != Destination::kText) return;
  state().destination = Destination::kListMarker;
  marker_text_.clear();
}

void RtfReader::SetListId(const WordCall& call) {
  if (state().destination == Destination::kListOverride) {
    override_number_ = call.value();
    return;
  }
  state().in_list = call.value() > 0;
  state().list_override = call.value();
}

void RtfReader::SetListLevel(const WordCall& call) {
  state().list_level = std::clamp(call.value(), 0, kListLevels - 1);
}

void RtfReader::SetBulletLevel(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) {
    SetOldNumberingLevel(call);
    return;
  }
  state().in_list = true;
}

// The list table's groups, each only where the table puts it; the row gives
// the destination.
void RtfReader::StartListPart(const WordCall& call) {
  const auto part = static_cast<Destination>(call.argument);
  if (stack_.size() <= 1 || state().destination != ListPartParent(part)) {
    SkipDestination(call);
    return;
  }
  state().destination = part;
  switch (part) {
    case Destination::kList:
      list_id_ = 0;
      list_levels_.clear();
      break;
    case Destination::kListLevel:
      list_level_ = ListLevel{};
      level_text_.clear();
      level_numbers_.clear();
      break;
    case Destination::kLevelText:
      level_text_.clear();
      break;
    case Destination::kLevelNumbers:
      level_numbers_.clear();
      break;
    case Destination::kListOverride:
      list_id_ = override_number_ = override_levels_ = 0;
      override_starts_.clear();
      break;
    case Destination::kOverrideLevel:
      override_restarts_ = false;
      override_start_ = 1;
      break;
    default:
      break;
  }
}

void RtfReader::SetListNumber(const WordCall& call) {
  const Destination where = state().destination;
  if (where == Destination::kList || where == Destination::kListOverride) {
    list_id_ = call.value();
  }
}

void RtfReader::SetLevelStyle(const WordCall& call) {
  if (state().destination == Destination::kListLevel) {
    list_level_.style = LevelNumberStyle(call.value());
  }
}

void RtfReader::SetLevelStart(const WordCall& call) {
  if (state().destination == Destination::kListLevel) list_level_.start = call.value();
  if (state().destination == Destination::kOverrideLevel) override_start_ = call.value();
}

void RtfReader::SetLevelFollow(const WordCall& call) {
  if (state().destination != Destination::kListLevel) return;
  list_level_.follow = call.value() == 1 ? u" " : call.value() == 2 ? u"" : u"\t";
}

void RtfReader::SetLevelNoRestart(const WordCall& call) {
  if (state().destination == Destination::kListLevel) list_level_.restarts = !call.on();
}

void RtfReader::SetOverrideStarts(const WordCall&) {
  if (state().destination == Destination::kOverrideLevel) override_restarts_ = true;
}

void RtfReader::StartOldNumbering(const WordCall& call) {
  if (state().destination != Destination::kText || stack_.size() <= 1) {
    SkipDestination(call);
    return;
  }
  state().destination = Destination::kOldNumbering;
  old_numbering_ = OldNumbering{};
}

void RtfReader::SetOldNumberingLevel(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) {
    old_numbering_.level = static_cast<OldNumbering::Level>(call.argument);
  }
}

void RtfReader::SetOldNumberingStyle(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) {
    old_numbering_.style = static_cast<NumberStyle>(call.argument);
  }
}

void RtfReader::SetOldNumberingStart(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) old_numbering_.start = call.value();
}

void RtfReader::StartOldNumberingText(const WordCall& call) {
  if (state().destination != Destination::kOldNumbering) {
    SkipDestination(call);
    return;
  }
  state().destination = static_cast<Destination>(call.argument);
}

void RtfReader::StartNote(const WordCall& call) {
  if (in_note_ || !CanStartFlow()) {
    SkipDestination(call);
    return;
  }
  notes_.emplace_back().reference_paragraph = kUncited;
  note_numbered_ = pending_number_mark_;
  note_mark_format_ = pending_number_mark_ ? pending_mark_format_ : state().format;
  pending_number_mark_ = false;
  BeginFlow(FlowKind::kNote);
}

// "\chftn": in a note's text, the note's own number; in the text, the
// reference to the note that follows.
void RtfReader::NoteNumberMark(const WordCall&) {
  if (in_note_) {
    note_numbered_ = true;
  } else if (state().destination == Destination::kText) {
    pending_number_mark_ = true;
    pending_mark_format_ = state().format;
  }
}

void RtfReader::SetEndnote(const WordCall&) {
  if (in_note_) notes_.back().kind = NoteKind::kEndnote;
}

// The row's argument: the kind of note times 16, plus the number style.
void RtfReader::SetNoteStyle(const WordCall& call) {
  note_styles_[static_cast<std::size_t>(call.argument / 16)] =
      static_cast<NumberStyle>(call.argument % 16);
}

void RtfReader::SetNoteStart(const WordCall& call) {
  if (notes_.empty()) note_numbers_[static_cast<std::size_t>(call.argument)] = call.value();
}

void RtfReader::StartShape(const WordCall& call) {
  if (!flows_.empty() && flows_.back().kind == FlowKind::kBox) return;  // its text joins the box
  if (!CanStartFlow()) {
    SkipDestination(call);
    return;
  }
  BeginFlow(FlowKind::kBox);
}

void RtfReader::KeepDestination(const WordCall&) {}

// Our own note groups, read in the text only.
void RtfReader::OwnNoteRole(const WordCall& call) {
  if (!flows_.empty()) {
    SkipDestination(call);
    return;
  }
  open_.role = static_cast<NoteRole>(call.argument);
  if (open_.role == NoteRole::kFirst && stack_.size() > 1) {
    open_.role_kind = NoteKind::kFootnote;
    open_.role_mark.clear();
    state().destination = Destination::kNoteMark;
  } else {
    SkipDestination(call);
  }
}

void RtfReader::OwnNoteKind(const WordCall&) {
  if (state().destination == Destination::kNoteMark) open_.role_kind = NoteKind::kEndnote;
}

void RtfReader::OwnNoteReference(const WordCall& call) {
  if (flows_.empty() && call.value() > 0) {
    open_.references.push_back({static_cast<std::size_t>(call.value()), OpenLength(), true});
  }
  SkipDestination(call);
}

Document ReadRtf(std::string_view rtf) {
  if (rtf.starts_with(kUtf8ByteOrderMark)) rtf.remove_prefix(kUtf8ByteOrderMark.size());
  // White space in front of the document's group is no text of it.
  const std::size_t start = rtf.find_first_not_of(" \t\r\n");
  if (start != std::string_view::npos && rtf[start] == '{') rtf.remove_prefix(start);
  return RtfReader(rtf).Read();
}

bool LooksLikeRtf(std::string_view text) {
  if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && text.substr(start).starts_with("{\\rtf");
}

}  // namespace quillet
