#include "richtext/formats/xml_document.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <string_view>

namespace quillet {
namespace {

// Set once for the process: no file or URL is ever opened for an XML parser.
xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
  return nullptr;
}

void InitializeLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(&RefuseExternalEntity);
  });
}

struct EntityWatch {
  bool declared = false;
  std::string name;
};

// Called for every <!ENTITY> before it can be used: the parse stops there.
void OnEntityDeclaration(void* context, const xmlChar* name, int, const xmlChar*, const xmlChar*,
                         xmlChar*) {
  auto* parser = static_cast<xmlParserCtxtPtr>(context);
  auto* watch = static_cast<EntityWatch*>(parser->_private);
  watch->declared = true;
  watch->name = reinterpret_cast<const char*>(name);
  xmlStopParser(parser);
}

void OnUnparsedEntityDeclaration(void* context, const xmlChar* name, const xmlChar* public_id,
                                 const xmlChar* system_id, const xmlChar*) {
  OnEntityDeclaration(context, name, 0, public_id, system_id, nullptr);
}

// libxml2 stops at its nesting limit; in recovery mode it keeps only what came before.
bool StoppedTooDeep(const xmlError* error) {
  return error != nullptr && error->code == XML_ERR_INTERNAL_ERROR && error->message != nullptr &&
         std::string_view(error->message).starts_with("Excessive depth");
}

// Whether the text ends with the end tag of the element named `name`, with or
// without a namespace prefix: what a file cut short lacks, and a damaged one
// that still ends has.
bool EndsWithEndTag(std::string_view bytes, std::string_view name) {
  // What may follow the root: white space, comments, processing instructions,
  // and the NUL or end-of-file mark some programs pad files with.
  constexpr std::string_view kTrailing(" \t\r\n\0\x1A", 6);
  for (;;) {
    bytes = bytes.substr(0, bytes.find_last_not_of(kTrailing) + 1);
    const std::string_view opening = bytes.ends_with("-->")  ? "<!--"
                                     : bytes.ends_with("?>") ? "<?"
                                                             : "";
    if (opening.empty()) break;
    const std::size_t start = bytes.rfind(opening);
    bytes = bytes.substr(0, start == std::string_view::npos ? 0 : start);
  }
  if (bytes.empty() || bytes.back() != '>') return false;
  const std::size_t open = bytes.rfind("</");
  if (open == std::string_view::npos) return false;
  std::string_view tag = bytes.substr(open + 2, bytes.size() - open - 3);
  tag = tag.substr(0, tag.find_last_not_of(" \t\r\n") + 1);
  if (const std::size_t colon = tag.find(':'); colon != std::string_view::npos) {
    tag.remove_prefix(colon + 1);
  }
  return tag == name;
}

// The most attributes one element of `xml` has, counted as the "=" inside
// its start tag, outside quoted values; comments, CDATA sections,
// declarations and processing instructions hold none.
std::size_t MostAttributesOfAnElement(std::string_view xml) {
  std::size_t most = 0;
  std::size_t i = 0;
  while ((i = xml.find('<', i)) != std::string_view::npos) {
    const std::string_view rest = xml.substr(i);
    std::string_view close = ">";
    if (rest.starts_with("<!--")) {
      close = "-->";
    } else if (rest.starts_with("<![CDATA[")) {
      close = "]]>";
    } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
      close = ">";
    } else {
      std::size_t count = 0;
      char quote = 0;
      for (++i; i < xml.size() && (quote != 0 || xml[i] != '>'); ++i) {
        if (quote != 0) {
          if (xml[i] == quote) quote = 0;
        } else if (xml[i] == '"' || xml[i] == '\'') {
          quote = xml[i];
        } else if (xml[i] == '=') {
          ++count;
        }
      }
      most = std::max(most, count);
      continue;
    }
    const std::size_t end = xml.find(close, i + 2);
    if (end == std::string_view::npos) break;
    i = end + close.size();
  }
  return most;
}

// A recovered document whose text ends inside its root element: libxml2
// found an element unfinished, and the root's end tag is not where the text ends.
bool CutShort(std::string_view bytes, xmlDoc* document, const xmlError* last) {
  const xmlNode* root = document != nullptr ? xmlDocGetRootElement(document) : nullptr;
  return root != nullptr && last != nullptr && last->code == XML_ERR_TAG_NOT_FINISHED &&
         !EndsWithEndTag(bytes, reinterpret_cast<const char*>(root->name));
}

std::string Trimmed(const char* message) {
  std::string text = message == nullptr ? "" : message;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

XmlDocument::XmlDocument(std::string_view bytes, bool recover) {
  if (MostAttributesOfAnElement(bytes) > kMostAttributes) {
    error_ = XmlError::kTooManyAttributes;
    return;
  }
  InitializeLibxml();
  xmlParserCtxtPtr parser = bytes.size() <= INT_MAX ? xmlNewParserCtxt() : nullptr;
  if (parser == nullptr) {
    error_ = XmlError::kMalformed;
    return;
  }
  EntityWatch watch;
  parser->_private = &watch;
  parser->sax->entityDecl = &OnEntityDeclaration;
  parser->sax->unparsedEntityDecl = &OnUnparsedEntityDeclaration;
  int options = XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  if (recover) options |= XML_PARSE_RECOVER;
  document_ = xmlCtxtReadMemory(parser, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                nullptr, options);
  const xmlError* last = xmlCtxtGetLastError(parser);
  if (watch.declared) {
    error_ = XmlError::kEntities;
    detail_ = watch.name;
  } else if (StoppedTooDeep(last)) {
    error_ = XmlError::kTooDeep;
  } else if (recover && CutShort(bytes, document_, last)) {
    error_ = XmlError::kTruncated;
    detail_ = Trimmed(last->message);
  } else if (document_ == nullptr || xmlDocGetRootElement(document_) == nullptr ||
             (!recover && parser->wellFormed == 0)) {
    error_ = XmlError::kMalformed;
    detail_ = Trimmed(last != nullptr ? last->message : nullptr);
  }
  if (error_ != XmlError::kNone && document_ != nullptr) {
    xmlFreeDoc(document_);
    document_ = nullptr;
  }
  xmlFreeParserCtxt(parser);
}

XmlDocument::~XmlDocument() {
  if (document_ != nullptr) xmlFreeDoc(document_);
}

const xmlNode* XmlDocument::root() const {
  return document_ == nullptr ? nullptr : xmlDocGetRootElement(document_);
}

Status XmlDocument::status(std::string_view what) const {
  const std::string name(what);
  switch (error_) {
    case XmlError::kNone:
      return {};
    case XmlError::kEntities:
      return {StatusKind::kXmlEntities, name, 0, 0, detail_};
    case XmlError::kTooDeep:
      return Failure(StatusKind::kXmlTooDeep, name);
    case XmlError::kTooManyAttributes:
      return {StatusKind::kXmlTooManyAttributes, name, static_cast<std::int64_t>(kMostAttributes),
              0};
    case XmlError::kTruncated:
      return {StatusKind::kXmlTruncated, name, 0, 0, detail_};
    case XmlError::kMalformed:
      break;
  }
  return {StatusKind::kXmlMalformed, name, 0, 0, detail_};
}

std::string_view LocalName(const xmlNode* node) {
  if (node == nullptr || node->name == nullptr) return {};
  return reinterpret_cast<const char*>(node->name);
}

std::string AttributeOf(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (value == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

std::string TextOf(const xmlNode* node) {
  xmlChar* value = xmlNodeGetContent(node);
  if (value == nullptr) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

bool IsElement(const xmlNode* node, std::string_view local_name) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && LocalName(node) == local_name;
}

}  // namespace quillet
