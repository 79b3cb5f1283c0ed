// Running the quillet executable as a user runs it: a shell command in a
// folder of its own, with its exit status, standard output and error.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ordinary_user.h"
#include "tests/test_folder.h"

namespace quillet::testing {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A small book, and one of two hundred chapters that is well over 20,000 bytes.
inline std::string SmallBook() {
  return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n\\pard Uno dos tres cuatro\\par\r\n}\r\n";
}

inline std::string ChapterBook() {
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\r\n";
  for (int chapter = 1; chapter <= 199; ++chapter) {
    rtf += "\\pard\\b Cap\\'edtulo " + std::to_string(chapter) +
           "\\b0\\par\r\n\\pard Texto de este cap\\'edtulo, con palabras y m\\'e1s palabras "
           "que lo alargan hasta que el libro entero pasa con mucho de los 20.000 bytes.\\par\r\n";
  }
  return rtf + "}\r\n";
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TestFolder("cli");
    fs::remove_all(dir);
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "folder");
    WriteAll(dir / "book.rtf", SmallBook());
    WriteAll(dir / "big.rtf", ChapterBook());
    WriteAll(dir / "lf.rtf", "{\\rtf1\\ansi\n\\pard One\\par\n\\pard Two\\par\n}\n");
    WriteAll(dir / "cr.rtf", "{\\rtf1\\ansi\r\\pard One\\par\r\\pard Two\\par\r}\r");
  }
  // A failed test's folder is kept to be looked at.
  void TearDown() override {
    if (!HasFailure()) RemoveTestFolder(dir);
  }

  // Runs `script` with sh in the test's folder; $Q is quillet, $FAULTS the
  // preload library that causes read and write failures.
  Outcome Run(const std::string& script) const {
    const pid_t child = fork();
    if (child == 0) {
      if (chdir(dir.c_str()) != 0) _exit(127);
      setenv("Q", QUILLET_BINARY, 1);
      setenv("FAULTS", QUILLET_FAULTS_LIBRARY, 1);
      // $AS_USER runs a command as nobody, so that file modes bind root too.
      setenv("AS_USER", geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups" : "",
             1);
      setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
      setenv("TMPDIR", (dir / "tmp").c_str(), 1);
      fs::create_directories(dir / "tmp");
      const int out = open((dir / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open((dir / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      execl("/bin/sh", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Outcome outcome;
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = ReadAll(dir / "stdout");
    outcome.err = ReadAll(dir / "stderr");
    return outcome;
  }

  std::vector<std::string> Files(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir;
};

// One command and what must come of it: its exit status, and texts that must
// stand in its standard output and error.
struct CommandCase {
  const char* name;
  const char* script;
  int status;
  std::vector<std::string> outHas;
  std::vector<std::string> errHas;
};

inline void PrintTo(const CommandCase& row, std::ostream* out) {
  *out << row.name;
}

inline std::string CaseName(const ::testing::TestParamInfo<CommandCase>& info) {
  return info.param.name;
}

inline void ExpectOutcome(const Outcome& outcome, const CommandCase& row) {
  EXPECT_EQ(outcome.status, row.status) << outcome.err;
  for (const std::string& text : row.outHas)
    EXPECT_NE(outcome.out.find(text), std::string::npos) << text << " in\n" << outcome.out;
  for (const std::string& text : row.errHas)
    EXPECT_NE(outcome.err.find(text), std::string::npos) << text << " in\n" << outcome.err;
}

}  // namespace quillet::testing
