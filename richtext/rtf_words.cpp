// The control words the reader acts on, and the handlers of the document's
// code pages, its font, colour and list tables, and the character and
// paragraph formats; the handlers of paragraph ends, notes and boxes are with
// what they do.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "richtext/rtf_reader_impl.h"

namespace quillet::rtf {

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

constexpr bool kReadAfterStar = true;
constexpr int Part(Destination destination) {
  return static_cast<int>(destination);
}
constexpr int Style(NumberStyle style) {
  return static_cast<int>(style);
}
constexpr int Old(Lists::OldNumbering::Level level) {
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
const Reader::WordRow Reader::kWords[] = {
    // Document, font table and colour table.
    {"ansi", &Reader::SetDocumentCodePage, 1252},
    {"mac", &Reader::SetDocumentCodePage, 10000},
    {"pc", &Reader::SetDocumentCodePage, 437},
    {"pca", &Reader::SetDocumentCodePage, 850},
    {"ansicpg", &Reader::SetAnsiCodePage},
    {"deff", &Reader::SetDefaultFont},
    {"uc", &Reader::SetUnicodeSkip},
    {"u", &Reader::UnicodeCharacter},
    {"fonttbl", &Reader::StartFontTable},
    {"colortbl", &Reader::StartColorTable},
    {"f", &Reader::SetFont},
    {"fcharset", &Reader::SetFontCharset},
    {"cpg", &Reader::SetFontCodePage},
    {"red", &Reader::SetColorComponent, 0},
    {"green", &Reader::SetColorComponent, 1},
    {"blue", &Reader::SetColorComponent, 2},
    // Character format.
    {"plain", &Reader::ResetCharFormat},
    {"b", &Reader::SetBold},
    {"i", &Reader::SetItalic},
    {"ul", &Reader::SetUnderline},
    {"uld", &Reader::SetUnderline},
    {"uldash", &Reader::SetUnderline},
    {"uldashd", &Reader::SetUnderline},
    {"uldashdd", &Reader::SetUnderline},
    {"uldb", &Reader::SetUnderline},
    {"ulth", &Reader::SetUnderline},
    {"ulw", &Reader::SetUnderline},
    {"ulwave", &Reader::SetUnderline},
    {"ulnone", &Reader::ClearUnderline},
    {"strike", &Reader::SetStrike},
    {"striked", &Reader::SetStrike},
    {"super", &Reader::SetVertical, kSuperscript},
    {"up", &Reader::SetVertical, kSuperscript},
    {"sub", &Reader::SetVertical, kSubscript},
    {"dn", &Reader::SetVertical, kSubscript},
    {"nosupersub", &Reader::SetVertical, kBaseline},
    {"v", &Reader::SetHidden},
    {"cf", &Reader::SetColor},
    {"fs", &Reader::SetSize},
    // Paragraph format.
    {"pard", &Reader::ResetParagraphFormat},
    {"ql", &Reader::SetAlignment, static_cast<int>(Alignment::kLeft)},
    {"qc", &Reader::SetAlignment, static_cast<int>(Alignment::kCenter)},
    {"qr", &Reader::SetAlignment, static_cast<int>(Alignment::kRight)},
    {"qj", &Reader::SetAlignment, static_cast<int>(Alignment::kJustified)},
    {"qd", &Reader::SetAlignment, static_cast<int>(Alignment::kJustified)},
    {"pntext", &Reader::StartListMarker},
    {"listtext", &Reader::StartListMarker},
    {"ls", &Reader::SetListId},
    {"ilvl", &Reader::SetListLevel},
    {"pnlvlblt", &Reader::SetBulletLevel, Old(Lists::OldNumbering::Level::kBullet)},
    {"intbl", &Reader::SetInTable},
    // The list table.
    {"listtable", &Reader::StartListPart, Part(Destination::kListTable), kReadAfterStar},
    {"listoverridetable", &Reader::StartListPart, Part(Destination::kListTable),
     kReadAfterStar},
    {"list", &Reader::StartListPart, Part(Destination::kList)},
    {"listlevel", &Reader::StartListPart, Part(Destination::kListLevel)},
    {"leveltext", &Reader::StartListPart, Part(Destination::kLevelText)},
    {"levelnumbers", &Reader::StartListPart, Part(Destination::kLevelNumbers)},
    {"listoverride", &Reader::StartListPart, Part(Destination::kListOverride)},
    {"lfolevel", &Reader::StartListPart, Part(Destination::kOverrideLevel)},
    {"listid", &Reader::SetListNumber},
    {"levelnfc", &Reader::SetLevelStyle},
    {"levelnfcn", &Reader::SetLevelStyle},
    {"levelstartat", &Reader::SetLevelStart},
    {"levelfollow", &Reader::SetLevelFollow},
    {"levelnorestart", &Reader::SetLevelNoRestart},
    {"listoverridestartat", &Reader::SetOverrideStarts},
    // Old-style numbering.
    {"pn", &Reader::StartOldNumbering, 0, kReadAfterStar},
    {"pnlvlbody", &Reader::SetOldNumberingLevel, Old(Lists::OldNumbering::Level::kBody)},
    {"pnlvlcont", &Reader::SetOldNumberingLevel, Old(Lists::OldNumbering::Level::kContinue)},
    {"pndec", &Reader::SetOldNumberingStyle, Style(NumberStyle::kDecimal)},
    {"pnlcltr", &Reader::SetOldNumberingStyle, Style(NumberStyle::kLowerLetter)},
    {"pnucltr", &Reader::SetOldNumberingStyle, Style(NumberStyle::kUpperLetter)},
    {"pnlcrm", &Reader::SetOldNumberingStyle, Style(NumberStyle::kLowerRoman)},
    {"pnucrm", &Reader::SetOldNumberingStyle, Style(NumberStyle::kUpperRoman)},
    {"pnord", &Reader::SetOldNumberingStyle, Style(NumberStyle::kOrdinal)},
    {"pnstart", &Reader::SetOldNumberingStart},
    {"pntxtb", &Reader::StartOldNumberingText, Part(Destination::kNumberBefore)},
    {"pntxta", &Reader::StartOldNumberingText, Part(Destination::kNumberAfter)},
    // Footnotes and endnotes, and how they are numbered.
    {"footnote", &Reader::StartNote, 0, kReadAfterStar},
    {"chftn", &Reader::NoteNumberMark},
    {"ftnalt", &Reader::SetEndnote},
    {"ftnstart", &Reader::SetNoteStart, 0},
    {"aftnstart", &Reader::SetNoteStart, 1},
    {"ftnnar", &Reader::SetNoteStyle, kFootnotes + Style(NumberStyle::kDecimal)},
    {"ftnnalc", &Reader::SetNoteStyle, kFootnotes + Style(NumberStyle::kLowerLetter)},
    {"ftnnauc", &Reader::SetNoteStyle, kFootnotes + Style(NumberStyle::kUpperLetter)},
    {"ftnnrlc", &Reader::SetNoteStyle, kFootnotes + Style(NumberStyle::kLowerRoman)},
    {"ftnnruc", &Reader::SetNoteStyle, kFootnotes + Style(NumberStyle::kUpperRoman)},
    {"ftnnchi", &Reader::SetNoteStyle, kFootnotes + Style(NumberStyle::kSymbols)},
    {"aftnnar", &Reader::SetNoteStyle, kEndnotes + Style(NumberStyle::kDecimal)},
    {"aftnnalc", &Reader::SetNoteStyle, kEndnotes + Style(NumberStyle::kLowerLetter)},
    {"aftnnauc", &Reader::SetNoteStyle, kEndnotes + Style(NumberStyle::kUpperLetter)},
    {"aftnnrlc", &Reader::SetNoteStyle, kEndnotes + Style(NumberStyle::kLowerRoman)},
    {"aftnnruc", &Reader::SetNoteStyle, kEndnotes + Style(NumberStyle::kUpperRoman)},
    {"aftnnchi", &Reader::SetNoteStyle, kEndnotes + Style(NumberStyle::kSymbols)},
    // Text boxes and shapes: their text, wherever it stands in them.
    {"shp", &Reader::StartShape},
    {"shpgrp", &Reader::StartShape, 0, kReadAfterStar},
    {"do", &Reader::StartShape, 0, kReadAfterStar},
    {"shpinst", &Reader::KeepDestination, 0, kReadAfterStar},
    {"shptxt", &Reader::KeepDestination, 0, kReadAfterStar},
    {"dptxbx", &Reader::KeepDestination, 0, kReadAfterStar},
    {"dptxbxtext", &Reader::KeepDestination, 0, kReadAfterStar},
    // Our own note groups (see rtf_writer.h).
    {"quilletnotes", &Reader::OwnNoteRole, Role(NoteRole::kHeading), kReadAfterStar},
    {"quilletnote", &Reader::OwnNoteRole, Role(NoteRole::kFirst), kReadAfterStar},
    {"quilletnotemore", &Reader::OwnNoteRole, Role(NoteRole::kMore), kReadAfterStar},
    {"quilletendnote", &Reader::OwnNoteKind},
    {"quilletnoteref", &Reader::OwnNoteReference, 0, kReadAfterStar},
    // Text and breaks.
    {"par", &Reader::ParagraphMark},
    {"line", &Reader::InsertCharacter, kLineBreak},
    {"tab", &Reader::InsertCharacter, u'\t'},
    {"page", &Reader::PageBreak},
    {"sect", &Reader::PageBreak},
    {"cell", &Reader::EndCell},
    {"nestcell", &Reader::EndCell},
    {"row", &Reader::EndRow},
    {"nestrow", &Reader::EndRow},
    {"emdash", &Reader::InsertCharacter, u'\u2014'},
    {"endash", &Reader::ListWordCharacter, u'\u2013'},
    {"lquote", &Reader::InsertCharacter, u'\u2018'},
    {"rquote", &Reader::InsertCharacter, u'\u2019'},
    {"ldblquote", &Reader::InsertCharacter, u'\u201C'},
    {"rdblquote", &Reader::InsertCharacter, u'\u201D'},
    {"bullet", &Reader::ListWordCharacter, u'\u2022'},
    {"emspace", &Reader::InsertCharacter, u'\u2003'},
    {"enspace", &Reader::InsertCharacter, u'\u2002'},
    // Binary data.
    {"bin", &Reader::SkipBinary},
};
// clang-format on

// The rows are found through a hash of their name: an open-addressing table
// where most words need one probe, cheaper than std::unordered_map's hashing.
const Reader::WordSlot* Reader::WordSlots() {
  static const WordRow kSkip{"", &Reader::SkipDestination};
  static const std::vector<WordSlot> slots = [] {
    std::vector<WordSlot> table(kWordSlots);
    const auto add = [&](std::string_view word, const WordRow* row) {
      std::size_t slot = NameHash(word) % kWordSlots;
      while (table[slot].row != nullptr && table[slot].name != word) {
        slot = (slot + 1) % kWordSlots;
      }
      if (table[slot].row == nullptr) table[slot] = {word, row};  // the first row of a name wins
    };
    for (const WordRow& row : kWords) add(row.name, &row);
    for (std::string_view skipped : kSkippedDestinations) add(skipped, &kSkip);
    return table;
  }();
  return slots.data();
}

void Reader::SkipBinary(const WordCall& call) {
  FlushBytes();
  const auto length = static_cast<std::size_t>(std::max<std::int64_t>(call.parameter, 0));
  position_ += std::min(length, data_.size() - position_);
}

void Reader::SkipDestination(const WordCall&) {
  if (stack_.size() > 1) state().destination = Destination::kSkip;
}

void Reader::KeepDestination(const WordCall&) {}

void Reader::SetDocumentCodePage(const WordCall& call) {
  fonts_.SetDocumentCodePage(call.argument);
}

void Reader::SetAnsiCodePage(const WordCall& call) {
  if (call.value() > 0) fonts_.SetDocumentCodePage(call.value());
}

void Reader::SetDefaultFont(const WordCall& call) {
  fonts_.SetDefaultFont(call.value());
}

void Reader::SetUnicodeSkip(const WordCall& call) {
  state().unicode_skip = std::clamp(call.value(), 0, 16);
}

void Reader::UnicodeCharacter(const WordCall& call) {
  const std::int64_t code = call.parameter < 0 ? call.parameter + 65536 : call.parameter;
  if (code >= 0x20 || code == '\t') {
    EmitCharacter(code <= 0xFFFF ? static_cast<char16_t>(code) : kReplacementCharacter);
  }
  skip_count_ = state().unicode_skip;
}

void Reader::StartFontTable(const WordCall&) {
  state().destination = Destination::kFontTable;
}

void Reader::StartColorTable(const WordCall&) {
  state().destination = Destination::kColorTable;
  fonts_.StartColorTable();
}

// In the font table "\f" starts an entry; in text it chooses the font.
void Reader::SetFont(const WordCall& call) {
  if (state().destination == Destination::kFontTable) {
    fonts_.StartFont(call.value());
  } else {
    state().format.font = call.value();
  }
}

void Reader::SetFontCharset(const WordCall& call) {
  fonts_.SetFontCharset(call.value());
}

void Reader::SetFontCodePage(const WordCall& call) {
  fonts_.SetFontCodePage(call.value());
}

void Reader::SetColorComponent(const WordCall& call) {
  fonts_.SetColorComponent(call.argument, call.value());
}

void Reader::ResetCharFormat(const WordCall&) {
  state().format = TextFormat{};
}

void Reader::ResetParagraphFormat(const WordCall&) {
  GroupState& s = state();
  s.alignment = Alignment::kLeft;
  s.in_list = false;
  s.in_table = false;
  s.list_override = 0;
  s.list_level = 0;
  s.old_numbering = -1;
}

void Reader::SetBold(const WordCall& call) {
  state().format.bold = call.on();
}

void Reader::SetItalic(const WordCall& call) {
  state().format.italic = call.on();
}

void Reader::SetUnderline(const WordCall& call) {
  state().format.underline = call.on();
}

void Reader::ClearUnderline(const WordCall&) {
  state().format.underline = false;
}

void Reader::SetStrike(const WordCall& call) {
  state().format.strike = call.on();
}

void Reader::SetHidden(const WordCall& call) {
  state().format.hidden = call.on();
}

void Reader::SetVertical(const WordCall& call) {
  state().format.vertical =
      call.on() ? static_cast<VerticalPosition>(call.argument) : VerticalPosition::kBaseline;
}

void Reader::SetColor(const WordCall& call) {
  state().format.color = std::max(call.value(), 0);
}

void Reader::SetSize(const WordCall& call) {
  const int value = call.value();
  state().format.size =
      call.has_parameter && value > 0 ? std::min(value, 3276) : kDefaultSizeHalfPoints;
}

void Reader::SetAlignment(const WordCall& call) {
  state().alignment = static_cast<Alignment>(call.argument);
}

// "\ls": in the override table, the override's number; in text, the paragraph's list.
void Reader::SetListId(const WordCall& call) {
  if (state().destination == Destination::kListOverride) {
    lists_.SetOverrideNumber(call.value());
    return;
  }
  state().in_list = call.value() > 0;
  state().list_override = call.value();
}

void Reader::SetListLevel(const WordCall& call) {
  state().list_level = std::clamp(call.value(), 0, kListLevels - 1);
}

void Reader::SetBulletLevel(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) {
    SetOldNumberingLevel(call);
    return;
  }
  state().in_list = true;
}

// The list table's groups, each only where the table puts it; the row gives
// the destination.
void Reader::StartListPart(const WordCall& call) {
  const auto part = static_cast<Destination>(call.argument);
  if (stack_.size() <= 1 || state().destination != Lists::PartParent(part)) {
    SkipDestination(call);
    return;
  }
  state().destination = part;
  lists_.StartPart(part);
}

void Reader::SetListNumber(const WordCall& call) {
  lists_.SetListId(state().destination, call.value());
}

void Reader::SetLevelStyle(const WordCall& call) {
  lists_.SetLevelStyle(state().destination, call.value());
}

void Reader::SetLevelStart(const WordCall& call) {
  lists_.SetLevelStart(state().destination, call.value());
}

void Reader::SetLevelFollow(const WordCall& call) {
  lists_.SetLevelFollow(state().destination, call.value());
}

void Reader::SetLevelNoRestart(const WordCall& call) {
  lists_.SetLevelNoRestart(state().destination, call.on());
}

void Reader::SetOverrideStarts(const WordCall&) {
  lists_.SetOverrideStarts(state().destination);
}

void Reader::StartOldNumbering(const WordCall& call) {
  if (state().destination != Destination::kText || stack_.size() <= 1) {
    SkipDestination(call);
    return;
  }
  state().destination = Destination::kOldNumbering;
  lists_.StartOldNumbering();
}

void Reader::SetOldNumberingLevel(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) {
    lists_.SetOldLevel(static_cast<Lists::OldNumbering::Level>(call.argument));
  }
}

void Reader::SetOldNumberingStyle(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) {
    lists_.SetOldStyle(static_cast<NumberStyle>(call.argument));
  }
}

void Reader::SetOldNumberingStart(const WordCall& call) {
  if (state().destination == Destination::kOldNumbering) lists_.SetOldStart(call.value());
}

void Reader::StartOldNumberingText(const WordCall& call) {
  if (state().destination != Destination::kOldNumbering) {
    SkipDestination(call);
    return;
  }
  state().destination = static_cast<Destination>(call.argument);
}

}  // namespace quillet::rtf
