// The RTF reader's one pass over the bytes. Internal to the RTF reader; its
// methods are spread by concern:
//   rtf_reader.cpp      the reading loop: groups, destinations, control words and
//                       text bytes as it meets them
//   rtf_text.cpp        text decoded into the open paragraph's last run
//   rtf_paragraphs.cpp  paragraph ends, list markers and table rows
//   rtf_notes.cpp       footnotes, text boxes and our own note groups
//   rtf_words.cpp       the table of control words and the handlers of formats and tables
// with the font and colour tables in rtf_fonts.h, the list numbering in
// rtf_lists.h and the plain-text scanner in rtf_text_scan.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/document.h"
#include "richtext/list_numbers.h"
#include "richtext/notes.h"
#include "richtext/rtf_fonts.h"
#include "richtext/rtf_group_state.h"
#include "richtext/rtf_lists.h"
#include "richtext/rtf_notes.h"
#include "richtext/text_encoding.h"

namespace quillet::rtf {

// The hash of control-word names (FNV-1a), one letter at a time.
inline constexpr std::uint32_t kNameHashStart = 2166136261U;
constexpr std::uint32_t NameHashStep(std::uint32_t hash, char letter) {
  return (hash ^ static_cast<unsigned char>(letter)) * 16777619U;
}
constexpr std::uint32_t NameHash(std::string_view name) {
  std::uint32_t hash = kNameHashStart;
  for (const char letter : name) hash = NameHashStep(hash, letter);
  return hash;
}

class Reader {
 public:
  explicit Reader(std::string_view rtf) : data_(rtf) { stack_.emplace_back(); }

  Document Read();

 private:
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
  using WordHandler = void (Reader::*)(const WordCall& call);
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
    void Reset();
  };
  enum class FlowKind : std::uint8_t { kNote, kBox };
  // A note or a text box, and the paragraph it interrupts.
  struct Flow {
    FlowKind kind;
    std::size_t depth;  // the group whose end ends it
    OpenParagraph interrupted;
    Lists::OldSequence sequence;
  };

  // Deeper groups share their parent's state: such nesting only comes from hostile input.
  static constexpr std::size_t kMaxDepth = 200000;

  // The reading loop (rtf_reader.cpp).
  GroupState& state() { return stack_.back(); }
  void OpenGroup();
  void CloseGroup();
  void GroupClosed(Destination closed, Destination parent);
  void ReadControl();
  void ReadHexEscape();
  // `hash`: NameHash(name), which the reader takes as it reads the name.
  const WordRow* FindWord(std::string_view name, std::uint32_t hash) const;
  void HandleWord(const WordRow* row, WordCall call);
  void HandleSymbol(unsigned char symbol);
  void TextRun();
  void TextByte(unsigned char byte);
  void EscapedByte(unsigned char byte);

  // Text, decoded into the open run (rtf_text.cpp).
  bool TableByte(Destination destination, unsigned char byte);
  void QueueBytes(std::string_view bytes);
  void DecodeText(std::string_view bytes, const CodePage& code_page);
  void FlushBytes() {
    run_takes_text_ = false;
    if (!bytes_.empty()) DecodeQueuedBytes();
  }
  void DecodeQueuedBytes();
  void Emit(std::u16string_view text);
  std::u16string& OpenRunText();
  void EmitText(std::u16string_view text) { OpenRunText() += text; }
  void EmitCharacter(char16_t c) { Emit(std::u16string_view(&c, 1)); }
  void FlushRun();
  std::size_t OpenLength() const { return open_.length + open_.run_text.size(); }
  int CurrentCodePage() { return fonts_.CodePageOf(state().format.font); }
  const CodePage& CurrentDecoder() { return fonts_.DecoderOf(state().format.font); }

  // Paragraphs, their list markers, and table rows (rtf_paragraphs.cpp).
  // `at_par`: ended by a control word, whose paragraph format applies; else by the end of input.
  void EndParagraph(bool at_par);
  void PushParagraph();
  bool ParagraphHasContent() const {
    return !open_.run_text.empty() || !open_.paragraph.Runs().empty();
  }
  void FinishListMarker();
  void PutListMarker(bool in_list, const ListProperties& list);
  void PrependNumber(const std::u16string& number);
  void ParagraphMark(const WordCall& call);
  void PageBreak(const WordCall& call);
  void EndCell(const WordCall& call);
  void EndRow(const WordCall& call);
  void SetInTable(const WordCall& call);
  void InsertCharacter(const WordCall& call);
  void ListWordCharacter(const WordCall& call);
  void StartListMarker(const WordCall& call);

  // Notes and text boxes (rtf_notes.cpp).
  bool CanStartFlow() const;
  void BeginFlow(FlowKind kind);
  void EndFlow();
  std::vector<Paragraph>& Target();
  void FinishNote(bool numbered, const TextFormat& mark_format);
  bool TakeCustomMark(FoundNote& note);
  void EmitReference(std::size_t note, const std::u16string& mark, TextFormat format);
  void GatherNotes();
  void StartNote(const WordCall& call);
  void NoteNumberMark(const WordCall& call);
  void SetEndnote(const WordCall& call);
  void SetNoteStyle(const WordCall& call);
  void SetNoteStart(const WordCall& call);
  void StartShape(const WordCall& call);
  void OwnNoteRole(const WordCall& call);
  void OwnNoteKind(const WordCall& call);
  void OwnNoteReference(const WordCall& call);

  // The control words and the handlers of the document, its tables and its
  // formats (rtf_words.cpp).
  static const WordRow kWords[];
  struct WordSlot {
    std::string_view name;
    const WordRow* row = nullptr;
  };
  static constexpr std::size_t kWordSlots = 1024;  // a power of two, a few times the words
  // The rows by NameHash(name) % kWordSlots, the next free slot for a taken one.
  static const WordSlot* WordSlots();
  void SkipBinary(const WordCall& call);
  void SkipDestination(const WordCall& call);
  void KeepDestination(const WordCall& call);
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
  void SetListId(const WordCall& call);
  void SetListLevel(const WordCall& call);
  void SetBulletLevel(const WordCall& call);
  void StartListPart(const WordCall& call);
  void SetListNumber(const WordCall& call);
  void SetLevelStyle(const WordCall& call);
  void SetLevelStart(const WordCall& call);
  void SetLevelFollow(const WordCall& call);
  void SetLevelNoRestart(const WordCall& call);
  void SetOverrideStarts(const WordCall& call);
  void StartOldNumbering(const WordCall& call);
  void SetOldNumberingLevel(const WordCall& call);
  void SetOldNumberingStyle(const WordCall& call);
  void SetOldNumberingStart(const WordCall& call);
  void StartOldNumberingText(const WordCall& call);

  // Input cursor, and the table its control words are looked up in.
  std::string_view data_;
  const WordSlot* word_slots_ = WordSlots();
  std::size_t position_ = 0;
  // Group states, innermost last, and braces opened past the depth limit.
  std::vector<GroupState> stack_;
  std::size_t overflow_depth_ = 0;
  int skip_count_ = 0;  // fallback characters of a \u still to skip
  // "\*" was the last thing read: the destination of its group before it.
  bool after_star_ = false;
  Destination before_star_ = Destination::kText;
  // The document's tables and the numbers of its lists.
  Fonts fonts_;
  Lists lists_;
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
  OwnNotes own_notes_;
};

}  // namespace quillet::rtf
