// A ZIP archive in memory, read through libzip within limits against ZIP
// bombs: the bytes unpacked in all, and each large entry's compression ratio.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "richtext/status.h"

struct zip;

namespace quillet {

struct ZipLimits {
  std::uint64_t max_unpacked_bytes = std::uint64_t{512} << 20;
  // Checked on entries that unpack to more than a mebibyte: text packs tenfold at
  // most, a bomb a thousandfold.
  std::uint64_t max_ratio = 100;
};

enum class ZipProblem : std::uint8_t {
  kNone,
  kNotZip,     // no ZIP archive, or one too damaged to open
  kMissing,    // an entry asked for is not there
  kDamaged,    // an entry cannot be unpacked
  kEncrypted,  // an entry is encrypted
  kTooLarge,   // an entry would go past the limits
};

class ZipArchive {
 public:
  // `bytes` must outlive the archive.
  ZipArchive(std::string_view bytes, const ZipLimits& limits);

  bool ok() const { return archive_ != nullptr; }
  bool Has(std::string_view name) const;
  // The entry's index: its exact name first, then the name in any case.
  std::optional<std::uint64_t> IndexOf(std::string_view name) const;
  // The entry's bytes; nothing, with problem() set, when it cannot be read.
  std::optional<std::string> Read(std::string_view name);

  // The last problem met, and the same as a status; `format` names what the
  // archive holds ("EPUB").
  ZipProblem problem() const { return problem_; }
  Status status(std::string_view format) const;

 private:
  struct Discard {
    void operator()(zip* archive) const;
  };

  std::unique_ptr<zip, Discard> archive_;
  ZipLimits limits_;
  std::uint64_t unpacked_ = 0;
  ZipProblem problem_ = ZipProblem::kNone;
  std::string entry_;
  std::string detail_;
};

}  // namespace quillet
