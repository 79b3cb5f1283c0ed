#include "builder/book_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace quillet {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] + 32) : tail[i];
    if (c != ending[i]) return false;
  }
  return true;
}

// The file being read, closed however reading ends; "-" is standard input.
struct InputFile {
  explicit InputFile(const std::string& name)
      : fd(name == "-" ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~InputFile() {
    if (fd > STDIN_FILENO) ::close(fd);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  int fd;
};

}  // namespace

InputKind InputKindOf(std::string_view name, std::string_view content) {
  if (name != "-") {
    if (EndsWithNoCase(name, ".rtf")) return InputKind::kRtf;
    if (EndsWithNoCase(name, ".txt")) return InputKind::kPlainText;
    if (EndsWithNoCase(name, ".htm") || EndsWithNoCase(name, ".html")) return InputKind::kHtml;
  }
  return content.starts_with("{\\rtf") ? InputKind::kRtf : InputKind::kPlainText;
}

std::optional<std::uint64_t> MaxInputBytes(std::string& error) {
  const char* setting = std::getenv("QUILLET_MAX_INPUT");
  if (setting == nullptr) return kDefaultMaxInput;
  const std::string_view text(setting);
  std::uint64_t bytes = 0;
  const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), bytes);
  const std::string_view unit(end, static_cast<std::size_t>(text.data() + text.size() - end));
  const int shift = unit.empty() ? 0 : unit == "K" ? 10 : unit == "M" ? 20 : unit == "G" ? 30 : -1;
  if (problem != std::errc() || shift < 0 || bytes > (UINT64_MAX >> shift)) {
    error = "QUILLET_MAX_INPUT no es un tamaño válido / is not a valid size: \"" +
            std::string(text) + "\"";
    return std::nullopt;
  }
  return bytes << shift;
}

std::optional<std::string> ReadBookFile(const std::string& name, std::string& error) {
  const std::optional<std::uint64_t> limit = MaxInputBytes(error);
  if (!limit) return std::nullopt;
  const auto fail = [&](std::string_view reason) {
    error = "No se puede leer / Cannot read " + name + ": " + std::string(reason);
    return std::nullopt;
  };
  InputFile file(name);
  if (file.fd < 0) return fail(std::strerror(errno));
  struct stat status {};
  if (::fstat(file.fd, &status) != 0) return fail(std::strerror(errno));
  if (S_ISDIR(status.st_mode)) return fail(std::strerror(EISDIR));
  if (name != "-" && !S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
    return fail("no es un archivo normal ni una tubería / not a regular file or a pipe");
  }
  const std::string tooLarge = "pasa del límite de " + std::to_string(*limit) +
                               " bytes (QUILLET_MAX_INPUT) / is larger than the limit of " +
                               std::to_string(*limit) + " bytes (QUILLET_MAX_INPUT)";
  if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) > *limit) {
    return fail(tooLarge);
  }
  std::string bytes;
  if (S_ISREG(status.st_mode)) bytes.reserve(static_cast<std::size_t>(status.st_size));
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = ::read(file.fd, chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(std::strerror(errno));
    }
    if (bytes.size() + static_cast<std::uint64_t>(got) > *limit) return fail(tooLarge);
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return bytes;
}

void LoadIntoBox(DocumentBox& box, InputKind kind, std::string_view bytes) {
  if (kind == InputKind::kRtf) {
    box.SetTextRTF(bytes);
  } else {
    box.SetPlainText(bytes);
  }
}

}  // namespace quillet
