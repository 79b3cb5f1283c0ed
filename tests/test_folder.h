// A folder of the running test's own under the system's temporary folder,
// quillet-KIND-PID/Suite.Test, so that tests run side by side never meet, and
// its removal, which takes the process's folder along once that is empty: a
// run of the suite leaves nothing behind.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace quillet::testing {

inline std::filesystem::path TestFolder(const std::string& kind) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : name) c = c == '/' ? '.' : c;  // one folder for a row, not two
  return std::filesystem::temp_directory_path() /
         ("quillet-" + kind + "-" + std::to_string(::getpid())) / name;
}

inline void RemoveTestFolder(const std::filesystem::path& folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::remove(folder.parent_path(), ignored);  // only once empty
}

}  // namespace quillet::testing
