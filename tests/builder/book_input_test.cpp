// Reading book files: the one loading function, and what the box gets from
// each kind of file.
#include "builder/book_input.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "builder/input_file.h"
#include "builder/messages.h"
#include "tests/builder/page_text.h"
#include "tests/test_folder.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

class BookFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = testing::TestFolder("input");
    fs::create_directories(dir);
  }
  void TearDown() override {
    unsetenv("QUILLET_MAX_INPUT");
    testing::RemoveTestFolder(dir);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  fs::path dir;
};

struct KindCase {
  const char* name;  // the row's name
  const char* file;
  std::string content;
  std::u16string text;  // what the box holds after reading it
};

void PrintTo(const KindCase& row, std::ostream* out) {
  *out << row.name;
}

class BookKindTest : public ::testing::WithParamInterface<KindCase>, public BookFileTest {};

TEST_P(BookKindTest, FollowsTheContentThenTheName) {
  const LoadedBook book = LoadBookFile(Write(GetParam().file, GetParam().content));
  ASSERT_TRUE(book.ok()) << Message(book.status);
  EXPECT_EQ(book.value.PlainText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BookKindTest,
    ::testing::Values(
        KindCase{"RtfByName", "book.rtf", "{\\rtf1 Hola}", u"Hola"},
        KindCase{"RtfNamedFileThatIsNotRtfIsText", "book.rtf", "just {text}", u"just {text}"},
        KindCase{"RtfContentWinsOverATextName", "book.txt", "{\\rtf1 x}", u"x"},
        KindCase{"RtfBehindAByteOrderMark", "book", "\xEF\xBB\xBF{\\rtf1 x}", u"x"},
        KindCase{"TextUnderAnotherName", "notes", "rtf1 {\\rtf1", u"rtf1 {\\rtf1"},
        KindCase{"TextNameKeepsATagAsText", "notes.txt", "<b>x</b>", u"<b>x</b>"},
        KindCase{"HtmlByName", "page.HTM", "<p>uno</p><p>dos</p>", u"uno\ndos"},
        KindCase{"HtmlByContent", "page", "<!DOCTYPE html><p>uno</p>", u"uno"},
        KindCase{"MarkdownByName", "notes.md", "# Uno\n\ndos *tres*", u"Uno\ndos tres"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BookFileTest, RtfFileKeepsItsFormatting) {
  const LoadedBook book = LoadBookFile(Write("b.rtf", "{\\rtf1 Hola {\\b mundo}}"));
  ASSERT_TRUE(book.ok());
  EXPECT_EQ(book.value.PlainText(), u"Hola mundo");
  EXPECT_TRUE(book.value.paragraphs.at(0).Runs().at(1).format.bold);
}

TEST_F(BookFileTest, TextFileInWindows1252IsDecoded) {
  const LoadedBook book = LoadBookFile(Write("b.txt", "ca\xf1\xf3n\r\nl\xednea"));
  ASSERT_TRUE(book.ok());
  EXPECT_EQ(book.value.PlainText(), u"cañón\nlínea");
}

TEST_F(BookFileTest, HtmlFileKeepsItsFormattingAndCharset) {
  const LoadedBook book = LoadBookFile(
      Write("p.html", "<meta charset=\"iso-8859-1\"><p align=center><b>ni\xf1o</b></p>"));
  ASSERT_TRUE(book.ok());
  EXPECT_EQ(book.value.PlainText(), u"niño");
  EXPECT_EQ(book.value.paragraphs.at(0).alignment, Alignment::kCenter);
  EXPECT_TRUE(book.value.paragraphs.at(0).Runs().at(0).format.bold);
}

TEST_F(BookFileTest, HelperPastItsTimeLimitIsReported) {
  // A word processor that never finishes.
  const std::string helper = Write("soffice", "#!/bin/sh\nexec sleep 60\n");
  fs::permissions(helper, fs::perms::owner_all);
  LoadOptions options;
  options.helper_path = dir.string();
  options.helper_timeout = std::chrono::milliseconds(200);
  const std::string docx =
      testing::FileBytes(fs::path(QUILLET_SOURCE_DIR) / "tests/formats/data/book.docx");
  const LoadedBook book = LoadBookFile(Write("b.docx", docx), options);
  ASSERT_EQ(book.status.kind, StatusKind::kHelperTimedOut) << Message(book.status);
  EXPECT_NE(Message(book.status).find("b.docx"), std::string::npos) << Message(book.status);
  EXPECT_TRUE(book.value.paragraphs.empty());
}

TEST_F(BookFileTest, MissingFileIsNamedWithTheReason) {
  const std::string missing = (dir / "missing.rtf").string();
  const LoadedBook book = LoadBookFile(missing);
  ASSERT_FALSE(book.ok());
  EXPECT_EQ(Message(book.status),
            "No se puede leer / Cannot read " + missing + ": No such file or directory");
}

TEST_F(BookFileTest, LargeFileIsReadWhole) {
  std::string bytes;
  for (int i = 0; bytes.size() < 300'000; ++i) bytes += std::to_string(i) + ' ';
  const InputFile file = ReadInputFile(Write("big.txt", bytes));
  ASSERT_TRUE(file.ok());
  EXPECT_TRUE(file.value == bytes);
}

TEST_F(BookFileTest, EmptyFileIsReadAsNothing) {
  const InputFile file = ReadInputFile(Write("empty.txt", ""));
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file.value, "");
}

TEST_F(BookFileTest, FileOverTheLimitIsRefused) {
  setenv("QUILLET_MAX_INPUT", "1K", 1);
  const InputFile file = ReadInputFile(Write("big.txt", std::string(1025, 'x')));
  ASSERT_FALSE(file.ok());
  EXPECT_NE(Message(file.status).find("1024 bytes"), std::string::npos) << Message(file.status);
  EXPECT_TRUE(ReadInputFile(Write("fits.txt", std::string(1024, 'x'))).ok());
}

TEST_F(BookFileTest, UnreadableLimitIsReported) {
  setenv("QUILLET_MAX_INPUT", "12Q", 1);
  const InputFile file = ReadInputFile(Write("b.txt", "x"));
  ASSERT_FALSE(file.ok());
  EXPECT_EQ(Message(file.status),
            "QUILLET_MAX_INPUT no es un tamaño válido / is not a valid size: \"12Q\"");
}

}  // namespace
}  // namespace quillet
