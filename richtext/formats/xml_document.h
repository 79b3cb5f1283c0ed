// XML parsed with libxml2 the safe way: no network, no DTD or external entity
// loaded, and a document that declares entities refused outright, so that
// neither an XML bomb nor an external-entity (XXE) file is ever expanded.
#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "richtext/status.h"

namespace quillet {

enum class XmlError : std::uint8_t {
  kNone,
  kMalformed,          // not well-formed XML
  kEntities,           // declares entities: refused
  kTooDeep,            // nested past libxml2's limit, where it stops reading: refused
  kTruncated,          // ends inside its root element: the rest of it is missing
  kTooManyAttributes,  // an element with more than kMostAttributes: refused
};

// libxml2 checks each attribute of an element against the others, so that
// the time grows with the square of their number.
inline constexpr std::size_t kMostAttributes = 1000;

class XmlDocument {
 public:
  // With `recover`, a damaged document keeps what libxml2 could read of it,
  // unless it ends before its root element does.
  explicit XmlDocument(std::string_view bytes, bool recover = false);
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // The root element; nullptr when parsing failed.
  const xmlNode* root() const;
  XmlError error() const { return error_; }
  // Not read on purpose, rather than damaged.
  bool refused() const {
    return error_ == XmlError::kEntities || error_ == XmlError::kTooDeep ||
           error_ == XmlError::kTooManyAttributes;
  }
  // What went wrong as a status; `what` names the document.
  Status status(std::string_view what) const;

 private:
  xmlDoc* document_ = nullptr;
  XmlError error_ = XmlError::kNone;
  std::string detail_;  // libxml2's message, or the entity declared
};

// Element helpers: the name without its prefix, an attribute's value ("" when
// absent), all the text inside.
std::string_view LocalName(const xmlNode* node);
std::string AttributeOf(const xmlNode* node, const char* name);
std::string TextOf(const xmlNode* node);
bool IsElement(const xmlNode* node, std::string_view local_name);

}  // namespace quillet
