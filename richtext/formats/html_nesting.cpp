#include "richtext/formats/html_nesting.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <vector>

#include "richtext/ascii.h"
#include "richtext/formats/gumbo_tags.h"

namespace quillet {
namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

// How the tree builder treats an element, as far as nesting goes.
enum class Kind : std::uint8_t {
  kCounted,      // stays open until its end tag or an ancestor's
  kVoid,         // never has content
  kAutoClosing,  // closed by the next sibling of its kind (option, td...): cannot pile up
  kRawText,      // content is text up to its own end tag
  kPlainText,    // content is text up to the end of the document
};

constexpr TagSet kVoid = {GUMBO_TAG_AREA,   GUMBO_TAG_BASE,  GUMBO_TAG_BASEFONT, GUMBO_TAG_BGSOUND,
                          GUMBO_TAG_BR,     GUMBO_TAG_COL,   GUMBO_TAG_EMBED,    GUMBO_TAG_FRAME,
                          GUMBO_TAG_HR,     GUMBO_TAG_IMAGE, GUMBO_TAG_IMG,      GUMBO_TAG_INPUT,
                          GUMBO_TAG_KEYGEN, GUMBO_TAG_LINK,  GUMBO_TAG_META,     GUMBO_TAG_PARAM,
                          GUMBO_TAG_SOURCE, GUMBO_TAG_TRACK, GUMBO_TAG_WBR};
constexpr TagSet kAutoClosing = {
    GUMBO_TAG_OPTION, GUMBO_TAG_OPTGROUP, GUMBO_TAG_RB,      GUMBO_TAG_RP,       GUMBO_TAG_RT,
    GUMBO_TAG_RTC,    GUMBO_TAG_TR,       GUMBO_TAG_TD,      GUMBO_TAG_TH,       GUMBO_TAG_TBODY,
    GUMBO_TAG_THEAD,  GUMBO_TAG_TFOOT,    GUMBO_TAG_CAPTION, GUMBO_TAG_COLGROUP, GUMBO_TAG_HTML,
    GUMBO_TAG_HEAD,   GUMBO_TAG_BODY};
constexpr TagSet kRawText = {GUMBO_TAG_SCRIPT,   GUMBO_TAG_STYLE,   GUMBO_TAG_XMP,
                             GUMBO_TAG_IFRAME,   GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES,
                             GUMBO_TAG_TEXTAREA, GUMBO_TAG_TITLE};

Kind KindOf(GumboTag tag) {
  if (kVoid.Has(tag)) return Kind::kVoid;
  if (kAutoClosing.Has(tag)) return Kind::kAutoClosing;
  if (kRawText.Has(tag)) return Kind::kRawText;
  return tag == GUMBO_TAG_PLAINTEXT ? Kind::kPlainText : Kind::kCounted;
}

// The elements the tree builder re-opens in every new paragraph until they are closed.
constexpr TagSet kFormatting = {GUMBO_TAG_A,  GUMBO_TAG_B,     GUMBO_TAG_BIG,    GUMBO_TAG_CODE,
                                GUMBO_TAG_EM, GUMBO_TAG_FONT,  GUMBO_TAG_I,      GUMBO_TAG_NOBR,
                                GUMBO_TAG_S,  GUMBO_TAG_SMALL, GUMBO_TAG_STRIKE, GUMBO_TAG_STRONG,
                                GUMBO_TAG_TT, GUMBO_TAG_U};

// Elements whose end forgets the formatting elements opened inside them.
constexpr TagSet kScopeMarker = {GUMBO_TAG_APPLET, GUMBO_TAG_OBJECT, GUMBO_TAG_MARQUEE,
                                 GUMBO_TAG_TEMPLATE, GUMBO_TAG_TABLE};

// Elements a search for an open list item stops at (the tree builder's "special"
// elements, less address, div and p).
constexpr TagSet kStopsListItemSearch = {GUMBO_TAG_APPLET,
                                         GUMBO_TAG_ARTICLE,
                                         GUMBO_TAG_ASIDE,
                                         GUMBO_TAG_BLOCKQUOTE,
                                         GUMBO_TAG_BUTTON,
                                         GUMBO_TAG_CENTER,
                                         GUMBO_TAG_DETAILS,
                                         GUMBO_TAG_DIR,
                                         GUMBO_TAG_DL,
                                         GUMBO_TAG_FIELDSET,
                                         GUMBO_TAG_FIGCAPTION,
                                         GUMBO_TAG_FIGURE,
                                         GUMBO_TAG_FOOTER,
                                         GUMBO_TAG_FORM,
                                         GUMBO_TAG_FRAMESET,
                                         GUMBO_TAG_H1,
                                         GUMBO_TAG_H2,
                                         GUMBO_TAG_H3,
                                         GUMBO_TAG_H4,
                                         GUMBO_TAG_H5,
                                         GUMBO_TAG_H6,
                                         GUMBO_TAG_HEADER,
                                         GUMBO_TAG_HGROUP,
                                         GUMBO_TAG_LISTING,
                                         GUMBO_TAG_MAIN,
                                         GUMBO_TAG_MARQUEE,
                                         GUMBO_TAG_MENU,
                                         GUMBO_TAG_NAV,
                                         GUMBO_TAG_NOSCRIPT,
                                         GUMBO_TAG_OBJECT,
                                         GUMBO_TAG_OL,
                                         GUMBO_TAG_PRE,
                                         GUMBO_TAG_SECTION,
                                         GUMBO_TAG_SELECT,
                                         GUMBO_TAG_SUMMARY,
                                         GUMBO_TAG_TABLE,
                                         GUMBO_TAG_TEMPLATE,
                                         GUMBO_TAG_UL,
                                         GUMBO_TAG_SVG,
                                         GUMBO_TAG_MATH,
                                         GUMBO_TAG_FOREIGNOBJECT,
                                         GUMBO_TAG_LI,
                                         GUMBO_TAG_DD,
                                         GUMBO_TAG_DT};

// Open elements that a search for an open paragraph does not look past.
constexpr TagSet kScopeBoundary = {GUMBO_TAG_APPLET, GUMBO_TAG_TABLE,    GUMBO_TAG_MARQUEE,
                                   GUMBO_TAG_OBJECT, GUMBO_TAG_TEMPLATE, GUMBO_TAG_BUTTON,
                                   GUMBO_TAG_SVG,    GUMBO_TAG_MATH,     GUMBO_TAG_FOREIGNOBJECT};

// Table parts that end the current cell (and its formatting elements).
constexpr TagSet kEndsCell = {GUMBO_TAG_TD,    GUMBO_TAG_TH,    GUMBO_TAG_CAPTION, GUMBO_TAG_TR,
                              GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT};

// HTML elements that end SVG or MathML content when they appear inside it.
constexpr TagSet kBreaksOutOfForeign = {
    GUMBO_TAG_B,      GUMBO_TAG_BIG,    GUMBO_TAG_BLOCKQUOTE, GUMBO_TAG_BODY,  GUMBO_TAG_BR,
    GUMBO_TAG_CENTER, GUMBO_TAG_CODE,   GUMBO_TAG_DD,         GUMBO_TAG_DIV,   GUMBO_TAG_DL,
    GUMBO_TAG_DT,     GUMBO_TAG_EM,     GUMBO_TAG_EMBED,      GUMBO_TAG_H1,    GUMBO_TAG_H2,
    GUMBO_TAG_H3,     GUMBO_TAG_H4,     GUMBO_TAG_H5,         GUMBO_TAG_H6,    GUMBO_TAG_HEAD,
    GUMBO_TAG_HR,     GUMBO_TAG_I,      GUMBO_TAG_IMG,        GUMBO_TAG_LI,    GUMBO_TAG_LISTING,
    GUMBO_TAG_MENU,   GUMBO_TAG_META,   GUMBO_TAG_NOBR,       GUMBO_TAG_OL,    GUMBO_TAG_P,
    GUMBO_TAG_PRE,    GUMBO_TAG_RUBY,   GUMBO_TAG_S,          GUMBO_TAG_SMALL, GUMBO_TAG_SPAN,
    GUMBO_TAG_STRONG, GUMBO_TAG_STRIKE, GUMBO_TAG_SUB,        GUMBO_TAG_SUP,   GUMBO_TAG_TABLE,
    GUMBO_TAG_TT,     GUMBO_TAG_U,      GUMBO_TAG_UL,         GUMBO_TAG_VAR,   GUMBO_TAG_FONT};

// SVG and MathML elements whose content is HTML again.
bool IsIntegrationPoint(GumboTag tag, std::string_view name) {
  return tag == GUMBO_TAG_FOREIGNOBJECT || tag == GUMBO_TAG_DESC || tag == GUMBO_TAG_TITLE ||
         tag == GUMBO_TAG_MI || tag == GUMBO_TAG_MO || tag == GUMBO_TAG_MN || tag == GUMBO_TAG_MS ||
         tag == GUMBO_TAG_MTEXT || tag == GUMBO_TAG_ANNOTATION_XML ||
         EqualsNoCase(name, "foreignObject");
}

// One start or end tag as the HTML5 tokenizer cuts it.
struct Tag {
  std::string_view name;
  GumboTag tag = GUMBO_TAG_UNKNOWN;
  bool end = false;
  bool self_closing = false;
  std::size_t begin = 0;      // the "<"
  std::size_t finish = 0;     // past the ">"
  std::size_t name_end = 0;   // where the attributes start
  std::size_t attrs_end = 0;  // where "/>" or ">" starts
  std::size_t cut = 0;        // where the attributes past the limit start; 0: none
};

class NestingBound {
 public:
  NestingBound(std::string_view html, const HtmlLimits& limits) : in_(html), limits_(limits) {}
  std::string Run();

 private:
  struct OpenElement {
    GumboTag tag;
    std::string_view name;
    bool foreign;
    std::size_t formatting_size;  // the formatting list's size when it opened
  };
  struct Formatting {
    GumboTag tag;  // GUMBO_TAG_LAST: a cell's marker
    std::string_view attributes;
  };

  std::size_t Special(std::size_t at);
  Tag ScanTag(std::size_t at, bool end) const;
  void StartTag(const Tag& tag);
  void EndTag(const Tag& tag);
  void CloseImplied(const Tag& tag);
  bool InForeign() const { return !open_.empty() && open_.back().foreign; }
  void Emit(const Tag& tag);
  void EmitEmpty(const Tag& tag);
  void SkipRawText(const Tag& tag);
  bool OpenCounted(const Tag& tag, bool foreign);
  void PopTo(std::size_t size);
  bool CloseElement(const Tag& tag);
  void CloseInScope(GumboTag tag, const TagSet& stops);
  void CloseCell();
  std::size_t LastMarker() const;
  void NoteFormatting(const Tag& tag);
  void ForgetFormatting(GumboTag tag);
  std::size_t& Dropped(const Tag& tag) {
    return dropped_[std::min<std::size_t>(tag.tag, GUMBO_TAG_UNKNOWN)];
  }

  std::string_view in_;
  const HtmlLimits& limits_;
  std::size_t position_ = 0;
  std::string out_;
  // Open elements that need an end tag (and where the tables among them are),
  // and the formatting elements waiting to be re-opened.
  std::vector<OpenElement> open_;
  std::vector<std::size_t> tables_;
  std::vector<Formatting> formatting_;
  // Start tags dropped, per element, whose end tags are still to come.
  std::array<std::size_t, GUMBO_TAG_UNKNOWN + 1> dropped_{};
};

std::string NestingBound::Run() {
  out_.reserve(in_.size() + in_.size() / 16);
  while (position_ < in_.size()) {
    const std::size_t lt = in_.find('<', position_);
    if (lt == std::string_view::npos) {
      out_.append(in_.substr(position_));
      break;
    }
    out_.append(in_.substr(position_, lt - position_));
    position_ = Special(lt);
  }
  return std::move(out_);
}

// Handles what starts with the "<" at `at`; returns where the text goes on.
std::size_t NestingBound::Special(std::size_t at) {
  const std::string_view rest = in_.substr(at);
  const auto copy_to = [&](std::size_t end) {
    out_.append(in_.substr(at, end - at));
    return end;
  };
  if (rest.starts_with("<!--")) {
    if (rest.starts_with("<!-->")) return copy_to(at + 5);
    if (rest.starts_with("<!--->")) return copy_to(at + 6);
    std::size_t end = in_.size();
    for (std::size_t i = at + 4; i + 2 < in_.size(); ++i) {
      if (in_[i] != '-' || in_[i + 1] != '-') continue;
      if (in_[i + 2] == '>') {
        end = i + 3;
        break;
      }
      if (in_.substr(i + 2).starts_with("!>")) {
        end = i + 4;
        break;
      }
    }
    return copy_to(end);
  }
  const bool end_tag = rest.starts_with("</");
  const std::size_t name_at = at + (end_tag ? 2 : 1);
  if (name_at < in_.size() && IsAsciiLetter(in_[name_at])) {
    const Tag tag = ScanTag(at, end_tag);
    if (end_tag) {
      EndTag(tag);
    } else {
      StartTag(tag);
    }
    return std::max(position_, tag.finish);
  }
  if (rest.starts_with("<!") || rest.starts_with("<?") || end_tag) {
    // Doctype, processing instruction or bogus comment: up to the next ">".
    const std::size_t gt = in_.find('>', at + 1);
    return copy_to(gt == std::string_view::npos ? in_.size() : gt + 1);
  }
  return copy_to(at + 1);  // a "<" that starts no tag is text
}

Tag NestingBound::ScanTag(std::size_t at, bool end) const {
  Tag tag;
  tag.end = end;
  tag.begin = at;
  std::size_t i = at + (end ? 2 : 1);
  const std::size_t name_begin = i;
  while (i < in_.size() && !IsHtmlSpace(in_[i]) && in_[i] != '/' && in_[i] != '>') ++i;
  tag.name = in_.substr(name_begin, i - name_begin);
  tag.tag = gumbo_tagn_enum(tag.name.data(), static_cast<unsigned>(tag.name.size()));
  tag.name_end = i;
  std::size_t attributes = 0;
  while (i < in_.size()) {
    while (i < in_.size() && (IsHtmlSpace(in_[i]) || in_[i] == '/')) {
      if (in_[i] == '/' && i + 1 < in_.size() && in_[i + 1] == '>') break;
      ++i;
    }
    if (i >= in_.size()) break;
    if (in_[i] == '>' || in_[i] == '/') {
      tag.self_closing = in_[i] == '/';
      tag.attrs_end = i;
      tag.finish = i + (tag.self_closing ? 2 : 1);
      return tag;
    }
    // An attribute: a name, then maybe "=" and a quoted or unquoted value.
    if (++attributes > limits_.max_attributes && tag.cut == 0) tag.cut = i;
    ++i;
    while (i < in_.size() && !IsHtmlSpace(in_[i]) && in_[i] != '/' && in_[i] != '>' &&
           in_[i] != '=') {
      ++i;
    }
    std::size_t j = i;
    while (j < in_.size() && IsHtmlSpace(in_[j])) ++j;
    if (j >= in_.size() || in_[j] != '=') continue;
    i = j + 1;
    while (i < in_.size() && IsHtmlSpace(in_[i])) ++i;
    if (i < in_.size() && (in_[i] == '"' || in_[i] == '\'')) {
      const std::size_t close = in_.find(in_[i], i + 1);
      i = close == std::string_view::npos ? in_.size() : close + 1;
    } else {
      while (i < in_.size() && !IsHtmlSpace(in_[i]) && in_[i] != '>') ++i;
    }
  }
  // A tag cut short by the end of the input is dropped by the tokenizer anyway.
  tag.attrs_end = tag.finish = in_.size();
  return tag;
}

void NestingBound::Emit(const Tag& tag) {
  if (tag.cut == 0) {
    out_.append(in_.substr(tag.begin, tag.finish - tag.begin));
    return;
  }
  out_.append(in_.substr(tag.begin, tag.cut - tag.begin));
  out_.append(in_.substr(tag.attrs_end, tag.finish - tag.attrs_end));
}

// "<x .../>" in XHTML: "<x ...></x>", so that the HTML parser closes it too.
void NestingBound::EmitEmpty(const Tag& tag) {
  const std::size_t attributes_end = tag.cut != 0 ? tag.cut : tag.attrs_end;
  out_.append(in_.substr(tag.begin, attributes_end - tag.begin));
  out_ += "></";
  out_.append(tag.name);
  out_ += '>';
}

void NestingBound::SkipRawText(const Tag& tag) {
  std::size_t i = tag.finish;
  while (true) {
    i = in_.find("</", i);
    if (i == std::string_view::npos) {
      i = in_.size();
      break;
    }
    const std::size_t after = i + 2 + tag.name.size();
    if (EqualsNoCase(in_.substr(i + 2, tag.name.size()), tag.name) &&
        (after >= in_.size() || IsHtmlSpace(in_[after]) || in_[after] == '/' ||
         in_[after] == '>')) {
      break;
    }
    i += 2;
  }
  out_.append(in_.substr(tag.finish, i - tag.finish));
  position_ = i;
}

std::size_t NestingBound::LastMarker() const {
  for (std::size_t i = formatting_.size(); i > 0; --i) {
    if (formatting_[i - 1].tag == GUMBO_TAG_LAST) return i;
  }
  return 0;
}

// The formatting list after a new element: at most three identical entries, as
// the tree builder keeps them, and no more than the limit.
void NestingBound::NoteFormatting(const Tag& tag) {
  const std::size_t first = LastMarker();
  const std::string_view attributes = in_.substr(tag.name_end, tag.attrs_end - tag.name_end);
  std::size_t identical = 0;
  std::size_t earliest = formatting_.size();
  for (std::size_t i = formatting_.size(); i > first; --i) {
    const Formatting& entry = formatting_[i - 1];
    if (entry.tag == tag.tag && entry.attributes == attributes) {
      ++identical;
      earliest = i - 1;
    }
  }
  if (identical >= 3)
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(earliest));
  formatting_.push_back({tag.tag, attributes});
}

void NestingBound::CloseCell() {
  PopTo(tables_.back() + 1);
  const std::size_t marker = LastMarker();
  if (marker > 0 && marker - 1 >= open_.back().formatting_size) formatting_.resize(marker - 1);
}

void NestingBound::PopTo(std::size_t size) {
  while (open_.size() > size) {
    const OpenElement& top = open_.back();
    if (kScopeMarker.Has(top.tag))
      formatting_.resize(std::min(formatting_.size(), top.formatting_size));
    if (top.tag == GUMBO_TAG_TABLE) tables_.pop_back();
    open_.pop_back();
  }
}

// Closes the innermost open element the end tag names; false when none is open.
bool NestingBound::CloseElement(const Tag& tag) {
  for (std::size_t i = open_.size(); i > 0; --i) {
    const OpenElement& entry = open_[i - 1];
    if (entry.tag == tag.tag &&
        (tag.tag != GUMBO_TAG_UNKNOWN || EqualsNoCase(entry.name, tag.name))) {
      PopTo(i - 1);
      return true;
    }
  }
  return false;
}

// Closes an open `tag` (with what is open inside it) unless `stops` names an element before it.
void NestingBound::CloseInScope(GumboTag tag, const TagSet& stops) {
  for (std::size_t i = open_.size(); i > 0; --i) {
    if (open_[i - 1].tag == tag) {
      PopTo(i - 1);
      return;
    }
    if (stops.Has(open_[i - 1].tag)) return;
  }
}

void NestingBound::ForgetFormatting(GumboTag tag) {
  for (std::size_t i = formatting_.size(); i > LastMarker(); --i) {
    if (formatting_[i - 1].tag != tag) continue;
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(i - 1));
    return;
  }
}

// What a start tag closes before it opens: a paragraph, a list item, a heading, a cell, a link.
void NestingBound::CloseImplied(const Tag& tag) {
  if (InForeign() && kBreaksOutOfForeign.Has(tag.tag)) {
    std::size_t size = open_.size();
    while (size > 0 && open_[size - 1].foreign) --size;
    PopTo(size);
  }
  if (InForeign()) return;
  if (kClosesParagraphTags.Has(tag.tag)) CloseInScope(GUMBO_TAG_P, kScopeBoundary);
  if (tag.tag == GUMBO_TAG_LI) {
    CloseInScope(GUMBO_TAG_LI, kStopsListItemSearch);
  } else if (tag.tag == GUMBO_TAG_DD || tag.tag == GUMBO_TAG_DT) {
    CloseInScope(GUMBO_TAG_DD, kStopsListItemSearch);
    CloseInScope(GUMBO_TAG_DT, kStopsListItemSearch);
  } else if (IsHeadingTag(tag.tag) && !open_.empty() && IsHeadingTag(open_.back().tag)) {
    PopTo(open_.size() - 1);
  }
  if (!tables_.empty() && kEndsCell.Has(tag.tag)) {
    CloseCell();
    if (tag.tag == GUMBO_TAG_TD || tag.tag == GUMBO_TAG_TH || tag.tag == GUMBO_TAG_CAPTION) {
      formatting_.push_back({GUMBO_TAG_LAST, {}});
    }
  }
  if (tag.tag == GUMBO_TAG_A || tag.tag == GUMBO_TAG_NOBR) {
    for (std::size_t i = formatting_.size(); i > LastMarker(); --i) {
      if (formatting_[i - 1].tag != tag.tag) continue;
      ForgetFormatting(tag.tag);
      CloseElement(tag);
      break;
    }
  }
}

void NestingBound::StartTag(const Tag& tag) {
  CloseImplied(tag);
  const bool foreign = InForeign();
  const Kind kind = foreign ? Kind::kCounted : KindOf(tag.tag);
  if (kind == Kind::kVoid || kind == Kind::kAutoClosing || (tag.self_closing && foreign)) {
    Emit(tag);
  } else if (tag.self_closing && limits_.xml_empty_tags) {
    EmitEmpty(tag);
  } else if (kind == Kind::kRawText) {
    Emit(tag);
    SkipRawText(tag);
  } else if (kind == Kind::kPlainText) {
    Emit(tag);
    out_.append(in_.substr(tag.finish));
    position_ = in_.size();
  } else if (OpenCounted(tag, foreign)) {
    Emit(tag);
  }
}

// Opens a counted element; false when that would go past a limit, and its start tag is dropped.
bool NestingBound::OpenCounted(const Tag& tag, bool foreign) {
  const bool formatting = kFormatting.Has(tag.tag);
  if (open_.size() >= limits_.max_depth ||
      (formatting && formatting_.size() - LastMarker() >= limits_.max_formatting)) {
    ++Dropped(tag);
    return false;
  }
  if (formatting) NoteFormatting(tag);
  if (tag.tag == GUMBO_TAG_TABLE) tables_.push_back(open_.size());
  const bool now_foreign = tag.tag == GUMBO_TAG_SVG || tag.tag == GUMBO_TAG_MATH ||
                           (foreign && !IsIntegrationPoint(tag.tag, tag.name));
  open_.push_back({tag.tag, tag.name, now_foreign, formatting_.size()});
  return true;
}

void NestingBound::EndTag(const Tag& tag) {
  const Kind kind = InForeign() ? Kind::kCounted : KindOf(tag.tag);
  if (!tables_.empty() && kEndsCell.Has(tag.tag)) CloseCell();
  if (kind != Kind::kCounted) {
    Emit(tag);
    return;
  }
  if (Dropped(tag) > 0) {
    --Dropped(tag);
    return;
  }
  if (kFormatting.Has(tag.tag)) ForgetFormatting(tag.tag);
  CloseElement(tag);
  Emit(tag);
}

}  // namespace

std::string BoundHtmlNesting(std::string_view html, const HtmlLimits& limits) {
  return NestingBound(html, limits).Run();
}

}  // namespace quillet
