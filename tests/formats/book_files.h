// Book files for tests: fixtures on disk, ZIP archives and EPUBs built with
// libzip, and the words of a text compared with a reference.
#pragma once

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace quillet::testing {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return std::move(bytes).str();
}

inline std::string Fixture(const std::string& name) {
  return ReadBytes(std::filesystem::path(QUILLET_FORMATS_DATA) / name);
}

// A folder of the test's own, removed with what is in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string name = (std::filesystem::temp_directory_path() / "quillet-test-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp");
    path_ = name;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct ZipEntry {
  std::string name;
  std::string data;
  bool stored = false;  // kept uncompressed, as an EPUB's mimetype must be
};

// Writes a ZIP archive with libzip into `path`.
inline void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("zip_open " + path.string());
  for (const ZipEntry& entry : entries) {
    zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
    const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) throw std::runtime_error("zip_file_add " + entry.name);
    if (entry.stored)
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  if (zip_close(archive) != 0) throw std::runtime_error("zip_close " + path.string());
}

inline std::string MakeZip(const std::vector<ZipEntry>& entries) {
  const ScratchFolder folder;
  WriteZip(folder.path() / "archive.zip", entries);
  return ReadBytes(folder.path() / "archive.zip");
}

inline const char* kContainerXml =
    "<?xml version=\"1.0\"?><container version=\"1.0\" "
    "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
    "full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/></rootfiles>"
    "</container>";

// The entries of an EPUB whose spine holds the chapters in order, as OEBPS/chNNN.xhtml.
inline std::vector<ZipEntry> EpubEntries(const std::vector<std::string>& chapters) {
  std::string manifest;
  std::string spine;
  std::vector<ZipEntry> entries = {{"mimetype", "application/epub+zip", true},
                                   {"META-INF/container.xml", kContainerXml}};
  for (std::size_t i = 0; i < chapters.size(); ++i) {
    const std::string id = "ch" + std::to_string(1000 + i).substr(1);
    manifest +=
        "<item id=\"" + id + "\" href=\"" + id + ".xhtml\" media-type=\"application/xhtml+xml\"/>";
    spine += "<itemref idref=\"" + id + "\"/>";
    entries.push_back({"OEBPS/" + id + ".xhtml", chapters[i]});
  }
  entries.push_back(
      {"OEBPS/content.opf",
       "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
       "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Metadata "
       "title</dc:title><dc:identifier>urn:uuid:0</dc:identifier></metadata><manifest>" +
           manifest + "</manifest><spine>" + spine + "</spine></package>"});
  return entries;
}

inline std::string Chapter(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html xmlns=\"http://www.w3.org/1999/xhtml\">"
         "<head><title>Chapter title</title></head><body>" +
         body + "</body></html>";
}

// One chapter of a generated book: a heading and paragraphs of made-up words of
// one to three syllables in the book's scripts, some bold, about `bytes` of
// XHTML that packs about threefold, as prose does.
inline std::string GeneratedChapter(std::mt19937& random, std::size_t number, std::size_t bytes) {
  static const char* const kSyllables[] = {
      "fa",    "ro",    "mar",  "no",   "che",  "vien",  "to",   "bar", "ca",   "puer",
      "lám",   "pa",    "es",   "ni",   "ño",   "can",   "ción", "the", "kee",  "per",
      "storm", "light", "har",  "bour", "rain", "bread", "sai",  "lor", "θά",   "λασ",
      "σα",    "φως",   "ship", "fog",  "bell", "Tó",    "más",  "E",   "le",   "Má",
      "la",    "ga",    "Cá",   "diz",  "rock", "wave",  "salt", "an",  "chor", "gull",
      "shore", "qu",    "ix",   "zu",   "yo",   "wen",   "dr",   "ük",  "ça",   "ñi"};
  std::uniform_int_distribution<std::size_t> syllable(0, std::size(kSyllables) - 1);
  std::uniform_int_distribution<int> syllables(1, 3);
  std::uniform_int_distribution<int> length(40, 160);
  std::string body = "<h1>Chapter " + std::to_string(number) + "</h1>";
  while (body.size() < bytes) {
    body += "<p>";
    for (int w = length(random); w > 0; --w) {
      const bool bold = w % 17 == 0;
      body += bold ? "<b>" : "";
      for (int k = syllables(random); k > 0; --k) body += kSyllables[syllable(random)];
      body += bold ? "</b>" : "";
      body += w % 11 == 0 ? ", " : " ";
    }
    body += "end.</p>\n";
  }
  return Chapter(body);
}

// Writes an EPUB of generated chapters of about a mebibyte each into `path`, as
// many as make the file `size` bytes or a little more; returns how many.
inline std::size_t WriteLargeEpub(const std::filesystem::path& path, std::size_t size) {
  constexpr std::size_t kChapterBytes = std::size_t{1} << 20;
  std::mt19937 random(12345);
  std::vector<std::string> chapters = {GeneratedChapter(random, 1, kChapterBytes)};
  // The first chapter packed tells how many make the size: they are all alike.
  uLongf packed = compressBound(chapters[0].size());
  std::vector<Bytef> buffer(packed);
  compress2(buffer.data(), &packed, reinterpret_cast<const Bytef*>(chapters[0].data()),
            chapters[0].size(), Z_DEFAULT_COMPRESSION);
  const std::size_t count = size / packed * 103 / 100 + 2;
  while (chapters.size() < count) {
    chapters.push_back(GeneratedChapter(random, chapters.size() + 1, kChapterBytes));
  }
  WriteZip(path, EpubEntries(chapters));
  return count;
}

// Words: runs of letters and digits in any script; punctuation, symbols and spaces part them.
inline std::vector<std::u16string> Words(std::u16string_view text) {
  const auto is_word = [](char16_t c) {
    if (c < 0x80)
      return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    return c >= 0xC0 && c != 0xD7 && c != 0xF7 && !(c >= 0x2000 && c < 0x2C00) && c != 0xFFFD &&
           c != 0xFEFF;
  };
  std::vector<std::u16string> words;
  std::u16string word;
  for (char16_t c : text) {
    if (is_word(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

struct WordMatch {
  std::size_t reference = 0;          // words in the reference
  std::size_t read = 0;               // words read
  std::size_t kept = 0;               // reference words found in order in what was read
  std::vector<std::u16string> extra;  // words read that the reference does not have there
};

// The longest common subsequence of the two word lists.
inline WordMatch CompareWords(const std::vector<std::u16string>& reference,
                              const std::vector<std::u16string>& read) {
  const std::size_t n = reference.size();
  const std::size_t m = read.size();
  std::vector<std::vector<std::uint32_t>> table(n + 1, std::vector<std::uint32_t>(m + 1, 0));
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      table[i][j] = reference[i] == read[j] ? table[i + 1][j + 1] + 1
                                            : std::max(table[i + 1][j], table[i][j + 1]);
    }
  }
  WordMatch match{n, m, table[0][0], {}};
  for (std::size_t i = 0, j = 0; j < m;) {
    if (i < n && reference[i] == read[j]) {
      ++i, ++j;
    } else if (i < n && table[i + 1][j] >= table[i][j + 1]) {
      ++i;
    } else {
      match.extra.push_back(read[j++]);
    }
  }
  return match;
}

}  // namespace quillet::testing
