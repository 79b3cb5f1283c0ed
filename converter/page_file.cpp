#include "page_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace quillet {
namespace fs = std::filesystem;

std::string PageHeader(std::string_view filePrefix) {
  std::string head = "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n";
  head += "<HTML>\r\n<HEAD>\r\n<TITLE>:: QUILLET - ";
  head += filePrefix;
  head += " ::</TITLE>\r\n";
  return head;
}

std::string PageFooter() {
  return "</BODY>\r\n\r\n</html>";
}

namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

// A page that exists but may not be written is not replaced behind its back,
// although the rename through its folder would allow it.
bool IsWriteProtected(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::is_regular_file(status)) return false;
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((status.permissions() & kWrite) == fs::perms::none) return true;
#if __has_include(<unistd.h>)
  return ::access(path.c_str(), W_OK) != 0;
#else
  return false;
#endif
}

fs::path PathOf(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::string ProbePath(std::string_view path, int attributes) {
  const bool listFolder = !path.empty() && IsSeparator(path.back());
  std::error_code error;
  const fs::file_status status = fs::status(PathOf(path), error);
  if (error && error != std::errc::no_such_file_or_directory &&
      error != std::errc::not_a_directory) {
    return "error";
  }
  if (!fs::exists(status)) return "";
  const bool folder = fs::is_directory(status);
  if (listFolder) return folder ? "." : "";  // a folder always lists itself first
  if (folder && (attributes & kDirectoryAttribute) == 0) return "";
  return fs::path(PathOf(path)).filename().string();
}

PageFile::~PageFile() {
  Discard();
}

std::string PageFile::Fail(std::string_view what, int error) {
  std::string message = "No se pudo ";
  message += what;
  message += " / Could not ";
  message += what == "crear" ? "create" : what == "escribir" ? "write" : "close";
  message += " \"" + path_ + "\": " + std::strerror(error);
  Discard();
  return message;
}

void PageFile::Discard() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!tempPath_.empty()) {
    std::error_code ignored;
    fs::remove(PathOf(tempPath_), ignored);
    tempPath_.clear();
  }
}

std::string PageFile::OpenPageFile(std::string_view path) {
  Discard();
  path_ = std::string(path);
  const fs::path target = PathOf(path);
  if (target.filename().empty()) return Fail("crear", EISDIR);
  if (IsWriteProtected(target)) return Fail("escribir", EACCES);
  // The temporary file sits beside the target so that the rename cannot cross
  // file systems; "x" keeps two writers from sharing one temporary file.
  for (int attempt = 0; attempt < 100 && file_ == nullptr; ++attempt) {
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".tmp" + std::to_string(attempt);
    fs::path temp = target;
    temp.replace_filename(hidden);
    errno = 0;
    file_ = std::fopen(temp.c_str(), "wbx");
    if (file_ != nullptr) {
      tempPath_ = temp.string();
    } else if (errno != EEXIST) {
      return Fail("crear", errno);
    }
  }
  if (file_ == nullptr) return Fail("crear", EEXIST);
  return {};
}

std::string PageFile::WritePageText(std::string_view text, bool addBreak) {
  if (file_ == nullptr) return Fail("escribir", EBADF);
  std::string line(text);
  if (addBreak) line += "<br>\r\n";
  line += kCrLf;
  errno = 0;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size()) {
    return Fail("escribir", errno != 0 ? errno : EIO);
  }
  return {};
}

std::string PageFile::ClosePageFile() {
  if (file_ == nullptr) return Fail("cerrar", EBADF);
  errno = 0;
  const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) return Fail("escribir", flushError != 0 ? flushError : EIO);
  std::error_code error;
  fs::rename(PathOf(tempPath_), PathOf(path_), error);
  if (error) return Fail("escribir", error.value());
  tempPath_.clear();
  return {};
}

std::string WriteTextFile(std::string_view path, std::string_view text) {
  PageFile file;
  std::string error = file.OpenPageFile(path);
  if (error.empty()) error = file.WritePageText(text, false);
  if (error.empty()) error = file.ClosePageFile();
  return error;
}

}  // namespace quillet
