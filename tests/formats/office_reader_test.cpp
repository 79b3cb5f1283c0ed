// Word-processor documents through real LibreOffice and pandoc processes; stubs
// only stand in for a helper that hangs, which no real one does on demand.
#include "richtext/formats/office_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "builder/messages.h"
#include "richtext/formats/helper_process.h"
#include "richtext/text_encoding.h"
#include "tests/formats/book_files.h"

namespace quillet {
namespace {

using testing::Fixture;
using testing::MakeZip;
using testing::ReadBytes;
using testing::ScratchFolder;

// Every load runs with TMPDIR pointing at a folder of the test's own, which must
// be empty again afterwards: a helper's private folder is always removed.
class OfficeReader : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TMPDIR");
    old_tmpdir_ = old != nullptr ? old : "";
    std::filesystem::create_directory(scratch_.path() / "tmp");
    setenv("TMPDIR", (scratch_.path() / "tmp").c_str(), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(std::filesystem::is_empty(scratch_.path() / "tmp"));
    if (old_tmpdir_.empty()) {
      unsetenv("TMPDIR");
    } else {
      setenv("TMPDIR", old_tmpdir_.c_str(), 1);
    }
  }

  // A folder for helper_path holding only the named programs.
  std::string HelperFolder(std::initializer_list<std::pair<const char*, std::string>> programs) {
    const std::filesystem::path folder = scratch_.path() / "bin";
    std::filesystem::create_directories(folder);
    for (const auto& [name, script] : programs) {
      const std::filesystem::path path = folder / name;
      if (script.starts_with("/")) {
        std::filesystem::create_symlink(script, path);
      } else {
        std::ofstream(path) << script;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
      }
    }
    return folder.string();
  }

  // A helper that writes its process id and its child's to `pids`, then waits forever.
  std::string HangingHelper() {
    const std::string pids = (scratch_.path() / "pids").string();
    return HelperFolder({{"soffice", "#!/bin/sh\necho $$ > '" + pids +
                                         "'\nsleep 600 &\necho $! >> '" + pids + "'\nwait\n"}});
  }

  // True once every process the hanging helper started is gone.
  bool HangingHelperGone() const {
    std::ifstream file(scratch_.path() / "pids");
    std::vector<pid_t> pids;
    for (pid_t pid; file >> pid;) pids.push_back(pid);
    if (pids.size() != 2) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      const bool all_gone = std::all_of(pids.begin(), pids.end(), [](pid_t pid) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string id, name, state;
        return !(stat >> id >> name >> state) || state == "Z";
      });
      if (all_gone) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  ScratchFolder scratch_;
  std::string old_tmpdir_;
};

TEST_F(OfficeReader, MissingHelperNamesItsDebianPackage) {
  const LoadOptions options{.helper_path = HelperFolder({})};
  const LoadResult docx = LoadBook("book.docx", Fixture("book.docx"), options);
  EXPECT_EQ(docx.status.kind, StatusKind::kHelperMissing);
  EXPECT_NE(Message(docx.status).find("libreoffice-writer-nogui"), std::string::npos)
      << Message(docx.status);
  EXPECT_NE(Message(docx.status).find("pandoc"), std::string::npos) << Message(docx.status);
  const LoadResult doc = LoadBook("book.doc", Fixture("book.doc"), options);
  EXPECT_EQ(doc.status.kind, StatusKind::kHelperMissing);
  EXPECT_NE(Message(doc.status).find("libreoffice-writer-nogui"), std::string::npos)
      << Message(doc.status);
  EXPECT_EQ(Message(doc.status).find("pandoc"), std::string::npos) << Message(doc.status);
}

TEST_F(OfficeReader, PandocReadsDocxAndOdtWhenLibreOfficeIsMissing) {
  const std::optional<std::string> pandoc = FindProgram("pandoc", "");
  ASSERT_TRUE(pandoc) << "pandoc is not installed";
  const LoadOptions options{.helper_path = HelperFolder({{"pandoc", *pandoc}})};
  for (const char* name : {"book.docx", "book.odt"}) {
    const LoadResult result = LoadBook(name, Fixture(name), options);
    ASSERT_TRUE(result.ok()) << Message(result.status);
    const std::string text = ToUtf8(result.document.PlainText());
    EXPECT_NE(text.find("Chapter Three: The Search"), std::string::npos) << name;
    EXPECT_NE(text.find("ευχαριστώ"), std::string::npos) << name;
  }
}

TEST_F(OfficeReader, HelperThatHangsIsKilledWithItsChildrenAfterTheLimit) {
  const LoadOptions options{.helper_timeout = std::chrono::milliseconds(300),
                            .helper_path = HangingHelper()};
  const LoadResult result = LoadBook("book.docx", Fixture("book.docx"), options);
  EXPECT_EQ(result.status.kind, StatusKind::kHelperTimedOut);
  EXPECT_NE(Message(result.status).find("took more than 1 s and was stopped"), std::string::npos)
      << Message(result.status);
  EXPECT_TRUE(HangingHelperGone());
}

TEST_F(OfficeReader, CancellingStopsTheHelper) {
  const auto start = std::chrono::steady_clock::now();
  const LoadOptions options{
      .cancelled =
          [&] { return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300); },
      .helper_path = HangingHelper()};
  const LoadResult result = LoadBook("book.odt", Fixture("book.odt"), options);
  EXPECT_EQ(result.status.kind, StatusKind::kCancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_TRUE(HangingHelperGone());
}

TEST_F(OfficeReader, FailingHelperReportsTheFirstLinesOfItsOutput) {
  const std::string broken =
      MakeZip({{"[Content_Types].xml", "<Types/>"}, {"word/document.xml", "not a document"}});
  const LoadResult result = LoadBook("broken.docx", broken, {});
  EXPECT_EQ(result.status.kind, StatusKind::kHelperFailed);
  EXPECT_NE(Message(result.status).find("LibreOffice could not convert the document"),
            std::string::npos)
      << Message(result.status);
  EXPECT_NE(Message(result.status).find("source file could not be loaded"), std::string::npos)
      << Message(result.status);
  EXPECT_EQ(Message(result.status).find("javaldx"), std::string::npos) << Message(result.status);
}

// Word's own XML, saved with the .doc name, is no OLE file, yet LibreOffice reads it.
TEST_F(OfficeReader, WordXmlNamedDocIsRead) {
  const std::string wordXml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<?mso-application progid=\"Word.Document\"?>\n<w:wordDocument "
      "xmlns:w=\"http://schemas.microsoft.com/office/word/2003/wordml\"><w:body><w:p><w:r>"
      "<w:t>Hello</w:t></w:r></w:p></w:body></w:wordDocument>\n";
  const LoadResult result = LoadBook("word.doc", wordXml, {});
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_NE(ToUtf8(result.document.PlainText()).find("Hello"), std::string::npos);
}

TEST_F(OfficeReader, ShellMetacharactersInTheNameAreJustAName) {
  const std::filesystem::path canary = scratch_.path() / "canary";
  const std::string name = "\"; touch " + canary.string() + " #.docx";
  const LoadResult result = LoadBook(name, Fixture("book.docx"), {});
  ASSERT_TRUE(result.ok()) << Message(result.status);
  EXPECT_FALSE(std::filesystem::exists(canary));
  EXPECT_NE(ToUtf8(result.document.PlainText()).find("Punta Brava"), std::string::npos);
}

TEST(HelperProcess, FindsOnlyExecutableFiles) {
  const ScratchFolder folder;
  std::ofstream(folder.path() / "quillet-plain") << "text";
  std::filesystem::create_directory(folder.path() / "quillet-dir");
  const std::string path = folder.path().string() + "::/usr/bin";
  EXPECT_EQ(FindProgram("quillet-plain", path), std::nullopt);
  EXPECT_EQ(FindProgram("quillet-dir", path), std::nullopt);
  EXPECT_EQ(FindProgram("env", path), "/usr/bin/env");
}

TEST(HelperProcess, FirstLinesSkipNoiseAndKeepFour) {
  EXPECT_EQ(FirstLines("Warning: failed to launch javaldx - java may not function correctly\n"
                       "\nError: one\r\ntwo\nthree\nfour\nfive\n"),
            "Error: one | two | three | four");
}

TEST(HelperProcess, RunsWithoutAShellAndKeepsItsOutput) {
  const HelperOutcome outcome = RunHelper({.program = "/usr/bin/printf",
                                           .arguments = {"%s|%s", "$HOME", "; echo no"},
                                           .timeout = std::chrono::seconds(10)});
  EXPECT_EQ(outcome.end, HelperEnd::kExited);
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.output, "$HOME|; echo no");
}

}  // namespace
}  // namespace quillet

namespace quillet {
namespace {

// A stand-in for LibreOffice whose behaviour a test writes: `body` runs with
// $out set to the folder the converted book is to be written to.
std::string StubOffice(std::string_view body) {
  return "#!/bin/sh\nwhile [ $# -gt 0 ]; do [ \"$1\" = --outdir ] && out=$2; shift; done\n" +
         std::string(body) + "\n";
}

struct StubCase {
  const char* name;
  const char* body;
  std::uint64_t maxOutput;
  StatusKind kind;
  const char* absent;  // what the message must not carry
};

void PrintTo(const StubCase& row, std::ostream* out) {
  *out << row.name;
}

class OfficeStub : public OfficeReader, public ::testing::WithParamInterface<StubCase> {};

// The fixture's TMPDIR is checked empty after each row: a helper's own
// temporary files go into the private folder, which is removed.
TEST_P(OfficeStub, EndsAsExpectedAndLeavesNothing) {
  const StubCase& row = GetParam();
  LoadOptions options{.helper_path = HelperFolder({{"soffice", StubOffice(row.body)}})};
  options.max_helper_output_bytes = row.maxOutput;
  const LoadResult result = LoadBook("book.docx", Fixture("book.docx"), options);
  EXPECT_EQ(static_cast<int>(result.status.kind), static_cast<int>(row.kind))
      << Message(result.status);
  EXPECT_EQ(Message(result.status).find(row.absent), std::string::npos) << Message(result.status);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OfficeStub,
    ::testing::Values(StubCase{"TemporaryFilesStayInThePrivateFolder",
                               "echo secret > \"$TMPDIR/lu1234.tmp\"; exit 1", 1 << 20,
                               StatusKind::kHelperFailed, "\x1b"},
                      StubCase{"EscapeSequencesDoNotReachTheTerminal",
                               "printf '\\033[2J\\033]0;owned\\007 \\302\\233bad\\n'; exit 1",
                               1 << 20, StatusKind::kHelperFailed, "\x1b"},
                      StubCase{"OutputPastTheLimitIsNotRead",
                               "head -c 5000 /dev/zero | tr '\\0' x > \"$out/book.rtf\"", 1000,
                               StatusKind::kHelperOutputTooLarge, "xxxx"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet
