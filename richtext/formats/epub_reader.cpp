#include "richtext/formats/epub_reader.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "richtext/ascii.h"
#include "richtext/formats/html_reader.h"
#include "richtext/formats/html_style.h"
#include "richtext/formats/xml_document.h"
#include "richtext/formats/zip_archive.h"
#include "richtext/notes.h"

namespace quillet {
namespace {

constexpr std::string_view kContainer = "META-INF/container.xml";
constexpr std::string_view kEncryption = "META-INF/encryption.xml";

struct Chapter {
  std::string path;
  bool xhtml = true;
};

LoadResult Unread(Status status) {
  LoadResult result;
  result.status = std::move(status);
  result.format = BookFormat::kEpub;
  return result;
}

LoadResult ZipFailure(const ZipArchive& zip) {
  return Unread(zip.status("EPUB"));
}

LoadResult XmlFailure(const XmlDocument& xml, std::string_view path) {
  return Unread(xml.status(path));
}

std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
        HexDigitValue(text[i + 2]) >= 0) {
      decoded += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The path of the OPF package that container.xml names.
std::optional<std::string> PackagePath(const xmlNode* container) {
  std::vector<const xmlNode*> pending = {container};
  while (!pending.empty()) {
    const xmlNode* node = pending.back();
    pending.pop_back();
    if (IsElement(node, "rootfile")) {
      std::string path = AttributeOf(node, "full-path");
      if (!path.empty()) return path;
    }
    for (const xmlNode* child = node->last; child != nullptr; child = child->prev) {
      if (child->type == XML_ELEMENT_NODE) pending.push_back(child);
    }
  }
  return std::nullopt;
}

const xmlNode* ChildElement(const xmlNode* parent, std::string_view name) {
  for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
    if (IsElement(child, name)) return child;
  }
  return nullptr;
}

// The spine's documents, in reading order, as paths inside the archive.
std::vector<Chapter> SpineChapters(const xmlNode* package, std::string_view package_path) {
  struct Item {
    std::string href;
    std::string media_type;
  };
  std::unordered_map<std::string, Item> manifest;
  if (const xmlNode* list = ChildElement(package, "manifest")) {
    for (const xmlNode* item = list->children; item != nullptr; item = item->next) {
      if (!IsElement(item, "item")) continue;
      manifest[AttributeOf(item, "id")] = {AttributeOf(item, "href"),
                                           AttributeOf(item, "media-type")};
    }
  }
  std::vector<Chapter> chapters;
  const xmlNode* spine = ChildElement(package, "spine");
  for (const xmlNode* ref = spine != nullptr ? spine->children : nullptr; ref != nullptr;
       ref = ref->next) {
    if (!IsElement(ref, "itemref")) continue;
    const auto found = manifest.find(AttributeOf(ref, "idref"));
    if (found == manifest.end()) continue;
    const Item& item = found->second;
    const bool html = item.media_type == "text/html";
    if (!html && item.media_type != "application/xhtml+xml") continue;  // SVG pages, images
    chapters.push_back({ResolveHref(package_path, item.href), !html});
  }
  return chapters;
}

// The archive paths that META-INF/encryption.xml lists as encrypted.
std::set<std::string> EncryptedPaths(const xmlNode* encryption) {
  std::set<std::string> paths;
  std::vector<const xmlNode*> pending = {encryption};
  while (!pending.empty()) {
    const xmlNode* node = pending.back();
    pending.pop_back();
    if (IsElement(node, "CipherReference")) {
      // Lower case, as entries are found whatever their case.
      paths.insert(AsciiLower(ResolveHref("", AttributeOf(node, "URI"))));
    }
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) pending.push_back(child);
    }
  }
  return paths;
}

// The first heading of a chapter stays a heading whatever its inline style said.
void KeepHeading(Paragraph& heading) {
  for (std::size_t run = 0; run < heading.Runs().size(); ++run) {
    CharFormat& format = heading.FormatOf(run);
    format.bold = true;
    format.size_half_points = std::max(format.size_half_points, HeadingSize(2));
  }
}

class EpubReader {
 public:
  EpubReader(std::string_view bytes, const LoadOptions& options)
      : options_(options),
        zip_(bytes, ZipLimits{options.max_unpacked_bytes, options.max_compression_ratio}) {}
  LoadResult Read();

 private:
  std::optional<LoadResult> ReadChapters(const std::vector<Chapter>& chapters);

  const LoadOptions& options_;
  ZipArchive zip_;
  Document book_;
  std::vector<FoundNote> notes_;  // of every chapter, gathered at the end of the book
};

LoadResult EpubReader::Read() {
  if (!zip_.ok()) return ZipFailure(zip_);
  const std::optional<std::string> container_bytes = zip_.Read(kContainer);
  if (!container_bytes) return ZipFailure(zip_);
  const XmlDocument container(*container_bytes);
  if (container.root() == nullptr) return XmlFailure(container, kContainer);
  const std::optional<std::string> package_path = PackagePath(container.root());
  if (!package_path) {
    return Unread(Failure(StatusKind::kNoPackage));
  }
  const std::optional<std::string> package_bytes = zip_.Read(*package_path);
  if (!package_bytes) return ZipFailure(zip_);
  const XmlDocument package(*package_bytes);
  if (package.root() == nullptr) return XmlFailure(package, *package_path);
  const std::vector<Chapter> chapters = SpineChapters(package.root(), *package_path);
  if (chapters.empty()) {
    return Unread(Failure(StatusKind::kNoChapters));
  }
  if (std::optional<LoadResult> failure = ReadChapters(chapters)) return std::move(*failure);
  AppendNotes(book_, std::move(notes_));
  LoadResult result;
  result.format = BookFormat::kEpub;
  result.document = std::move(book_);
  return result;
}

std::optional<LoadResult> EpubReader::ReadChapters(const std::vector<Chapter>& chapters) {
  std::set<std::string> encrypted;
  if (zip_.Has(kEncryption)) {
    const std::optional<std::string> bytes = zip_.Read(kEncryption);
    if (!bytes) return ZipFailure(zip_);
    const XmlDocument encryption(*bytes);
    if (encryption.root() == nullptr) return XmlFailure(encryption, kEncryption);
    encrypted = EncryptedPaths(encryption.root());
  }
  // Each entry is read once however often the spine names it, by whatever
  // path: a spine that repeats one chapter would multiply its text past
  // every size limit.
  std::set<std::uint64_t> read;
  for (const Chapter& chapter : chapters) {
    if (options_.cancelled && options_.cancelled()) {
      return Unread(Failure(StatusKind::kCancelled));
    }
    const std::optional<std::uint64_t> entry = zip_.IndexOf(chapter.path);
    if (entry && !read.insert(*entry).second) continue;
    if (encrypted.contains(AsciiLower(chapter.path))) {
      return Unread(Failure(StatusKind::kDrmProtected));
    }
    const std::optional<std::string> bytes = zip_.Read(chapter.path);
    if (!bytes) return ZipFailure(zip_);
    HtmlDocument read = ReadHtml(*bytes, {.xhtml = chapter.xhtml, .notes_apart = true});
    if (!read.complete) {
      return Unread(Failure(StatusKind::kTooComplex, chapter.path));
    }
    if (read.first_heading) KeepHeading(read.document.paragraphs[*read.first_heading]);
    for (FoundNote& note : read.notes) {
      note.reference_paragraph += book_.paragraphs.size();
      notes_.push_back(std::move(note));
    }
    book_.paragraphs.insert(book_.paragraphs.end(),
                            std::make_move_iterator(read.document.paragraphs.begin()),
                            std::make_move_iterator(read.document.paragraphs.end()));
  }
  return std::nullopt;
}

}  // namespace

LoadResult ReadEpub(std::string_view bytes, const LoadOptions& options) {
  return EpubReader(bytes, options).Read();
}

std::string ResolveHref(std::string_view from, std::string_view href) {
  href = href.substr(0, href.find_first_of("#?"));
  std::string joined;
  if (!href.starts_with('/')) {
    const std::size_t slash = from.rfind('/');
    if (slash != std::string_view::npos) joined = from.substr(0, slash + 1);
  }
  joined += PercentDecoded(href);
  std::vector<std::string_view> parts;
  std::string_view rest = joined;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
  }
  std::string path;
  for (const std::string_view part : parts) {
    if (!path.empty()) path += '/';
    path += part;
  }
  return path;
}

}  // namespace quillet
