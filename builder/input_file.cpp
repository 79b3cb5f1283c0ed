#include "builder/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

namespace quillet {
namespace {

// How much more room a read gets when the bytes read so far fill the buffer.
constexpr std::size_t kChunk = std::size_t{1} << 16;

// The file being read, closed however reading ends; "-" is standard input.
struct OpenFile {
  explicit OpenFile(const std::string& name)
      : fd(name == "-" ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~OpenFile() {
    if (fd > STDIN_FILENO) ::close(fd);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd;
};

// QUILLET_MAX_INPUT as a number of bytes; nothing when it is not a size.
std::optional<std::uint64_t> MaxInputBytes() {
  const char* setting = std::getenv("QUILLET_MAX_INPUT");
  if (setting == nullptr) return kDefaultMaxInput;
  const std::string_view text(setting);
  std::uint64_t bytes = 0;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), bytes);
  const std::string_view unit(end, static_cast<std::size_t>(text.data() + text.size() - end));
  const int shift = unit.empty() ? 0 : unit == "K" ? 10 : unit == "M" ? 20 : unit == "G" ? 30 : -1;
  if (problem != std::errc() || shift < 0 || bytes > (UINT64_MAX >> shift)) return std::nullopt;
  return bytes << shift;
}

Status TooLarge(std::uint64_t limit) {
  return Failure(StatusKind::kInputTooLarge, static_cast<std::int64_t>(limit), 0);
}

Status SystemFailure(int error) {
  return {StatusKind::kCannotRead, {}, 0, 0, std::strerror(error)};
}

// Reads to the end of the file straight into `bytes`, which holds room for a
// regular file's size already.
Status ReadToEnd(int fd, std::uint64_t limit, std::string& bytes) {
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(filled + kChunk);
    const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return SystemFailure(errno);
    }
    filled += static_cast<std::size_t>(got);
    if (filled > limit) return TooLarge(limit);
  }
  bytes.resize(filled);
  return {};
}

}  // namespace

InputFile ReadInputFile(const std::string& name) {
  InputFile file;
  const auto fail = [&file, &name](Status status) {
    file.value.clear();
    file.status = std::move(status);
    file.status.file = name;
    return std::move(file);
  };
  const std::optional<std::uint64_t> limit = MaxInputBytes();
  if (!limit) {
    file.status = Failure(StatusKind::kBadInputLimit, std::getenv("QUILLET_MAX_INPUT"));
    return file;
  }
  const OpenFile input(name);
  if (input.fd < 0) return fail(SystemFailure(errno));
  struct stat status {};
  if (::fstat(input.fd, &status) != 0) return fail(SystemFailure(errno));
  if (S_ISDIR(status.st_mode)) return fail(SystemFailure(EISDIR));
  if (name != "-" && !S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
    return fail(Failure(StatusKind::kNotAFile));
  }
  if (S_ISREG(status.st_mode)) {
    if (static_cast<std::uint64_t>(status.st_size) > *limit) return fail(TooLarge(*limit));
    // One more byte than the size, so that the read that finds the end needs no growing.
    file.value.resize(static_cast<std::size_t>(status.st_size) + 1);
  }
  if (Status read = ReadToEnd(input.fd, *limit, file.value); !read.ok()) return fail(read);
  return file;
}

}  // namespace quillet
