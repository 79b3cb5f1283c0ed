// Reading a written page back as a test sees it: its bytes, the body between
// the page's head and foot, and the text a browser shows for it.
#pragma once

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace quillet::testing {

inline std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// What lies between a converted page's head and its foot.
inline std::string PageBody(const std::filesystem::path& page) {
  const std::string all = FileBytes(page);
  const std::size_t start = all.find(" ::</TITLE>\r\n\r\n") + 15;
  return all.substr(start, all.rfind("\r\n</BODY>") - start);
}

// The text of an HTML body in UTF-8, as libxml2's HTML parser reads it: its own
// entity table, not the converter's, decides what every reference stands for.
inline std::string VisibleText(const std::string& html) {
  const htmlDocPtr document = htmlReadMemory(
      html.data(), static_cast<int>(html.size()), "page.html", "windows-1252",
      HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  if (document == nullptr) return {};
  std::string text;
  if (xmlNodePtr root = xmlDocGetRootElement(document)) {
    xmlChar* content = xmlNodeGetContent(root);
    if (content != nullptr) text = reinterpret_cast<const char*>(content);
    xmlFree(content);
  }
  xmlFreeDoc(document);
  return text;
}

}  // namespace quillet::testing
