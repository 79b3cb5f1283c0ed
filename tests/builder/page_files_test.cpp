#include "builder/page_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "builder/messages.h"
#include "converter/page_frame.h"
#include "tests/builder/page_text.h"
#include "tests/ordinary_user.h"
#include "tests/test_folder.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;
using testing::AsOrdinaryUser;
using testing::CanBecomeOrdinaryUser;

class PageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = testing::TestFolder("page");
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    testing::RemoveTestFolder(dir);
  }
  fs::path dir;
};

TEST_F(PageFiles, PageLayoutLineByLine) {
  const std::string path = (dir / "Libro01.html").string();
  PageFile page;
  ASSERT_TRUE(page.OpenPageFile(path).ok());
  ASSERT_TRUE(page.WritePageText(PageHeader("LIBRO"), false).ok());
  ASSERT_TRUE(page.WritePageText("", false).ok());
  ASSERT_TRUE(page.WritePageText(PageFooter(), false).ok());
  ASSERT_TRUE(page.ClosePageFile().ok());
  EXPECT_EQ(testing::FileBytes(path),
            "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n"
            "<HTML>\r\n<HEAD>\r\n<TITLE>:: QUILLET - LIBRO ::</TITLE>\r\n\r\n\r\n"
            "</BODY>\r\n\r\n</html>\r\n");
  EXPECT_EQ(PageHeader("").substr(PageHeader("").find("<TITLE>")),
            "<TITLE>:: QUILLET -  ::</TITLE>\r\n");
}

TEST_F(PageFiles, BreakComesBeforeTheLineEnd) {
  const std::string path = (dir / "p.html").string();
  PageFile page;
  ASSERT_TRUE(page.OpenPageFile(path).ok());
  ASSERT_TRUE(page.WritePageText("text", true).ok());
  ASSERT_TRUE(page.ClosePageFile().ok());
  EXPECT_EQ(testing::FileBytes(path), "text<br>\r\n\r\n");
}

TEST_F(PageFiles, BytesAreWrittenAsTheyAre) {
  const std::string path = (dir / "p.html").string();
  const std::string bytes("caf\xe9\0x", 6);
  ASSERT_TRUE(WriteTextFile(path, bytes).ok());
  EXPECT_EQ(testing::FileBytes(path), bytes + "\r\n");
}

TEST_F(PageFiles, UnfinishedPageLeavesTheOldFileWhole) {
  const std::string path = (dir / "p.html").string();
  ASSERT_TRUE(WriteTextFile(path, "old").ok());
  {
    PageFile page;
    ASSERT_TRUE(page.OpenPageFile(path).ok());
    ASSERT_TRUE(page.WritePageText("new", false).ok());
  }  // never closed
  EXPECT_EQ(testing::FileBytes(path), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  ASSERT_TRUE(WriteTextFile(path, "new").ok());
  EXPECT_EQ(testing::FileBytes(path), "new\r\n");
}

TEST_F(PageFiles, FailuresNameTheFileAndTheReason) {
  const std::string missing = (dir / "no-such-folder" / "p.html").string();
  const std::string error = Message(WriteTextFile(missing, "x"));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;

  PageFile page;
  EXPECT_FALSE(page.WritePageText("x", false).ok());  // nothing open
  EXPECT_FALSE(page.ClosePageFile().ok());
}

TEST_F(PageFiles, ReadOnlyFolderIsReported) {
  if (!CanBecomeOrdinaryUser()) GTEST_SKIP() << "cannot run as an ordinary user here";
  const std::string path = (dir / "p.html").string();
  EXPECT_EXIT(
      {
        AsOrdinaryUser(dir);  // root may write anywhere
        fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
        std::cerr << Message(WriteTextFile(path, "x"));
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "p\\.html.*Permission denied");
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(PageFiles, WriteProtectedPageIsReportedAndKept) {
  const std::string path = (dir / "p.html").string();
  ASSERT_TRUE(WriteTextFile(path, "old").ok());
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  const std::string error = Message(WriteTextFile(path, "new"));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(testing::FileBytes(path), "old\r\n");
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(PageFiles, SetPutsNothingInPlaceBeforeItsCommit) {
  ASSERT_TRUE(WriteTextFile((dir / "a.html").string(), "old a").ok());
  PageSet set;
  ASSERT_TRUE(set.Lock(dir.string()).ok());
  ASSERT_TRUE(WriteTextFile((dir / "a.html").string(), "new a", &set).ok());
  ASSERT_TRUE(WriteTextFile((dir / "b.html").string(), "new b", &set).ok());
  EXPECT_EQ(Names(dir), std::vector<std::string>{"a.html"});
  EXPECT_EQ(testing::FileBytes(dir / "a.html"), "old a\r\n");
  ASSERT_TRUE(set.Commit().ok());
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.html", "b.html"}));
  EXPECT_EQ(testing::FileBytes(dir / "a.html"), "new a\r\n");
}

TEST_F(PageFiles, SetThatFailsHalfWayPutsTheOldPagesBack) {
  ASSERT_TRUE(WriteTextFile((dir / "a.html").string(), "old a").ok());
  ASSERT_TRUE(WriteTextFile((dir / "c.html").string(), "old c").ok());
  PageSet set;
  for (const char* name : {"a.html", "b.html", "c.html", "d.html"}) {
    ASSERT_TRUE(WriteTextFile((dir / name).string(), std::string("new ") + name, &set).ok());
  }
  fs::create_directory(dir / "d.html");  // the last page cannot take its place
  const std::string error = Message(set.Commit());
  EXPECT_NE(error.find("d.html"), std::string::npos) << error;
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"a.html", "c.html", "d.html"}));
  EXPECT_EQ(testing::FileBytes(dir / "a.html"), "old a\r\n");
  EXPECT_EQ(testing::FileBytes(dir / "c.html"), "old c\r\n");
}

std::size_t OpenFileCount() {
  const auto entries = fs::directory_iterator("/proc/self/fd");
  return static_cast<std::size_t>(std::distance(fs::begin(entries), fs::end(entries)));
}

struct WrittenSetCase {
  const char* name;
  int pages;
  bool commit;
};

void PrintTo(const WrittenSetCase& row, std::ostream* out) {
  *out << row.name;
}

class PagesOfASet : public PageFiles, public ::testing::WithParamInterface<WrittenSetCase> {};

// Written pages waiting for the others hold one open file between them, and
// the folder ends up with exactly the committed pages and nothing else.
TEST_P(PagesOfASet, HoldOneOpenFileAndLeaveOnlyTheCommittedPages) {
  const WrittenSetCase& row = GetParam();
  ASSERT_TRUE(WriteTextFile((dir / "p0.html").string(), "old").ok());
  const std::size_t openBefore = OpenFileCount();
  std::vector<std::string> written;
  {
    PageSet set;
    for (int i = 0; i < row.pages; ++i) {
      const std::string name = "p" + std::to_string(i) + ".html";
      ASSERT_TRUE(WriteTextFile((dir / name).string(), "page " + std::to_string(i), &set).ok());
      written.push_back(name);
    }
    EXPECT_LE(OpenFileCount(), openBefore + 1);
    if (row.commit) {
      ASSERT_TRUE(set.Commit().ok());
    }
  }
  EXPECT_EQ(OpenFileCount(), openBefore);
  std::vector<std::string> expected = row.commit ? written : std::vector<std::string>{};
  if (std::find(expected.begin(), expected.end(), "p0.html") == expected.end()) {
    expected.push_back("p0.html");  // there before the set
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(dir), expected);
  for (std::size_t i = 0; row.commit && i < written.size(); ++i) {
    EXPECT_EQ(testing::FileBytes(dir / written[i]), "page " + std::to_string(i) + "\r\n");
  }
  if (!row.commit) {
    EXPECT_EQ(testing::FileBytes(dir / "p0.html"), "old\r\n");
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, PagesOfASet,
                         ::testing::Values(WrittenSetCase{"FivePagesCommitted", 5, true},
                                           WrittenSetCase{"NoPageCommitted", 0, true},
                                           WrittenSetCase{"WrittenButNotCommitted", 4, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The new page takes the old one's mode and owner, whether or not the file it
// was made in has them already; a change of owner drops set-user-ID and, with
// group execute, set-group-ID, as it always does.
struct KeptAttributesCase {
  const char* name;
  fs::perms mode;
  uid_t owner;     // the test's own user where 0 and not root
  fs::perms kept;  // the new page's mode
};

void PrintTo(const KeptAttributesCase& row, std::ostream* out) {
  *out << row.name;
}

class ReplacedPage : public PageFiles, public ::testing::WithParamInterface<KeptAttributesCase> {};

TEST_P(ReplacedPage, KeepsTheOldPagesModeAndOwner) {
  const KeptAttributesCase& row = GetParam();
  const uid_t owner = row.owner != 0 ? row.owner : ::geteuid();
  if (owner != ::geteuid() && ::geteuid() != 0) GTEST_SKIP() << "only root gives files away";
  const fs::path path = dir / "p.html";
  ASSERT_TRUE(WriteTextFile(path.string(), "old").ok());
  ASSERT_EQ(::chown(path.c_str(), owner, ::getegid()), 0);
  fs::permissions(path, row.mode);
  ASSERT_TRUE(WriteTextFile(path.string(), "new").ok());
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(fs::status(path).permissions(), row.kept);
  EXPECT_EQ(status.st_uid, owner);
  EXPECT_EQ(testing::FileBytes(path), "new\r\n");
}

constexpr fs::perms kReadWrite = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms kAllRead = kReadWrite | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kGroupWrite = kAllRead | fs::perms::group_write;
constexpr fs::perms kRunnable =
    kAllRead | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplacedPage,
    ::testing::Values(KeptAttributesCase{"OwnerOnly", kReadWrite, 0, kReadWrite},
                      KeptAttributesCase{"ReadableByAll", kAllRead, 0, kAllRead},
                      KeptAttributesCase{"GroupWritable", kGroupWrite, 0, kGroupWrite},
                      KeptAttributesCase{"AnotherOwner", kAllRead, 12345, kAllRead},
                      KeptAttributesCase{"SetUserId", kRunnable | fs::perms::set_uid, 0, kRunnable},
                      KeptAttributesCase{"SetGroupIdWithGroupExecute",
                                         kRunnable | fs::perms::set_gid, 0, kRunnable},
                      KeptAttributesCase{"SetGroupIdWithoutGroupExecute",
                                         kAllRead | fs::perms::set_gid, 0,
                                         kAllRead | fs::perms::set_gid}),
    [](const auto& info) { return std::string(info.param.name); });

// A file that may grow only so far takes part of a line and then refuses the
// rest: the page fails with the system's reason and the old page stays.
struct SizeLimitCase {
  const char* name;
  rlim_t limit;  // bytes the new page may hold
  bool written;
};

void PrintTo(const SizeLimitCase& row, std::ostream* out) {
  *out << row.name;
}

// Writes one page with a break, in a process whose files may hold `limit`
// bytes, and exits 0 or 1 after printing what went wrong.
[[noreturn]] void WritePageUnderLimit(const std::string& path, const std::string& text,
                                      rlim_t limit) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit before{};
  if (::getrlimit(RLIMIT_FSIZE, &before) != 0) std::_Exit(2);
  const rlimit bytes{limit, before.rlim_max};
  if (::setrlimit(RLIMIT_FSIZE, &bytes) != 0) std::_Exit(2);
  PageFile page;
  Status status = page.OpenPageFile(path);
  if (status.ok()) status = page.WritePageText(text, true);
  if (status.ok()) status = page.ClosePageFile();
  const std::string error = Message(status);
  // The message goes to a file as well, which must not meet the limit.
  if (::setrlimit(RLIMIT_FSIZE, &before) != 0) std::_Exit(2);
  std::cerr << error;
  std::_Exit(error.empty() ? 0 : 1);
}

class PageUnderSizeLimit : public PageFiles, public ::testing::WithParamInterface<SizeLimitCase> {};

TEST_P(PageUnderSizeLimit, IsWrittenWholeOrReportedWithTheOldPageKept) {
  const std::string path = (dir / "p.html").string();
  ASSERT_TRUE(WriteTextFile(path, "old").ok());
  const std::string text(100, 'x');  // with the break and the line ends, 108 bytes
  EXPECT_EXIT(WritePageUnderLimit(path, text, GetParam().limit),
              ::testing::ExitedWithCode(GetParam().written ? 0 : 1),
              GetParam().written ? "^$" : "p.html.*File too large");
  EXPECT_EQ(testing::FileBytes(path), GetParam().written ? text + "<br>\r\n\r\n" : "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, PageUnderSizeLimit,
                         ::testing::Values(SizeLimitCase{"InsideTheText", 50, false},
                                           SizeLimitCase{"InsideTheBreak", 102, false},
                                           SizeLimitCase{"OneByteShort", 107, false},
                                           SizeLimitCase{"Exactly", 108, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PageFiles, ProbePathFindsFoldersAndFiles) {
  EXPECT_NE(ProbePath(dir.string() + "/", kDirectoryAttribute), "");
  EXPECT_EQ(ProbePath((dir / "missing").string() + "/", kDirectoryAttribute), "");
  EXPECT_EQ(ProbePath((dir / "missing").string(), kDirectoryAttribute), "");
  ASSERT_TRUE(WriteTextFile((dir / "f.html").string(), "x").ok());
  EXPECT_EQ(ProbePath((dir / "f.html").string(), 0), "f.html");
  EXPECT_EQ(ProbePath((dir / "f.html").string() + "/", kDirectoryAttribute), "");
}

}  // namespace
}  // namespace quillet
