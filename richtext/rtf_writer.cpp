#include "richtext/rtf_writer.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "richtext/text_encoding.h"

namespace quillet {

namespace {

constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr int kSymbolFontAbsent = -1;

std::uint32_t ColorKey(const Color& color) {
  return (std::uint32_t{color.red} << 16) | (std::uint32_t{color.green} << 8) | color.blue;
}

class RtfWriter {
 public:
  explicit RtfWriter(const Document& document) : document_(document) {}

  std::string Write();

 private:
  void CollectTables();
  void CollectNotes();
  void WriteHeader();
  void WriteParagraph(std::size_t index);
  void WriteRuns(std::size_t index);
  // The notes section and the note references, in groups of our own that
  // other readers, the converter among them, skip: the paragraph that
  // heads the section, the first paragraph of each note (with its kind and
  // mark), its further paragraphs, a paragraph after the section, and the
  // place of each reference, before its mark, by the note's number in the section.
  void WriteNoteRole(std::size_t index);
  void WriteReferencesUpTo(std::size_t paragraph, std::size_t offset);
  // Writes the control words that change the current format into `format`; with
  // `reassert`, also those that restate what is already on, because the converter
  // forgets all character formatting at the end of a group.
  void WriteFormat(const CharFormat& format, bool reassert);
  void WriteText(std::u16string_view text);
  void WriteEscaped(char16_t c);

  void Control(std::string_view word) {
    out_ += '\\';
    out_ += word;
    needs_delimiter_ = true;
  }
  void Control(std::string_view word, int parameter) {
    Control(word);
    out_ += std::to_string(parameter);
  }
  void Raw(std::string_view text) {
    out_ += text;
    needs_delimiter_ = false;
  }
  void Character(char c) {
    if (needs_delimiter_) out_ += ' ';
    needs_delimiter_ = false;
    out_ += c;
  }
  int FontIndex(const std::string& face) const { return face.empty() ? 0 : font_index_.at(face); }

  struct Reference {
    std::size_t paragraph;
    std::size_t offset;
    std::size_t note;  // from 1
    auto operator<=>(const Reference&) const = default;
  };

  const Document& document_;
  // Font and colour tables: faces in table order (0 is the default face) and colours from 1.
  std::vector<std::string_view> fonts_;
  std::unordered_map<std::string_view, int> font_index_;
  int symbol_font_ = kSymbolFontAbsent;
  std::vector<Color> colors_;
  std::unordered_map<std::uint32_t, int> color_index_;
  // Notes: the section's first paragraph (its heading), the note of each
  // paragraph after it, and the references in the order of their places.
  std::size_t notes_heading_ = SIZE_MAX;
  std::vector<std::size_t> section_notes_;
  std::vector<Reference> references_;
  std::size_t next_reference_ = 0;
  // Output and the format the RTF has reached so far.
  std::string out_;
  bool needs_delimiter_ = false;
  CharFormat current_;
  int current_font_ = -1;
};

std::string RtfWriter::Write() {
  CollectTables();
  CollectNotes();
  WriteHeader();
  Raw("\\viewkind4\\uc1\\pard\\plain");
  needs_delimiter_ = true;
  for (std::size_t i = 0; i < document_.paragraphs.size(); ++i) WriteParagraph(i);
  if (document_.paragraphs.empty()) Raw("\r\n");
  Raw("}\r\n");
  return std::move(out_);
}

void RtfWriter::CollectTables() {
  fonts_.push_back(kDefaultFontFace);
  const auto& paragraphs = document_.paragraphs;
  if (std::any_of(paragraphs.begin(), paragraphs.end(), [](auto& p) { return p.bullet; })) {
    symbol_font_ = 1;
    fonts_.push_back("Symbol");
    font_index_.emplace("Symbol", symbol_font_);
  }
  std::size_t text_size = 0;
  for (const Paragraph& paragraph : paragraphs) {
    text_size += paragraph.Length();
    for (const RunView run : paragraph.Runs()) {
      if (!run.format.font.empty() && font_index_.emplace(run.format.font, fonts_.size()).second) {
        fonts_.push_back(run.format.font);
      }
      if (run.format.color &&
          color_index_.emplace(ColorKey(*run.format.color), colors_.size() + 1).second) {
        colors_.push_back(*run.format.color);
      }
    }
  }
  out_.reserve(text_size + text_size / 8 + 256);
}

void RtfWriter::CollectNotes() {
  const std::vector<Note>& notes = document_.notes;
  if (notes.empty() || !NotesFit(document_)) return;
  notes_heading_ = notes.front().first_paragraph - 1;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    section_notes_.insert(section_notes_.end(), notes[i].paragraph_count, i);
    references_.push_back({notes[i].reference_paragraph, notes[i].reference_offset, i + 1});
  }
  std::sort(references_.begin(), references_.end());
}

void RtfWriter::WriteHeader() {
  Raw("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl");
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    Raw("{");
    Control("f", static_cast<int>(i));
    Control("fnil");
    Control("fcharset", static_cast<int>(i) == symbol_font_ ? 2 : 0);
    for (char16_t c : FromUtf8Lossy(fonts_[i])) {
      // A name ends at ";" and must not open or close groups.
      if (c != u';' && c != u'{' && c != u'}' && c != u'\\' && c >= 0x20) WriteEscaped(c);
    }
    Raw(";}");
  }
  Raw("}\r\n");
  if (!colors_.empty()) {
    Raw("{\\colortbl ;");
    for (const Color& color : colors_) {
      Control("red", color.red);
      Control("green", color.green);
      Control("blue", color.blue);
      Raw(";");
    }
    Raw("}\r\n");
  }
}

void RtfWriter::WriteParagraph(std::size_t index) {
  const Paragraph& paragraph = document_.paragraphs[index];
  const Paragraph* previous = index > 0 ? &document_.paragraphs[index - 1] : nullptr;
  const bool format_changes = previous == nullptr || paragraph.alignment != previous->alignment ||
                              paragraph.bullet != previous->bullet;
  if (format_changes && previous != nullptr) Control("pard");
  if (paragraph.bullet) {
    const std::string symbol = std::to_string(symbol_font_);
    Raw("{\\pntext\\f" + symbol + "\\'B7\\tab}");
    if (format_changes) {
      Raw("{\\*\\pn\\pnlvlblt\\pnf" + symbol + "\\pnindent0{\\pntxtb\\'B7}}");
      Control("fi", -720);
      Control("li", 720);
    }
  }
  if (format_changes) {
    switch (paragraph.alignment) {
      case Alignment::kLeft:
        break;
      case Alignment::kCenter:
        Control("qc");
        break;
      case Alignment::kRight:
        Control("qr");
        break;
      case Alignment::kJustified:
        Control("qj");
        break;
    }
  }
  WriteNoteRole(index);
  WriteRuns(index);
  Control("par");
  Raw("\r\n");
}

void RtfWriter::WriteRuns(std::size_t index) {
  const Paragraph& paragraph = document_.paragraphs[index];
  bool reassert = paragraph.bullet;
  std::size_t offset = 0;
  for (const RunView run : paragraph.Runs()) {
    WriteReferencesUpTo(index, offset);
    WriteFormat(run.format, reassert);
    reassert = false;
    const std::u16string_view text = run.text;
    std::size_t written = 0;
    // References inside the run cut its text.
    while (next_reference_ < references_.size() &&
           references_[next_reference_].paragraph == index &&
           references_[next_reference_].offset < offset + text.size()) {
      const std::size_t at = references_[next_reference_].offset - offset;
      WriteText(text.substr(written, at - written));
      written = at;
      WriteReferencesUpTo(index, offset + at);
    }
    WriteText(text.substr(written));
    offset += text.size();
  }
  WriteReferencesUpTo(index, SIZE_MAX);
}

void RtfWriter::WriteNoteRole(std::size_t index) {
  if (index < notes_heading_ || index - notes_heading_ > section_notes_.size() + 1) return;
  // Text after the notes section belongs to none of them.
  if (index - notes_heading_ == section_notes_.size() + 1) {
    Raw("{\\*\\quilletnotesend}");
    return;
  }
  if (index == notes_heading_) {
    Raw("{\\*\\quilletnotes}");
    return;
  }
  const Note& note = document_.notes[section_notes_[index - notes_heading_ - 1]];
  if (index != note.first_paragraph) {
    Raw("{\\*\\quilletnotemore}");
    return;
  }
  Raw("{\\*\\quilletnote");
  if (note.kind == NoteKind::kEndnote) Control("quilletendnote");
  needs_delimiter_ = true;
  WriteText(note.mark);
  Raw("}");
}

void RtfWriter::WriteReferencesUpTo(std::size_t paragraph, std::size_t offset) {
  while (next_reference_ < references_.size() &&
         references_[next_reference_].paragraph == paragraph &&
         references_[next_reference_].offset <= offset) {
    Raw("{\\*\\quilletnoteref" + std::to_string(references_[next_reference_].note) + "}");
    ++next_reference_;
  }
}

void RtfWriter::WriteFormat(const CharFormat& format, bool reassert) {
  const int font = FontIndex(format.font);
  if (font != current_font_) Control("f", font);
  if (format.size_half_points != current_.size_half_points ||
      (reassert && format.size_half_points != kDefaultSizeHalfPoints)) {
    Control("fs", format.size_half_points);
  }
  if (format.color != current_.color || (reassert && format.color)) {
    if (format.color) {
      Control("cf", color_index_.at(ColorKey(*format.color)));
    } else {
      Control("cf0");
    }
  }
  const auto toggle = [&](bool to, bool from, std::string_view on, std::string_view off) {
    if (to != from || (reassert && to)) Control(to ? on : off);
  };
  toggle(format.bold, current_.bold, "b", "b0");
  toggle(format.italic, current_.italic, "i", "i0");
  toggle(format.underline, current_.underline, "ul", "ulnone");
  toggle(format.strike, current_.strike, "strike", "strike0");
  const VerticalPosition from = current_.vertical;
  const VerticalPosition to = format.vertical;
  if (to != from || (reassert && to != VerticalPosition::kBaseline)) {
    // Switching straight between the two closes the first before opening the second.
    if (from != VerticalPosition::kBaseline || to == VerticalPosition::kBaseline) {
      Control("nosupersub");
    }
    if (to == VerticalPosition::kSuperscript) Control("super");
    if (to == VerticalPosition::kSubscript) Control("sub");
  }
  current_ = format;
  current_font_ = font;
}

// Printable ASCII other than the three RTF specials stands for itself.
bool IsPlainAscii(char16_t c) {
  return c >= 0x20 && c < 0x80 && c != u'\\' && c != u'{' && c != u'}';
}

void RtfWriter::WriteText(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = i;
    while (end < text.size() && IsPlainAscii(text[end])) ++end;
    if (end > i) {
      // A run of plain characters is written in one piece.
      Character(static_cast<char>(text[i]));
      const std::size_t at = out_.size();
      out_.resize(at + end - i - 1);
      for (std::size_t k = i + 1; k < end; ++k) out_[at + k - i - 1] = static_cast<char>(text[k]);
      i = end;
      continue;
    }
    const char16_t c = text[i++];
    switch (c) {
      case u'\\':
        Raw("\\'5c");
        break;
      case u'{':
        Raw("\\'7b");
        break;
      case u'}':
        Raw("\\'7d");
        break;
      case u'\t':
        Control("tab");
        break;
      case kLineBreak:
        Control("line");
        break;
      default:
        if (c >= 0x20) WriteEscaped(c);
        break;
    }
  }
}

void RtfWriter::WriteEscaped(char16_t c) {
  if (c < 0x80) {
    Character(static_cast<char>(c));
    return;
  }
  const int byte = UnicodeToWindows1252(c);
  if (byte >= 0) {
    const char escape[] = {'\\', '\'', kHexDigits[byte >> 4], kHexDigits[byte & 15]};
    Raw(std::string_view(escape, sizeof escape));
    return;
  }
  // RTF's \u takes a signed 16-bit number.
  Control("u", c > 0x7FFF ? static_cast<int>(c) - 0x10000 : static_cast<int>(c));
  Raw("\\'3f");
}

}  // namespace

std::string WriteRtf(const Document& document) {
  return RtfWriter(document).Write();
}

}  // namespace quillet
