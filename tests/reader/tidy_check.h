// Real tidy on a page: what it says beyond the legacy markup that the default
// pages carry too.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quillet::reader::testing {

// What real tidy says of a page beyond the legacy markup that the default
// pages carry too (font elements, alignment attributes).
inline std::vector<std::string> TidyProblems(const std::string& page) {
  namespace fs = std::filesystem;
  const fs::path file =
      fs::temp_directory_path() / ("quillet-reader-tidy-" + std::to_string(::getpid()) + ".html");
  std::ofstream(file, std::ios::binary) << page;
  std::vector<std::string> problems;
  FILE* tidy = ::popen(("tidy -q -e '" + file.string() + "' 2>&1").c_str(), "r");
  if (tidy == nullptr) return {"tidy could not be started"};
  char line[4096];
  while (std::fgets(line, sizeof line, tidy) != nullptr) {
    const std::string text(line);
    if (text.find("<font> element removed from HTML5") != std::string::npos) continue;
    if (text.find("attribute \"align\" not allowed for HTML5") != std::string::npos) continue;
    problems.push_back(text);
  }
  const int status = ::pclose(tidy);
  fs::remove(file);
  // 0: clean; 1: warnings (those above); anything else: tidy failed or is missing.
  if (status != 0 && WEXITSTATUS(status) != 1) problems.push_back("tidy failed to run");
  return problems;
}

}  // namespace quillet::reader::testing
