#include "richtext/formats/fb2_reader.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "richtext/formats/html_style.h"
#include "richtext/formats/paragraph_builder.h"
#include "richtext/formats/xml_document.h"
#include "richtext/text_encoding.h"

namespace quillet {
namespace {

// How an element takes part in the layout.
enum class Role : std::uint8_t {
  kInline,
  kContainer,  // holds blocks: body, section, epigraph, poem...
  kParagraph,  // a paragraph of its own: p, v, subtitle, text-author...
  kTitle,      // a section's or body's title: its paragraphs are headings
  kEmptyLine,
  kRow,
  kCell,
  kImage,
  kSkipped,  // metadata and binaries
};

constexpr std::pair<std::string_view, Role> kRoles[] = {{"FictionBook", Role::kContainer},
                                                        {"body", Role::kContainer},
                                                        {"section", Role::kContainer},
                                                        {"epigraph", Role::kContainer},
                                                        {"poem", Role::kContainer},
                                                        {"stanza", Role::kContainer},
                                                        {"cite", Role::kContainer},
                                                        {"annotation", Role::kContainer},
                                                        {"table", Role::kContainer},
                                                        {"p", Role::kParagraph},
                                                        {"v", Role::kParagraph},
                                                        {"subtitle", Role::kParagraph},
                                                        {"text-author", Role::kParagraph},
                                                        {"date", Role::kParagraph},
                                                        {"title", Role::kTitle},
                                                        {"empty-line", Role::kEmptyLine},
                                                        {"tr", Role::kRow},
                                                        {"td", Role::kCell},
                                                        {"th", Role::kCell},
                                                        {"image", Role::kImage},
                                                        {"description", Role::kSkipped},
                                                        {"binary", Role::kSkipped},
                                                        {"stylesheet", Role::kSkipped}};

Role RoleOf(std::string_view name) {
  for (const auto& [element, role] : kRoles) {
    if (element == name) return role;
  }
  return Role::kInline;
}

struct Style {
  CharFormat format;
  int sections = 0;  // sections open around the element
};

// An element being walked, with the style its children inherit.
struct OpenElement {
  const xmlNode* node;
  Style style;
};

class Fb2Walker {
 public:
  Document Walk(const xmlNode* root);

 private:
  // What an element does as it opens; true when its children are walked.
  bool Enter(const xmlNode* node, const Style& parent);
  void Leave(const xmlNode* node);
  void Text(const xmlNode* node, const CharFormat& format);

  std::vector<OpenElement> open_;
  Document document_;
  ParagraphBuilder paragraph_{document_};
  int cells_in_row_ = 0;
  bool pending_tab_ = false;
};

// Depth first without recursion: libxml's links lead from a node to its first
// child and to its next sibling; the stack keeps the elements still open.
Document Fb2Walker::Walk(const xmlNode* root) {
  open_.push_back({root, Style{}});
  const xmlNode* next = root->children;
  while (!open_.empty()) {
    if (next == nullptr) {
      const xmlNode* done = open_.back().node;
      open_.pop_back();
      Leave(done);
      next = done->next;
      continue;
    }
    const xmlNode* node = next;
    next = node->next;
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      Text(node, open_.back().style.format);
    } else if (node->type == XML_ELEMENT_NODE && Enter(node, open_.back().style)) {
      next = node->children;
    }
  }
  paragraph_.End();
  return std::move(document_);
}

bool Fb2Walker::Enter(const xmlNode* node, const Style& parent) {
  const std::string_view name = LocalName(node);
  Style style = parent;
  CharFormat& format = style.format;
  switch (RoleOf(name)) {
    case Role::kSkipped:
      return false;
    case Role::kEmptyLine:
      paragraph_.End();
      paragraph_.Start();
      paragraph_.End();
      return false;
    case Role::kImage:
      Text(node, format);
      return false;
    case Role::kContainer:
    case Role::kParagraph:
      paragraph_.End();
      if (name == "section") ++style.sections;
      break;
    case Role::kTitle:
      paragraph_.End();
      format.bold = true;
      format.size_half_points = HeadingSize(std::max(style.sections, 1));
      break;
    case Role::kRow:
      paragraph_.End();
      cells_in_row_ = 0;
      break;
    case Role::kCell:
      pending_tab_ = cells_in_row_++ > 0;
      format.bold = format.bold || name == "th";
      break;
    case Role::kInline:
      format.bold = format.bold || name == "strong";
      format.italic = format.italic || name == "emphasis";
      format.strike = format.strike || name == "strikethrough";
      if (name == "sup") format.vertical = VerticalPosition::kSuperscript;
      if (name == "sub") format.vertical = VerticalPosition::kSubscript;
      break;
  }
  open_.push_back({node, std::move(style)});
  return true;
}

void Fb2Walker::Leave(const xmlNode* node) {
  const Role role = RoleOf(LocalName(node));
  if (role != Role::kInline && role != Role::kCell) paragraph_.End();
}

// The text of a text node, or the alt text of an image.
void Fb2Walker::Text(const xmlNode* node, const CharFormat& format) {
  const std::string utf8 = node->type == XML_ELEMENT_NODE
                               ? AttributeOf(node, "alt")
                               : reinterpret_cast<const char*>(node->content);
  const std::u16string text = FromUtf8Lossy(utf8);
  if (pending_tab_ && !std::all_of(text.begin(), text.end(), ParagraphBuilder::IsWhiteSpace)) {
    paragraph_.Separator(u"\t", format);
    pending_tab_ = false;
  }
  paragraph_.Text(text, format);
}

// "• " in front of a paragraph, as writers mark list items in FB2, makes a bullet.
void MarkBullets(Document& document) {
  for (Paragraph& paragraph : document.paragraphs) {
    if (paragraph.Runs().empty()) continue;
    const std::u16string_view text = paragraph.Runs().front().text;
    if (text.size() < 2 || text[0] != u'\u2022' || (text[1] != u' ' && text[1] != u'\u00a0')) {
      continue;
    }
    paragraph.EraseFront(2);
    if (paragraph.Runs().front().text.empty()) paragraph.PopFront();
    paragraph.bullet = true;
  }
}

}  // namespace

LoadResult ReadFb2(std::string_view bytes) {
  LoadResult result;
  result.format = BookFormat::kFb2;
  const XmlDocument xml(bytes, true);
  if (xml.root() == nullptr || LocalName(xml.root()) != "FictionBook") {
    result.status = xml.root() == nullptr ? xml.status("") : Failure(StatusKind::kNotFb2);
    return result;
  }
  result.document = Fb2Walker().Walk(xml.root());
  MarkBullets(result.document);
  return result;
}

}  // namespace quillet
