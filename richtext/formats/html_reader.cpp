#include "richtext/formats/html_reader.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "richtext/ascii.h"
#include "richtext/formats/gumbo_tags.h"
#include "richtext/formats/gumbo_tree.h"
#include "richtext/formats/html_encoding.h"
#include "richtext/formats/html_style.h"
#include "richtext/formats/paragraph_builder.h"
#include "richtext/notes.h"
#include "richtext/text_encoding.h"

namespace quillet {
namespace {

// How an element takes part in the layout.
enum class Role : std::uint8_t {
  kInline,
  kBlock,
  kSkipped,  // never text, nor anything inside it
  kList,
  kListItem,
  kRow,
  kCell,
  kLineBreak,
  kImage,
  kRule,
};

constexpr TagSet kSkippedTags = {
    GUMBO_TAG_HEAD,     GUMBO_TAG_TITLE,  GUMBO_TAG_SCRIPT,  GUMBO_TAG_STYLE,    GUMBO_TAG_TEMPLATE,
    GUMBO_TAG_NOSCRIPT, GUMBO_TAG_SVG,    GUMBO_TAG_SELECT,  GUMBO_TAG_TEXTAREA, GUMBO_TAG_BUTTON,
    GUMBO_TAG_INPUT,    GUMBO_TAG_IFRAME, GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES, GUMBO_TAG_DATALIST,
    GUMBO_TAG_AUDIO,    GUMBO_TAG_VIDEO,  GUMBO_TAG_CANVAS,  GUMBO_TAG_FRAMESET, GUMBO_TAG_MAP};
// Blocks are the elements that close an open paragraph (but lists, their items
// and rules, which have roles of their own) and these.
constexpr TagSet kMoreBlockTags = {GUMBO_TAG_BODY, GUMBO_TAG_HTML, GUMBO_TAG_CAPTION,
                                   GUMBO_TAG_LEGEND};
constexpr TagSet kListTags = {GUMBO_TAG_UL, GUMBO_TAG_OL, GUMBO_TAG_MENU, GUMBO_TAG_DIR};

Role RoleOf(GumboTag tag) {
  if (kSkippedTags.Has(tag)) return Role::kSkipped;
  if (kListTags.Has(tag)) return Role::kList;
  if (tag == GUMBO_TAG_LI) return Role::kListItem;
  if (tag == GUMBO_TAG_HR) return Role::kRule;
  if (kClosesParagraphTags.Has(tag) || kMoreBlockTags.Has(tag)) return Role::kBlock;
  if (tag == GUMBO_TAG_TR) return Role::kRow;
  if (tag == GUMBO_TAG_TD || tag == GUMBO_TAG_TH) return Role::kCell;
  if (tag == GUMBO_TAG_BR) return Role::kLineBreak;
  if (tag == GUMBO_TAG_IMG || tag == GUMBO_TAG_IMAGE) return Role::kImage;
  return Role::kInline;
}

int HeadingLevel(GumboTag tag) {
  return IsHeadingTag(tag) ? tag - GUMBO_TAG_H1 + 1 : 0;
}

const char* AttributeValue(const GumboElement& element, const char* name) {
  const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
  return attribute == nullptr ? nullptr : attribute->value;
}

// A number from an attribute, within a range that counting on from it cannot overflow.
std::optional<int> ParseInteger(const char* text) {
  constexpr int kLargest = 1'000'000'000;
  if (text == nullptr) return std::nullopt;
  std::string_view value(text);
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  long long number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error == std::errc::result_out_of_range)
    number = value.starts_with('-') ? -kLargest : kLargest;
  if ((error != std::errc() && error != std::errc::result_out_of_range) || end == value.data()) {
    return std::nullopt;
  }
  return static_cast<int>(std::clamp<long long>(number, -kLargest, kLargest));
}

Alignment ParseAlignment(std::string_view value, Alignment otherwise) {
  const std::string lower = AsciiLower(value);
  if (lower == "left" || lower == "start" || lower == "-webkit-left") return Alignment::kLeft;
  if (lower == "center" || lower == "middle" || lower == "-webkit-center")
    return Alignment::kCenter;
  if (lower == "right" || lower == "end" || lower == "-webkit-right") return Alignment::kRight;
  if (lower == "justify") return Alignment::kJustified;
  return otherwise;
}

constexpr TagSet kBoldTags = {GUMBO_TAG_B, GUMBO_TAG_STRONG, GUMBO_TAG_TH};
constexpr TagSet kItalicTags = {GUMBO_TAG_I,   GUMBO_TAG_EM,  GUMBO_TAG_CITE,
                                GUMBO_TAG_DFN, GUMBO_TAG_VAR, GUMBO_TAG_ADDRESS};
constexpr TagSet kStrikeTags = {GUMBO_TAG_S, GUMBO_TAG_STRIKE, GUMBO_TAG_DEL};
constexpr TagSet kPreformattedTags = {GUMBO_TAG_PRE, GUMBO_TAG_LISTING, GUMBO_TAG_XMP,
                                      GUMBO_TAG_PLAINTEXT};

// <font color="..." size="..." face="...">
void ApplyFontAttributes(const GumboElement& font, CharFormat& format) {
  if (const char* color = AttributeValue(font, "color")) {
    if (const auto parsed = ParseColor(color, true)) format.color = parsed;
  }
  if (const char* size = AttributeValue(font, "size")) {
    if (const auto parsed = LegacyFontSize(size)) format.size_half_points = *parsed;
  }
  if (const char* face = AttributeValue(font, "face")) format.font = FirstFontFamily(face);
}

// An item's number as its list's type writes it: 1, a, A, i or I.
std::u16string ItemNumber(int number, char type) {
  std::string text;
  if ((type == 'a' || type == 'A') && number > 0) {
    for (int n = number; n > 0; n = (n - 1) / 26) {
      text.insert(text.begin(), static_cast<char>((type == 'a' ? 'a' : 'A') + (n - 1) % 26));
    }
  } else if ((type == 'i' || type == 'I') && number > 0 && number < 4000) {
    constexpr std::pair<int, std::string_view> kRoman[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    for (int n = number; n > 0;) {
      for (const auto& [value, digits] : kRoman) {
        if (n < value) continue;
        text += digits;
        n -= value;
        break;
      }
    }
    if (type == 'I') {
      for (char& c : text) c = static_cast<char>(c - 32);
    }
  } else {
    text = std::to_string(number);
  }
  return std::u16string(text.begin(), text.end()) + u".\t";
}

struct Style {
  CharFormat format;
  Alignment alignment = Alignment::kLeft;
  bool preformatted = false;
  bool list_markers = true;  // false after list-style-type: none
  int heading = 0;           // 1 to 6 inside h1 to h6
};

struct ListLevel {
  bool ordered = false;
  bool marked = true;
  char type = '1';
  int next = 1;
};

class HtmlWalker {
 public:
  HtmlDocument Walk(const GumboNode* document);

 private:
  struct Frame {
    const GumboNode* node;
    unsigned next_child;
    Style style;
    bool note = false;  // the element is a note's text
  };
  enum class Marker : std::uint8_t { kNone, kBullet, kNumber };
  // A note reference met in the text, by the id it links to.
  struct Reference {
    std::size_t paragraph;
    std::size_t offset;
    std::u16string mark;
    std::string id;  // the reference's own, which the note's link back names
    bool used = false;
  };
  // What the text around a note waits for while the note is read.
  struct Waiting {
    Marker marker;
    std::u16string number;
    int pending_tabs;
    bool pending_cell_break;
    bool cell_has_content;
    int cells;
  };

  void Visit(const GumboNode* node, const Style& parent);
  bool Enter(const GumboElement& element, const Style& style);
  void Leave(const GumboElement& element);
  std::optional<Style> StyleOf(const GumboElement& element, const Style& parent) const;
  bool ApplyTag(const GumboElement& element, Style& style) const;
  bool ApplyCss(std::string_view css, bool block, Style& style, int parent_size) const;
  void StartItem(const GumboElement& item);
  void Text(std::string_view utf8, const Style& style);
  void Preformatted(std::u16string_view text, const Style& style);
  void StartContent(const Style& style);
  void LineBreak(const Style& style);
  void Boundary();
  void EndParagraph();
  bool EnterNoteReference(const GumboNode* node, const Style& style);
  bool EnterNote(const GumboElement& element);
  void LeaveNote();
  bool IsLinkBack(const GumboElement& element) const;

  std::vector<Frame> frames_;
  std::vector<ListLevel> lists_;
  std::vector<int> rows_;  // cells met so far in each open row
  int cells_ = 0;          // open table cells
  Document document_;
  ParagraphBuilder text_paragraph_{document_};
  ParagraphBuilder* paragraph_ = &text_paragraph_;
  std::optional<std::size_t> first_heading_;
  // Notes: the references met, the notes read, and the one being read.
  std::unordered_map<std::string, Reference> references_;
  std::vector<FoundNote> notes_;
  Document note_document_;
  ParagraphBuilder note_paragraph_{note_document_};
  const Reference* note_reference_ = nullptr;
  NoteKind note_kind_ = NoteKind::kFootnote;
  Waiting waiting_{};
  // What goes in front of the next text: a list item's marker, cell separators.
  Marker marker_ = Marker::kNone;
  std::u16string number_;
  int pending_tabs_ = 0;
  bool pending_cell_break_ = false;
  bool cell_has_content_ = false;
};

HtmlDocument HtmlWalker::Walk(const GumboNode* document) {
  frames_.push_back({document, 0, Style{}});
  while (!frames_.empty()) {
    Frame& top = frames_.back();
    const GumboVector& children = top.node->type == GUMBO_NODE_DOCUMENT
                                      ? top.node->v.document.children
                                      : top.node->v.element.children;
    if (top.next_child < children.length) {
      const auto* child = static_cast<const GumboNode*>(children.data[top.next_child++]);
      Visit(child, top.style);  // may push a frame, so `top` is not used after it
      continue;
    }
    const GumboNode* done = top.node;
    const bool note = top.note;
    frames_.pop_back();
    if (note) {
      LeaveNote();
    } else if (done->type == GUMBO_NODE_ELEMENT) {
      Leave(done->v.element);
    }
  }
  EndParagraph();
  return HtmlDocument{std::move(document_), first_heading_, true, std::move(notes_)};
}

void HtmlWalker::Visit(const GumboNode* node, const Style& parent) {
  switch (node->type) {
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA:
      Text(node->v.text.text, parent);
      return;
    case GUMBO_NODE_ELEMENT:
      break;
    default:  // comments, templates
      return;
  }
  const GumboElement& element = node->v.element;
  if (RoleOf(element.tag) == Role::kSkipped || IsLinkBack(element)) return;
  std::optional<Style> style = StyleOf(element, parent);
  if (!style || EnterNoteReference(node, *style)) return;
  if (EnterNote(element)) {
    frames_.push_back({node, 0, std::move(*style), true});
    return;
  }
  if (!Enter(element, *style)) return;
  frames_.push_back({node, 0, std::move(*style)});
}

// What an element does as it opens; false for elements without content to walk.
bool HtmlWalker::Enter(const GumboElement& element, const Style& style) {
  switch (RoleOf(element.tag)) {
    case Role::kLineBreak:
      LineBreak(style);
      return false;
    case Role::kImage:
      if (const char* alt = AttributeValue(element, "alt")) Text(alt, style);
      return false;
    case Role::kRule:
      Boundary();
      return false;
    case Role::kBlock:
      Boundary();
      break;
    case Role::kList: {
      Boundary();
      ListLevel& list = lists_.emplace_back();
      list.ordered = element.tag == GUMBO_TAG_OL;
      list.marked = style.list_markers;
      const char* type = AttributeValue(element, "type");
      if (type != nullptr && type[0] != '\0' && type[1] == '\0') list.type = type[0];
      list.next = ParseInteger(AttributeValue(element, "start")).value_or(1);
      break;
    }
    case Role::kListItem:
      Boundary();
      if (style.list_markers) StartItem(element);
      break;
    case Role::kRow:
      Boundary();
      rows_.push_back(0);
      break;
    case Role::kCell:
      if (!rows_.empty() && rows_.back()++ > 0) ++pending_tabs_;
      ++cells_;
      cell_has_content_ = false;
      pending_cell_break_ = false;
      break;
    case Role::kInline:
    case Role::kSkipped:
      break;
  }
  return true;
}

void HtmlWalker::Leave(const GumboElement& element) {
  switch (RoleOf(element.tag)) {
    case Role::kBlock:
      Boundary();
      break;
    case Role::kList:
      Boundary();
      if (!lists_.empty()) lists_.pop_back();
      break;
    case Role::kListItem:
      Boundary();
      marker_ = Marker::kNone;
      break;
    case Role::kRow:
      if (!rows_.empty()) rows_.pop_back();
      Boundary();
      break;
    case Role::kCell:
      --cells_;
      break;
    default:
      break;
  }
}

void HtmlWalker::StartItem(const GumboElement& item) {
  if (lists_.empty() || !lists_.back().ordered) {
    marker_ = lists_.empty() || lists_.back().marked ? Marker::kBullet : Marker::kNone;
    return;
  }
  ListLevel& list = lists_.back();
  if (const std::optional<int> value = ParseInteger(AttributeValue(item, "value"))) {
    list.next = *value;
  }
  const char* type = AttributeValue(item, "type");
  const char item_type =
      type != nullptr && type[0] != '\0' && type[1] == '\0' ? type[0] : list.type;
  number_ = ItemNumber(list.next++, item_type);
  marker_ = list.marked ? Marker::kNumber : Marker::kNone;
}

// The element's style, or nothing when it is hidden.
std::optional<Style> HtmlWalker::StyleOf(const GumboElement& element, const Style& parent) const {
  if (gumbo_get_attribute(&element.attributes, "hidden") != nullptr) return std::nullopt;
  Style style = parent;
  const bool block = ApplyTag(element, style);
  if (const char* css = AttributeValue(element, "style")) {
    if (!ApplyCss(css, block, style, parent.format.size_half_points)) return std::nullopt;
  }
  return style;
}

// The formatting an element gives by itself and through its presentation
// attributes; true for elements whose alignment makes a paragraph's.
bool HtmlWalker::ApplyTag(const GumboElement& element, Style& style) const {
  const GumboTag tag = element.tag;
  CharFormat& format = style.format;
  format.bold = format.bold || kBoldTags.Has(tag);
  format.italic = format.italic || kItalicTags.Has(tag);
  format.underline = format.underline || tag == GUMBO_TAG_U || tag == GUMBO_TAG_INS;
  format.strike = format.strike || kStrikeTags.Has(tag);
  if (tag == GUMBO_TAG_SUP) format.vertical = VerticalPosition::kSuperscript;
  if (tag == GUMBO_TAG_SUB) format.vertical = VerticalPosition::kSubscript;
  if (tag == GUMBO_TAG_BIG || tag == GUMBO_TAG_SMALL) {
    format.size_half_points =
        *ParseFontSize(tag == GUMBO_TAG_BIG ? "larger" : "smaller", format.size_half_points);
  }
  style.preformatted = style.preformatted || kPreformattedTags.Has(tag);
  if (tag == GUMBO_TAG_CENTER) style.alignment = Alignment::kCenter;
  if (tag == GUMBO_TAG_FONT) ApplyFontAttributes(element, format);
  if (const int level = HeadingLevel(tag)) {
    style.heading = level;
    format.bold = true;
    format.size_half_points = HeadingSize(level);
  }
  const Role role = RoleOf(tag);
  const bool block = role == Role::kBlock || role == Role::kList || role == Role::kListItem;
  if (const char* align = AttributeValue(element, "align"); align != nullptr && block) {
    style.alignment = ParseAlignment(align, style.alignment);
  }
  return block;
}

// Inline CSS; false when it hides the element.
bool HtmlWalker::ApplyCss(std::string_view css, bool block, Style& style, int parent_size) const {
  CharFormat& format = style.format;
  for (const auto& [name, value] : ParseDeclarations(css)) {
    const std::string lower = AsciiLower(value);
    if (name == "font-weight") {
      const std::optional<int> weight = ParseInteger(lower.c_str());
      if (weight) {
        format.bold = *weight >= 600;
      } else if (lower == "bold" || lower == "bolder") {
        format.bold = true;
      } else if (lower == "normal" || lower == "lighter") {
        format.bold = false;
      }
    } else if (name == "font-style") {
      if (lower == "italic" || lower.starts_with("oblique")) format.italic = true;
      if (lower == "normal") format.italic = false;
    } else if (name == "text-decoration" || name == "text-decoration-line") {
      // A decoration goes on over what is inside; "none" cannot take it off.
      if (lower.find("underline") != std::string::npos) format.underline = true;
      if (lower.find("line-through") != std::string::npos) format.strike = true;
    } else if (name == "color") {
      if (const auto color = ParseColor(value)) format.color = color;
    } else if (name == "font-size") {
      if (const auto size = ParseFontSize(value, parent_size)) format.size_half_points = *size;
    } else if (name == "font-family") {
      format.font = FirstFontFamily(value);
    } else if (name == "vertical-align") {
      if (lower == "super") format.vertical = VerticalPosition::kSuperscript;
      if (lower == "sub") format.vertical = VerticalPosition::kSubscript;
      if (lower == "baseline") format.vertical = VerticalPosition::kBaseline;
    } else if (name == "text-align" && block) {
      style.alignment = ParseAlignment(lower, style.alignment);
    } else if (name == "white-space") {
      style.preformatted = lower == "pre" || lower == "pre-wrap" || lower == "break-spaces";
    } else if (name == "list-style-type" || name == "list-style") {
      style.list_markers = lower.find("none") == std::string::npos;
    } else if ((name == "display" && lower == "none") ||
               (name == "visibility" && (lower == "hidden" || lower == "collapse"))) {
      return false;
    }
  }
  return true;
}

void HtmlWalker::Text(std::string_view utf8, const Style& style) {
  const std::u16string text = FromUtf8Lossy(utf8);
  if (style.preformatted) {
    Preformatted(text, style);
    return;
  }
  if (!std::all_of(text.begin(), text.end(), ParagraphBuilder::IsWhiteSpace)) StartContent(style);
  paragraph_->Text(text, style.format);
}

void HtmlWalker::Preformatted(std::u16string_view text, const Style& style) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != u'\n' && text[i] != u'\r') continue;
    if (i > start) {
      StartContent(style);
      paragraph_->Verbatim(text.substr(start, i - start), style.format);
    }
    if (i == text.size()) break;
    LineBreak(style);
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
}

// Opens the paragraph for the text that follows, with what waits in front of it.
void HtmlWalker::StartContent(const Style& style) {
  if (!paragraph_->started()) {
    Paragraph& paragraph = paragraph_->Start();
    paragraph.alignment = style.alignment;
    if (style.heading > 0 && !first_heading_ && note_reference_ == nullptr) {
      first_heading_ = document_.paragraphs.size();
    }
    if (marker_ == Marker::kBullet) paragraph.bullet = true;
    if (marker_ == Marker::kNumber) paragraph_->Separator(number_, style.format);
    marker_ = Marker::kNone;
  }
  if (cells_ == 0) return;
  if (pending_tabs_ > 0) {
    paragraph_->Separator(std::u16string(static_cast<std::size_t>(pending_tabs_), u'\t'),
                          style.format);
  } else if (pending_cell_break_) {
    paragraph_->Separator(std::u16string_view(&kLineBreak, 1), style.format);
  }
  pending_tabs_ = 0;
  pending_cell_break_ = false;
  cell_has_content_ = true;
}

void HtmlWalker::LineBreak(const Style& style) {
  StartContent(style);
  paragraph_->Separator(std::u16string_view(&kLineBreak, 1), style.format);
}

// Between two blocks: a new paragraph, or inside a table cell a new line.
void HtmlWalker::Boundary() {
  if (cells_ > 0) {
    if (cell_has_content_) pending_cell_break_ = true;
    return;
  }
  EndParagraph();
}

void HtmlWalker::EndParagraph() {
  paragraph_->End();
  pending_tabs_ = 0;
  pending_cell_break_ = false;
}

// The text of an element, cut short: a note's mark is a few characters.
std::u16string ShortTextOf(const GumboNode* element) {
  constexpr std::size_t kLongest = 16;
  constexpr int kMostNodes = 64;
  std::string text;
  std::vector<const GumboNode*> pending = {element};
  for (int visited = 0; !pending.empty() && visited < kMostNodes && text.size() <= kLongest;
       ++visited) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    if (node->type == GUMBO_NODE_TEXT) text += node->v.text.text;
    if (node->type != GUMBO_NODE_ELEMENT) continue;
    const GumboVector& children = node->v.element.children;
    for (unsigned i = children.length; i > 0; --i) {
      pending.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
    }
  }
  std::u16string mark = FromUtf8Lossy(text);
  while (!mark.empty() && ParagraphBuilder::IsWhiteSpace(mark.back())) mark.pop_back();
  const auto first = std::find_if_not(mark.begin(), mark.end(), ParagraphBuilder::IsWhiteSpace);
  mark.erase(mark.begin(), first);
  return mark.size() <= kLongest && pending.empty() ? mark : u"";
}

bool HasWord(const char* value, std::string_view word) {
  return value != nullptr && AsciiLower(value).find(word) != std::string::npos;
}

// A link that says it is a note reference, in any of the ways HTML writers say it.
bool IsNoteReferenceLink(const GumboElement& link) {
  const char* role = AttributeValue(link, "role");
  const char* epub_type = AttributeValue(link, "epub:type");
  const char* type = AttributeValue(link, "class");
  if (HasWord(type, "back") || HasWord(role, "backlink")) return false;
  return HasWord(role, "doc-noteref") || HasWord(epub_type, "noteref") ||
         gumbo_get_attribute(&link.attributes, "data-footnote-ref") != nullptr ||
         HasWord(type, "noteref") || HasWord(type, "footnote");
}

// A note reference: its mark goes into the text, raised, and its place is
// kept for the note it links to. The link's own children are not walked.
bool HtmlWalker::EnterNoteReference(const GumboNode* node, const Style& style) {
  const GumboElement& element = node->v.element;
  if (element.tag != GUMBO_TAG_A || note_reference_ != nullptr) return false;
  const char* href = AttributeValue(element, "href");
  if (href == nullptr || href[0] != '#' || href[1] == '\0' || !IsNoteReferenceLink(element)) {
    return false;
  }
  const std::u16string mark = ShortTextOf(node);
  if (mark.empty()) return false;
  Style raised = style;
  raised.format.vertical = VerticalPosition::kSuperscript;
  StartContent(raised);
  const std::size_t offset = paragraph_->Length();
  paragraph_->Verbatim(mark, raised.format);
  const char* id = AttributeValue(element, "id");
  references_.try_emplace(href + 1, Reference{document_.paragraphs.size(), offset, mark,
                                              id != nullptr ? id : "", false});
  return true;
}

// The element a note reference before it links to holds the note's text.
bool HtmlWalker::EnterNote(const GumboElement& element) {
  const char* id = AttributeValue(element, "id");
  if (id == nullptr || note_reference_ != nullptr) return false;
  const auto found = references_.find(id);
  if (found == references_.end() || found->second.used) return false;
  found->second.used = true;
  note_reference_ = &found->second;
  const char* epub_type = AttributeValue(element, "epub:type");
  note_kind_ = HasWord(epub_type, "endnote") || HasWord(epub_type, "rearnote")
                   ? NoteKind::kEndnote
                   : NoteKind::kFootnote;
  waiting_ = {marker_, number_, pending_tabs_, pending_cell_break_, cell_has_content_, cells_};
  marker_ = Marker::kNone;
  pending_tabs_ = 0;
  pending_cell_break_ = false;
  cells_ = 0;
  paragraph_ = &note_paragraph_;
  return true;
}

void HtmlWalker::LeaveNote() {
  note_paragraph_.End();
  const Reference& reference = *note_reference_;
  notes_.push_back({note_kind_, reference.mark, reference.paragraph, reference.offset,
                    std::move(note_document_.paragraphs)});
  note_document_.paragraphs.clear();
  note_reference_ = nullptr;
  paragraph_ = &text_paragraph_;
  marker_ = waiting_.marker;
  number_ = std::move(waiting_.number);
  pending_tabs_ = waiting_.pending_tabs;
  pending_cell_break_ = waiting_.pending_cell_break;
  cell_has_content_ = waiting_.cell_has_content;
  cells_ = waiting_.cells;
}

// In a note, the link back to its reference shows nothing.
bool HtmlWalker::IsLinkBack(const GumboElement& element) const {
  if (element.tag != GUMBO_TAG_A || note_reference_ == nullptr) return false;
  const char* href = AttributeValue(element, "href");
  const char* role = AttributeValue(element, "role");
  const char* type = AttributeValue(element, "class");
  const bool to_reference = href != nullptr && href[0] == '#' && !note_reference_->id.empty() &&
                            note_reference_->id == href + 1;
  return to_reference || HasWord(role, "doc-backlink") || HasWord(type, "footnote-back") ||
         HasWord(type, "backref") || HasWord(type, "backlink");
}

}  // namespace

namespace {

// Where the internal subset that starts at `open` ("[") ends, past its "]":
// quoted values and comments may hold a "]" of their own. npos when it does not end.
std::size_t InternalSubsetEnd(std::string_view text, std::size_t open) {
  for (std::size_t i = open + 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' || c == '\'') {
      i = text.find(c, i + 1);
    } else if (text.substr(i, 4) == "<!--") {
      i = text.find("-->", i + 4);
      if (i != std::string_view::npos) i += 2;
    } else if (c == ']') {
      return i + 1;
    }
    if (i == std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

// An XHTML doctype may carry an internal subset ("<!DOCTYPE html [ ... ]>");
// it declares nothing the page shows, and an HTML parser would show its end.
void DropInternalSubset(std::string& text) {
  constexpr std::size_t kSniffBytes = 4096;
  const std::string head = AsciiLower(std::string_view(text).substr(0, kSniffBytes));
  const std::size_t doctype = head.find("<!doctype");
  if (doctype == std::string::npos) return;
  // The subset's "[" comes after the public and system identifiers, which are
  // quoted and may hold a "[" of their own.
  std::size_t open = doctype;
  while (open < text.size() && text[open] != '[' && text[open] != '>') {
    if (text[open] == '"' || text[open] == '\'') open = text.find(text[open], open + 1);
    if (open == std::string::npos) return;
    ++open;
  }
  if (open >= text.size() || text[open] != '[') return;
  const std::size_t end = InternalSubsetEnd(text, open);
  if (end == std::string::npos) return;
  // Only a subset that closes the declaration is one.
  const std::size_t close = text.find_first_not_of(" \t\r\n", end);
  if (close == std::string::npos || text[close] != '>') return;
  text.erase(open, end - open);
}

}  // namespace

HtmlDocument ReadHtml(std::string_view bytes, const HtmlOptions& options) {
  HtmlLimits limits;
  limits.xml_empty_tags = options.xhtml;
  std::string text = options.utf8 ? std::string(bytes) : HtmlToUtf8(bytes);
  DropInternalSubset(text);
  const GumboTree tree(text, limits);
  if (tree.document() == nullptr) return HtmlDocument{{}, std::nullopt, false, {}};
  HtmlDocument read = HtmlWalker().Walk(tree.document());
  if (!options.notes_apart) {
    AppendNotes(read.document, std::move(read.notes));
    read.notes.clear();
  }
  return read;
}

}  // namespace quillet
