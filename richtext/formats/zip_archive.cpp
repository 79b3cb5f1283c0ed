#include "richtext/formats/zip_archive.h"

#include <zip.h>

#include <memory>

namespace quillet {
namespace {

constexpr std::uint64_t kRatioCheckedFrom = std::uint64_t{1} << 20;

struct FileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};

}  // namespace

ZipArchive::ZipArchive(std::string_view bytes, const ZipLimits& limits) : limits_(limits) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (source != nullptr) {
    archive_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (archive_ == nullptr) zip_source_free(source);
  }
  if (archive_ == nullptr) {
    problem_ = ZipProblem::kNotZip;
    detail_ = zip_error_strerror(&error);
  }
  zip_error_fini(&error);
}

void ZipArchive::Discard::operator()(zip* archive) const {
  zip_discard(archive);
}

std::optional<std::uint64_t> ZipArchive::IndexOf(std::string_view name) const {
  if (archive_ == nullptr) return std::nullopt;
  const std::string key(name);
  zip_int64_t index = zip_name_locate(archive_.get(), key.c_str(), 0);
  if (index < 0) index = zip_name_locate(archive_.get(), key.c_str(), ZIP_FL_NOCASE);
  if (index < 0) return std::nullopt;
  return static_cast<std::uint64_t>(index);
}

bool ZipArchive::Has(std::string_view name) const {
  return IndexOf(name).has_value();
}

std::optional<std::string> ZipArchive::Read(std::string_view name) {
  entry_ = name;
  const std::optional<std::uint64_t> index = IndexOf(name);
  zip_stat_t stat;
  if (!index || zip_stat_index(archive_.get(), *index, 0, &stat) != 0) {
    problem_ = ZipProblem::kMissing;
    return std::nullopt;
  }
  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
    problem_ = ZipProblem::kEncrypted;
    return std::nullopt;
  }
  const std::uint64_t size = stat.size;
  const std::uint64_t packed = stat.comp_size == 0 ? 1 : stat.comp_size;
  if (size > limits_.max_unpacked_bytes - unpacked_ ||
      (size > kRatioCheckedFrom && size / packed > limits_.max_ratio)) {
    problem_ = ZipProblem::kTooLarge;
    detail_ = std::to_string(size) + " bytes, " + std::to_string(stat.comp_size);
    return std::nullopt;
  }
  const std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(archive_.get(), *index, 0));
  std::string bytes(size, '\0');
  std::uint64_t done = 0;
  while (file && done < size) {
    const zip_int64_t read = zip_fread(file.get(), bytes.data() + done, size - done);
    if (read <= 0) break;
    done += static_cast<std::uint64_t>(read);
  }
  if (!file || done != size) {
    problem_ = ZipProblem::kDamaged;
    detail_ = file ? zip_file_strerror(file.get()) : zip_strerror(archive_.get());
    return std::nullopt;
  }
  unpacked_ += size;
  return bytes;
}

Status ZipArchive::status(std::string_view format) const {
  switch (problem_) {
    case ZipProblem::kNone:
      return {};
    case ZipProblem::kNotZip:
      return {StatusKind::kZipUnreadable, std::string(format), 0, 0, detail_};
    case ZipProblem::kMissing:
      return Failure(StatusKind::kZipEntryMissing, entry_);
    case ZipProblem::kDamaged:
      return {StatusKind::kZipEntryDamaged, entry_, 0, 0, detail_};
    case ZipProblem::kEncrypted:
      return Failure(StatusKind::kZipEntryEncrypted, entry_);
    case ZipProblem::kTooLarge:
      break;
  }
  return {StatusKind::kZipBomb, entry_, 0, 0, detail_};
}

}  // namespace quillet
