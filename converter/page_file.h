// Page files: the fixed head and foot around a converted body, and a text file
// that replaces an existing page only once it has been written completely.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quillet {

inline constexpr std::string_view kCrLf = "\r\n";

// Head of a converted page; `filePrefix` (upper case) goes into the title.
std::string PageHeader(std::string_view filePrefix);
// Foot of a converted page, without a line end after the last tag.
std::string PageFooter();

// Attribute bit that includes folders in a ProbePath lookup.
inline constexpr int kDirectoryAttribute = 16;

// Name of the first directory entry matching `path`: a path that ends in a
// separator lists that folder. "" when nothing matches, "error" when the lookup
// itself fails (no permission, a malformed path).
std::string ProbePath(std::string_view path, int attributes);

// One page file. Text goes to a temporary file beside the target, which takes
// the target's name on ClosePageFile: an existing page is never left
// half-written. Every operation returns "" on success, otherwise a message that
// names the file and gives the system's reason.
class PageFile {
 public:
  PageFile() = default;
  PageFile(const PageFile&) = delete;
  PageFile& operator=(const PageFile&) = delete;
  ~PageFile();  // discards a page that was not closed

  [[nodiscard]] std::string OpenPageFile(std::string_view path);
  // Writes `text` and CR LF; with `addBreak`, "<br>" and CR LF come before that.
  [[nodiscard]] std::string WritePageText(std::string_view text, bool addBreak);
  [[nodiscard]] std::string ClosePageFile();

 private:
  std::string Fail(std::string_view what, int error);
  void Discard();

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string tempPath_;
};

// Writes `text` followed by CR LF as a whole file, the way every page is written.
[[nodiscard]] std::string WriteTextFile(std::string_view path, std::string_view text);

}  // namespace quillet
