// A whole book through generation: the pages, read back as visible text and
// joined in order, hold the book's text, nothing lost or doubled.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "builder/book_builder.h"
#include "converter/entities.h"
#include "richtext/document_box.h"
#include "richtext/rtf_writer.h"
#include "richtext/text_encoding.h"
#include "tests/builder/fakes.h"
#include "tests/builder/generated_book.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// Entity -> character, from the converter's own table.
std::map<std::string, char16_t> EntityCharacters() {
  std::map<std::string, char16_t> characters;
  for (unsigned code = 0x20; code <= 0xFF; ++code) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", code);
    const std::string entity = LookupEntity(hex);
    if (entity.starts_with("&") && entity.size() > 1) {
      characters.emplace(entity, Windows1252ToUnicode(static_cast<unsigned char>(code)));
    }
  }
  return characters;
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\n' || c == u'\r' || c == u'\t';
}

// The text a browser shows for a page body, white space dropped.
std::u16string VisibleText(const std::string& html) {
  static const std::map<std::string, char16_t> entities = EntityCharacters();
  std::u16string text;
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      i = html.find('>', i) + 1;
    } else if (html[i] == '&') {
      const std::size_t end = html.find(';', i) + 1;
      const auto found = entities.find(html.substr(i, end - i));
      text += found == entities.end() ? u'?' : found->second;
      i = end;
    } else {
      text += Windows1252ToUnicode(static_cast<unsigned char>(html[i++]));
    }
  }
  std::erase_if(text, IsBlank);
  return text;
}

std::string Body(const fs::path& page) {
  std::ifstream in(page, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string all = bytes.str();
  const std::size_t start = all.find(" ::</TITLE>\r\n\r\n") + 15;
  return all.substr(start, all.rfind("\r\n</BODY>") - start);
}

TEST(WholeBookTest, NinetyNinePagesHoldTheWholeTextInOrder) {
  const fs::path folder = fs::temp_directory_path() / ("quillet-book-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  DocumentBox box;
  box.SetTextRTF(WriteRtf(testing::GeneratedBook(400'000)));
  testing::RecordingOpener opener;
  BookBuilder builder(box, opener);

  BookRequest request;
  request.folder = folder.string() + "/";
  request.partCount = 99;
  const BookResult result = builder.Generate(request);
  ASSERT_TRUE(result.ok()) << result.error->message;
  ASSERT_EQ(result.written.size(), 100u);
  std::u16string joined;
  for (int part = 1; part <= 99; ++part) {
    char name[16];
    std::snprintf(name, sizeof name, "Rerud%02d.html", part);
    joined += VisibleText(Body(folder / name));
  }
  std::u16string expected = box.Text();
  std::erase_if(expected, [](char16_t c) { return IsBlank(c) || c == kLineBreak; });
  EXPECT_EQ(joined.size(), expected.size());
  EXPECT_TRUE(joined == expected)
      << "first difference at "
      << std::mismatch(joined.begin(), joined.end(), expected.begin(), expected.end()).first -
             joined.begin();
  fs::remove_all(folder);
}

}  // namespace
}  // namespace quillet
