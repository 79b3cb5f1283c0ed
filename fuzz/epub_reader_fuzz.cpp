// Feeds arbitrary bytes to the EPUB reader twice: as the archive itself, and as
// the parts of one (container, package and two chapters, split at "\n--\n")
// stored in a ZIP built here, so that the XML and XHTML inside are fuzzed too.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/formats/epub_reader.h"

namespace {

constexpr const char* kNames[] = {"mimetype", "META-INF/container.xml", "OEBPS/content.opf",
                                  "OEBPS/a.xhtml", "OEBPS/b.xhtml"};

// The parts stored uncompressed in a ZIP archive written in memory.
std::string StoredZip(const std::vector<std::string_view>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(buffer);
  zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    zip_source_t* source = zip_source_buffer(archive, parts[i].data(), parts[i].size(), 0);
    const zip_int64_t index = zip_file_add(archive, kNames[i], source, 0);
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
  }
  std::string bytes;
  if (zip_close(archive) == 0 && zip_source_open(buffer) == 0) {
    zip_source_seek(buffer, 0, SEEK_END);
    bytes.resize(static_cast<std::size_t>(zip_source_tell(buffer)));
    zip_source_seek(buffer, 0, SEEK_SET);
    zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  zip_error_fini(&error);
  return bytes;
}

void Check(const quillet::LoadResult& result) {
  if (!result.ok() && !result.document.paragraphs.empty()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const quillet::LoadOptions options{.max_unpacked_bytes = 4 << 20};
  Check(quillet::ReadEpub(input, options));
  std::vector<std::string_view> parts = {"application/epub+zip"};
  std::string_view rest = input;
  while (parts.size() < std::size(kNames)) {
    const std::size_t separator = rest.find("\n--\n");
    parts.push_back(rest.substr(0, separator));
    if (separator == std::string_view::npos) break;
    rest.remove_prefix(separator + 4);
  }
  Check(quillet::ReadEpub(StoredZip(parts), options));
  return 0;
}
