// Runs a helper program (LibreOffice, pandoc) without a shell: an argument
// vector, its own process group, a time limit and a cancel callback, after
// which the whole group is killed. What it converts goes into a private
// temporary folder, read back from there only, and removed with it.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// A folder only this user can enter, removed with everything in it when it goes.
class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  bool ok() const { return !path_.empty(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The program's full path along `search_path` (as PATH; the environment's PATH
// when empty), or nothing when it is not there.
std::optional<std::string> FindProgram(std::string_view program, std::string_view search_path);

struct HelperRun {
  std::string program;  // a full path
  std::vector<std::string> arguments;
  std::chrono::milliseconds timeout{0};
  std::function<bool()> cancelled = {};
  // TMPDIR (and TMP, TEMP) for the helper, so that its own temporary files
  // go where they are removed; empty: the environment's.
  std::string temp_folder = {};
};

enum class HelperEnd : std::uint8_t { kExited, kNotStarted, kTimedOut, kCancelled };

struct HelperOutcome {
  HelperEnd end = HelperEnd::kExited;
  int exit_code = 0;   // for kExited; a signal that ended it is 128 + its number
  std::string output;  // the start of what it wrote to standard output and error
};

HelperOutcome RunHelper(const HelperRun& run);

// The first lines of a helper's output, for a message (which makes the
// control characters in them spaces).
std::string FirstLines(std::string_view output);

}  // namespace quillet
