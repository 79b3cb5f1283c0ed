// Helpers of the reader-mode tests: books converted as the builder converts
// them, the body of a reader page, and real tidy on a page.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "builder/book_builder.h"
#include "builder/reader/reader_pages.h"
#include "converter/converter.h"
#include "richtext/document_box.h"
#include "tests/reader/tidy_check.h"

namespace quillet::reader::testing {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline fs::path SourcePath(std::string_view relative) {
  return fs::path(QUILLET_SOURCE_DIR) / relative;
}

// The body the converter makes of a whole book in the box, as reader mode
// converts it: one conversion of the box's RTF.
inline std::string BookBody(const fs::path& rtfFile) {
  DocumentBox box;
  box.SetTextRTF(ReadFile(rtfFile));
  Converter converter;
  return converter.ConvertRtfToHtml(box.TextRTF(), kConvertOptions);
}

inline BookNames Names() {
  return {"RERUD", "Rerud", "Rerud"};
}

// The body of a reader page: between the body start (and the links at the
// top) and the links at the bottom (and the body end).
inline std::string PageBody(std::string_view page) {
  constexpr std::string_view kStart = "<BODY>\r\n";
  std::size_t begin = page.find(kStart) + kStart.size();
  std::size_t end = page.rfind("\r\n</BODY>");
  if (page.substr(begin).starts_with("<p><a ")) {
    begin = page.find("\r\n", begin) + 2;
    end = page.rfind("\r\n<p><a ", end);
  }
  return std::string(page.substr(begin, end - begin));
}

// Markup dropped, references kept.
inline std::string StripTags(std::string_view html) {
  std::string text;
  for (std::size_t at = 0; at < html.size();) {
    if (html[at] == '<') {
      at = html.find('>', at) + 1;
    } else {
      text += html[at++];
    }
  }
  return text;
}

}  // namespace quillet::reader::testing
