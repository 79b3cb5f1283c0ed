// The files of a book on disk: temporary files, modes, failed and killed
// runs, and two runs into one folder.
#include <sys/stat.h>

#include "tests/cli/cli_fixture.h"

namespace {

using quillet::testing::Cli;
using quillet::testing::Outcome;
using quillet::testing::ReadAll;
using quillet::testing::WriteAll;

class BookFiles : public Cli {
 protected:
  // Every file of a folder with its bytes, to compare a whole book.
  std::map<std::string, std::string> Snapshot(const std::string& folder) const {
    std::map<std::string, std::string> files;
    for (const std::string& name : Files(dir / folder)) files[name] = ReadAll(dir / folder / name);
    return files;
  }
  void WriteOldBook() {
    ASSERT_EQ(Run("$Q book book.rtf --parts 5 --out out").status, 0);
    ASSERT_EQ(Files(dir / "out").size(), 6u);
  }
};

TEST_F(BookFiles, PlantedTemporaryNamesDoNotBlockAPage) {
  for (int i = 0; i < 100; ++i)
    WriteAll(dir / "out" / (".Rerud01.html.tmp" + std::to_string(i)), "");
  const Outcome outcome = Run("$Q book book.rtf --parts 1 --out out");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(ReadAll(dir / "out" / "Rerud01.html").find("Uno dos tres cuatro"), std::string::npos);
}

TEST_F(BookFiles, KilledRunLeavesNoTemporaryFile) {
  WriteOldBook();
  const auto before = Snapshot("out");
  const Outcome outcome = Run(
      "QUILLET_FAULT_PATH=$PWD/out QUILLET_FAULT_HANG_AFTER=3000 QUILLET_FAULT_HANG_MARK=$PWD/hung "
      "LD_PRELOAD=$FAULTS $Q book big.rtf --parts 5 --out out & pid=$!\n"
      "for i in $(seq 1 400); do [ -e hung ] && break; sleep 0.05; done\n"
      "[ -e hung ] || echo never hung\n"
      "kill -TERM $pid; wait $pid");
  EXPECT_EQ(outcome.status, 128 + SIGTERM) << outcome.out << outcome.err;
  EXPECT_EQ(Snapshot("out"), before);
}

// Pages waiting for the swap hold no open file each: a book of 999 parts is
// written by a process that may hold only 64 files open.
TEST_F(BookFiles, NineHundredNinetyNinePartsNeedFewOpenFiles) {
  std::string rtf = "{\\rtf1\\ansi\r\n";
  for (int i = 1; i <= 3000; ++i) rtf += "\\pard P\\'e1rrafo " + std::to_string(i) + ".\\par\r\n";
  WriteAll(dir / "many.rtf", rtf + "}\r\n");
  const Outcome outcome =
      Run("ulimit -n 64 && $Q book many.rtf --parts 999 --clean-cuts --out out");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(Files(dir / "out").size(), 1000u);
}

TEST_F(BookFiles, ReplacedPageKeepsItsModeAndOwner) {
  WriteOldBook();
  const auto page = dir / "out" / "Rerud01.html";
  ASSERT_EQ(chmod(page.c_str(), 0600), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(page.c_str(), 1234, 1234), 0);
  }
  ASSERT_EQ(Run("$Q book big.rtf --parts 5 --out out").status, 0);
  struct stat status {};
  ASSERT_EQ(stat(page.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(status.st_uid, 1234u);
  }
  EXPECT_NE(ReadAll(page).find("Cap&iacute;tulo 1"), std::string::npos);
}

TEST_F(BookFiles, RunThatFailsHalfWayLeavesTheOldBookWhole) {
  WriteOldBook();
  const auto before = Snapshot("out");
  const Outcome outcome =
      Run("QUILLET_FAULT_PATH=$PWD/out QUILLET_FAULT_WRITE_AFTER=6000 LD_PRELOAD=$FAULTS "
          "$Q book big.rtf --parts 5 --out out");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("No space left on device"), std::string::npos) << outcome.err;
  EXPECT_EQ(Snapshot("out"), before);
}

// The same on a real file system that fills up, where one can be mounted.
TEST_F(BookFiles, FullDiskLeavesTheOldBookWhole) {
  if (Run("unshare -rm true").status != 0) GTEST_SKIP() << "no mount namespace here";
  const Outcome outcome =
      Run("unshare -rm sh -ec '\n"
          "mount -t tmpfs -o size=256k tmpfs out\n"
          "$Q book book.rtf --parts 5 --out out >/dev/null\n"
          "mkdir old && cp out/* old/\n"
          "free=$(stat -f -c \"%a * %S\" out)\n"
          "head -c $(($free - 12000)) /dev/zero > out/filler\n"
          "if $Q book big.rtf --parts 5 --out out; then echo written; else echo failed; fi\n"
          "rm out/filler\n"
          "diff -rq old out && echo same'");
  EXPECT_NE(outcome.out.find("failed"), std::string::npos) << outcome.out << outcome.err;
  EXPECT_NE(outcome.out.find("same"), std::string::npos) << outcome.out << outcome.err;
}

TEST_F(BookFiles, TwoRunsIntoOneFolderTakeTurns) {
  std::string one = "{\\rtf1 ";
  std::string two = "{\\rtf1 ";
  for (int i = 0; i < 200; ++i) {
    one += "uno ";
    two += "dos ";
  }
  WriteAll(dir / "one.rtf", one + "}");
  WriteAll(dir / "two.rtf", two + "}");
  // The slow first run would be overtaken half way by the quick second one.
  const Outcome outcome = Run(
      "export QUILLET_FAULT_PATH=$PWD/out LD_PRELOAD=$FAULTS\n"
      "QUILLET_FAULT_WRITE_DELAY=40 $Q book one.rtf --parts 10 --out out >/dev/null & first=$!\n"
      "sleep 0.2\n"
      "QUILLET_FAULT_WRITE_DELAY=1 $Q book two.rtf --parts 10 --out out >/dev/null & second=$!\n"
      "wait $first && wait $second");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  const auto book = Snapshot("out");
  ASSERT_EQ(book.size(), 11u);
  int ones = 0;
  int twos = 0;
  for (const auto& [name, bytes] : book) {
    if (bytes.find("uno") != std::string::npos) ++ones;
    if (bytes.find("dos") != std::string::npos) ++twos;
  }
  EXPECT_TRUE((ones == 10 && twos == 0) || (ones == 0 && twos == 10)) << ones << " and " << twos;
}

// A second run that starts while the first is putting its pages in place
// waits for it, and its whole book replaces the first one's.
TEST_F(BookFiles, RunStartedDuringAnotherRunsSwapWaitsForIt) {
  std::string one = "{\\rtf1 ";
  std::string two = "{\\rtf1 ";
  for (int i = 0; i < 200; ++i) {
    one += "uno ";
    two += "dos ";
  }
  WriteAll(dir / "one.rtf", one + "}");
  WriteAll(dir / "two.rtf", two + "}");
  const Outcome outcome =
      Run("QUILLET_FAULT_PATH=$PWD/out QUILLET_FAULT_RENAME_DELAY=150 "
          "QUILLET_FAULT_RENAME_MARK=$PWD/swapping LD_PRELOAD=$FAULTS "
          "$Q book one.rtf --parts 10 --out out >/dev/null & first=$!\n"
          "for i in $(seq 1 400); do [ -e swapping ] && break; sleep 0.05; done\n"
          "[ -e swapping ] || echo never swapped\n"
          "$Q book two.rtf --parts 10 --out out >/dev/null & second=$!\n"
          "wait $first && wait $second");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, "");
  const auto book = Snapshot("out");
  ASSERT_EQ(book.size(), 11u);
  int ones = 0;
  int twos = 0;
  for (const auto& [name, bytes] : book) {
    if (bytes.find("uno") != std::string::npos) ++ones;
    if (bytes.find("dos") != std::string::npos) ++twos;
  }
  EXPECT_EQ(ones, 0);
  EXPECT_EQ(twos, 10);
}

// A run whose swap fails at one page leaves every page the folder held before
// as it was, also where the file system has no hard links (a FAT card), so
// that each old page is moved aside, not linked, while its new one goes in.
struct FailedSwapCase {
  const char* name;
  bool hardLinks;
  const char* failingPage;  // whose rename into place fails once; nullptr: none
};

void PrintTo(const FailedSwapCase& row, std::ostream* out) {
  *out << row.name;
}

class FailedSwap : public BookFiles, public ::testing::WithParamInterface<FailedSwapCase> {};

TEST_P(FailedSwap, LeavesTheOldBookOrTheNewOneWhole) {
  const FailedSwapCase& row = GetParam();
  WriteOldBook();
  const auto before = Snapshot("out");
  ASSERT_EQ(Run("mkdir whole && $Q book big.rtf --parts 6 --out whole").status, 0);
  std::string faults = "QUILLET_FAULT_PATH=$PWD/out LD_PRELOAD=$FAULTS ";
  if (!row.hardLinks) faults += "QUILLET_FAULT_NO_LINKS=1 ";
  if (row.failingPage != nullptr)
    faults += "QUILLET_FAULT_RENAME_ONTO=" + std::string(row.failingPage) + " ";
  const Outcome outcome = Run(faults + "$Q book big.rtf --parts 6 --out out");
  if (row.failingPage != nullptr) {
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find(row.failingPage), std::string::npos) << outcome.err;
    EXPECT_EQ(Snapshot("out"), before);
  } else {
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(Snapshot("out"), Snapshot("whole"));
  }
}

// The old book has five parts; the new one six, so its sixth page has none to replace.
INSTANTIATE_TEST_SUITE_P(
    Rows, FailedSwap,
    ::testing::Values(FailedSwapCase{"WithoutLinksAtTheFirstPage", false, "Rerud01.html"},
                      FailedSwapCase{"WithoutLinksAtAMiddlePage", false, "Rerud03.html"},
                      FailedSwapCase{"WithoutLinksAtAPageWithNoOldOne", false, "Rerud06.html"},
                      FailedSwapCase{"WithoutLinksAtTheIndex", false, "Rerud.html"},
                      FailedSwapCase{"WithoutLinksNowhere", false, nullptr},
                      FailedSwapCase{"WithLinksAtAMiddlePage", true, "Rerud03.html"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
