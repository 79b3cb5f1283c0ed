// Reading book files: the one rule for a file's kind, and what the box gets
// from each kind.
#include "builder/book_input.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "builder/input_file.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

struct KindCase {
  const char* name;  // the row's name
  const char* file;
  std::string content;
  InputKind expected;
};

void PrintTo(const KindCase& row, std::ostream* out) {
  *out << row.name;
}

class InputKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(InputKindTest, FollowsTheExtensionThenTheContent) {
  EXPECT_EQ(InputKindOf(GetParam().file, GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputKindTest,
    ::testing::Values(
        KindCase{"RtfByName", "book.rtf", "plain", InputKind::kRtf},
        KindCase{"RtfByUpperCaseName", "BOOK.RTF", "", InputKind::kRtf},
        KindCase{"TextNameWinsOverContent", "book.txt", "{\\rtf1 x}", InputKind::kPlainText},
        KindCase{"HtmByName", "page.htm", "", InputKind::kHtml},
        KindCase{"HtmlByUpperCaseName", "page.HTML", "", InputKind::kHtml},
        KindCase{"RtfOnStandardInput", "-", "{\\rtf1 x}", InputKind::kRtf},
        KindCase{"RtfBehindWhiteSpace", "-", " \r\n{\\rtf1 x}", InputKind::kRtf},
        KindCase{"RtfBehindAByteOrderMark", "-", "\xEF\xBB\xBF{\\rtf1 x}", InputKind::kRtf},
        KindCase{"HtmlOnStandardInputIsText", "-", "<html>", InputKind::kPlainText},
        KindCase{"RtfUnderAnotherName", "notes", "{\\rtf1", InputKind::kRtf},
        KindCase{"TextUnderAnotherName", "notes", "rtf1 {\\rtf1", InputKind::kPlainText}),
    [](const auto& info) { return std::string(info.param.name); });

class BookFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("quillet-input-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override {
    unsetenv("QUILLET_MAX_INPUT");
    fs::remove_all(dir);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  fs::path dir;
};

TEST_F(BookFileTest, RtfFileGoesThroughTheRtfReader) {
  const LoadedBook book = LoadBookFile(Write("b.rtf", "{\\rtf1 Hola {\\b mundo}}"), nullptr);
  ASSERT_TRUE(book.Ok());
  EXPECT_EQ(book.document.PlainText(), u"Hola mundo");
  EXPECT_TRUE(book.document.paragraphs.at(0).runs.at(1).format.bold);
}

TEST_F(BookFileTest, RtfFileThatIsNotRtfIsPlainText) {
  const LoadedBook book = LoadBookFile(Write("b.rtf", "just text"), nullptr);
  ASSERT_TRUE(book.Ok());
  EXPECT_EQ(book.document.PlainText(), u"just text");
}

TEST_F(BookFileTest, TextFileInWindows1252IsDecoded) {
  const LoadedBook book = LoadBookFile(Write("b.txt", "ca\xf1\xf3n\r\nl\xednea"), nullptr);
  ASSERT_TRUE(book.Ok());
  EXPECT_EQ(book.document.PlainText(), u"cañón\nlínea");
}

TEST_F(BookFileTest, HtmlGoesThroughTheImportItIsGiven) {
  std::string imported;
  const HtmlImport import = [&imported](std::string_view bytes) {
    imported = bytes;
    return Document{};
  };
  ASSERT_TRUE(LoadBookFile(Write("p.html", "<p>x</p>"), import).Ok());
  EXPECT_EQ(imported, "<p>x</p>");
}

TEST_F(BookFileTest, HtmlWithoutAnImportIsRefused) {
  const LoadedBook book = LoadBookFile(Write("p.html", "<p>x</p>"), nullptr);
  ASSERT_FALSE(book.Ok());
  EXPECT_NE(book.error->message.find("cannot read HTML"), std::string::npos);
}

TEST_F(BookFileTest, MissingFileIsNamedWithTheReason) {
  const std::string missing = (dir / "missing.rtf").string();
  const LoadedBook book = LoadBookFile(missing, nullptr);
  ASSERT_FALSE(book.Ok());
  EXPECT_EQ(book.error->message,
            "No se puede leer / Cannot read " + missing + ": No such file or directory");
}

TEST_F(BookFileTest, LargeFileIsReadWhole) {
  std::string bytes;
  for (int i = 0; bytes.size() < 300'000; ++i) bytes += std::to_string(i) + ' ';
  const InputFile file = ReadInputFile(Write("big.txt", bytes));
  ASSERT_TRUE(file.Ok());
  EXPECT_TRUE(file.bytes == bytes);
}

TEST_F(BookFileTest, EmptyFileIsReadAsNothing) {
  const InputFile file = ReadInputFile(Write("empty.txt", ""));
  ASSERT_TRUE(file.Ok());
  EXPECT_EQ(file.bytes, "");
}

TEST_F(BookFileTest, FileOverTheLimitIsRefused) {
  setenv("QUILLET_MAX_INPUT", "1K", 1);
  const InputFile file = ReadInputFile(Write("big.txt", std::string(1025, 'x')));
  ASSERT_FALSE(file.Ok());
  EXPECT_NE(file.error->message.find("1024 bytes"), std::string::npos) << file.error->message;
  EXPECT_TRUE(ReadInputFile(Write("fits.txt", std::string(1024, 'x'))).Ok());
}

TEST_F(BookFileTest, UnreadableLimitIsReported) {
  setenv("QUILLET_MAX_INPUT", "12Q", 1);
  const InputFile file = ReadInputFile(Write("b.txt", "x"));
  ASSERT_FALSE(file.Ok());
  EXPECT_EQ(file.error->message,
            "QUILLET_MAX_INPUT no es un tamaño válido / is not a valid size: \"12Q\"");
}

}  // namespace
}  // namespace quillet
