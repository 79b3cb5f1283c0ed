// The words made from a status: every kind says something in both languages,
// and the facts a status carries (the book, the entry, the library's words,
// the numbers) reach the reader.
#include "builder/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillet {
namespace {

struct MessageCase {
  const char* name;
  Status status;
  std::vector<std::string> says;  // each of these, in this order
};

void PrintTo(const MessageCase& row, std::ostream* out) {
  *out << row.name;
}

Status Read(StatusKind kind, std::string detail = {}, std::string cause = {},
            std::int64_t first = 0) {
  Status status{kind, std::move(detail), first, 0, std::move(cause)};
  status.file = "libro.epub";
  return status;
}

class MessageWords : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageWords, CarryTheStatusFacts) {
  const std::string message = Message(GetParam().status);
  std::size_t from = 0;
  for (const std::string& part : GetParam().says) {
    const std::size_t at = message.find(part, from);
    ASSERT_NE(at, std::string::npos) << "\"" << part << "\" in: " << message;
    from = at + part.size();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MessageWords,
    ::testing::Values(
        MessageCase{"UnreadableFileNamesTheFileAndTheSystemReason",
                    {StatusKind::kCannotRead, {}, 0, 0, "Permission denied", "a.rtf"},
                    {"Cannot read a.rtf", "Permission denied"}},
        MessageCase{"OversizedFileGivesTheLimit",
                    {StatusKind::kInputTooLarge, {}, 1024, 0, {}, "a.rtf"},
                    {"a.rtf", "1024 bytes (QUILLET_MAX_INPUT)"}},
        MessageCase{"BookFaultsNameTheBookFirst",
                    Read(StatusKind::kNoChapters),
                    {"libro.epub: ", "no tiene cap", "no chapters"}},
        MessageCase{"ChapterTooComplexNamesTheChapter",
                    Read(StatusKind::kTooComplex, "OEBPS/c1.xhtml"),
                    {"libro.epub: ", "\"OEBPS/c1.xhtml\"", "too complex"}},
        MessageCase{"ZipBombNamesTheEntryAndItsPackedSize",
                    Read(StatusKind::kZipBomb, "OEBPS/c1.xhtml", "1 KB"),
                    {"\"OEBPS/c1.xhtml\"", "ZIP bomb? (1 KB packed)"}},
        MessageCase{"DamagedArchiveGivesLibzipsWords",
                    Read(StatusKind::kZipUnreadable, "EPUB", "Not a zip archive"),
                    {"Cannot read the EPUB", "damaged (Not a zip archive)"}},
        MessageCase{"XmlOfTheBookItselfIsTheFile",
                    Read(StatusKind::kXmlMalformed, "", "line 1: oops"),
                    {"El archivo no es XML", "The file is not valid XML: line 1: oops"}},
        MessageCase{"XmlEntitiesNameTheEntryAndTheEntity",
                    Read(StatusKind::kXmlEntities, "OEBPS/content.opf", "secret"),
                    {"\"OEBPS/content.opf\" declares XML entities (\"secret\")"}},
        MessageCase{"MissingHelperNamesThePackagesToInstall",
                    Read(StatusKind::kHelperMissing, "DOCX", "", 1),
                    {"Reading DOCX needs LibreOffice (libreoffice-writer-nogui) or pandoc"}},
        MessageCase{"SlowHelperGivesItsLimit",
                    Read(StatusKind::kHelperTimedOut, "LibreOffice", "", 120),
                    {"LibreOffice took more than 120 s"}},
        MessageCase{"FailedHelperGivesItsCodeAndOutput",
                    Read(StatusKind::kHelperFailed, "pandoc", "bad input", 64),
                    {"pandoc could not convert the document (64): bad input"}},
        MessageCase{"StalePagesNameTheFirstAndCountTheRest",
                    {StatusKind::kStalePages, "Libro07.html, Libro08.html", 3, 0},
                    {"Libro07.html, Libro08.html (+3)", "Libro07.html, Libro08.html (+3)"}},
        MessageCase{"OutOfMemoryKeepsTheBox",
                    {StatusKind::kOutOfMemory, {}, 0, 0},
                    {"No hay memoria suficiente", "the box is left as it was"}},
        MessageCase{"ControlCharactersFromTheBookBecomeSpaces",
                    Read(StatusKind::kTooComplex,
                         "a\x1b[2J\xc2\x9b"
                         "31mb.xhtml"),
                    {"\"a [2J 31mb.xhtml\""}},
        MessageCase{"UnexpectedFailureGivesItsText",
                    {StatusKind::kUnexpected, "vector::reserve", 0, 0},
                    {"(vector::reserve)", "Something failed (vector::reserve)"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A kind added without words would show an empty message box. The missing
// folder keeps the one sentence the window has always shown.
TEST(MessageWords, EveryKindSaysSomethingInBothLanguages) {
  for (int kind = static_cast<int>(StatusKind::kOk) + 1;
       kind <= static_cast<int>(StatusKind::kStalePages); ++kind) {
    if (kind == static_cast<int>(StatusKind::kMissingFolder)) continue;
    Status status = Failure(static_cast<StatusKind>(kind));
    status.file = "a";
    const std::string message = Message(status);
    EXPECT_TRUE(message.find(" / ") != std::string::npos || message.find('\n') != std::string::npos)
        << "kind " << kind << ": \"" << message << "\"";
  }
}

}  // namespace
}  // namespace quillet
