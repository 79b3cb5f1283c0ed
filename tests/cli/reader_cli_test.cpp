// `quillet book` in reader mode: the options that turn on the whole mode or
// its pieces, their refusals, the warning about an earlier book's pages, and
// --open opening the index alone.
#include "tests/cli/cli_fixture.h"

namespace {

using quillet::testing::Cli;
using quillet::testing::Outcome;
using quillet::testing::ReadAll;
namespace fs = std::filesystem;

using ReaderCase = quillet::testing::CommandCase;
using quillet::testing::CaseName;

class ReaderCommand : public Cli, public testing::WithParamInterface<ReaderCase> {};

TEST_P(ReaderCommand, ExitsAndReportsAsExpected) {
  const ReaderCase& row = GetParam();
  quillet::testing::ExpectOutcome(Run(row.script), row);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReaderCommand,
    testing::Values(
        ReaderCase{"ReaderNeedsNoPartCount",
                   "$Q book big.rtf --reader --out out",
                   0,
                   {"out/Rerud01.html"},
                   {}},
        ReaderCase{"BudgetAloneNeedsNoPartCount",
                   "$Q book big.rtf --max-kb 8 --out out",
                   0,
                   {"out/Rerud02.html", "out/Rerud.html"},
                   {}},
        // As the parser always said it, with its exit status.
        ReaderCase{"DefaultModeStillNeedsPartCount",
                   "$Q book big.rtf --out out",
                   106,
                   {},
                   {"--parts is required\nRun with --help"}},
        ReaderCase{"PartCountIsMissedBeforeTheFolder",
                   "$Q book big.rtf",
                   106,
                   {},
                   {"--parts is required"}},
        ReaderCase{"ReaderModeStillNeedsTheFolder",
                   "$Q book big.rtf --reader",
                   106,
                   {},
                   {"--out is required"}},
        ReaderCase{"NavigationAloneStillNeedsPartCount",
                   "$Q book big.rtf --nav --out out",
                   106,
                   {},
                   {"--parts is required"}},
        ReaderCase{
            "BudgetNotANumber", "$Q book big.rtf --max-kb 12x --out out", 1, {}, {"--max-kb"}},
        ReaderCase{"BudgetOfZero", "$Q book big.rtf --max-kb 0 --out out", 1, {}, {"--max-kb"}},
        ReaderCase{"BudgetNeedingTooManyParts",
                   "$Q book big.rtf --max-kb 1 --out out",
                   1,
                   {},
                   {"999", "smallest size that fits is "}},
        ReaderCase{"ThreeDigitsBeyondNinetyNineParts",
                   "$Q book big.rtf --nav --parts 120 --out out",
                   0,
                   {"out/Rerud001.html", "out/Rerud120.html"},
                   {}},
        ReaderCase{"MoreThanNinetyNinePartsOnlyInReaderMode",
                   "$Q book big.rtf --parts 120 --out out",
                   1,
                   {},
                   {"1 to 99"}},
        ReaderCase{"NoMoreThanNineHundredNinetyNineParts",
                   "$Q book big.rtf --nav --parts 1000 --out out",
                   1,
                   {},
                   {"1 to 999"}},
        ReaderCase{"NavigationAtTopAndBottom",
                   "$Q book big.rtf --nav --parts 3 --out out && grep -c Siguiente "
                   "out/Rerud02.html && grep -c Siguiente out/Rerud03.html",
                   1,
                   {"2\n0\n"},
                   {}},
        ReaderCase{"TitledIndexNamesParts",
                   "$Q book big.rtf --titled-index --parts 3 --out out && cat out/Rerud.html "
                   "out/Rerud02.html",
                   0,
                   {">01 Cap&iacute;tulo 1</a> (", "RERUD 02/03 - Cap&iacute;tulo "},
                   {}},
        ReaderCase{"CleanCutsEndPartsAtParagraphs",
                   "$Q book big.rtf --clean-cuts --parts 7 --out out && tail -c 120 "
                   "out/Rerud03.html",
                   0,
                   {"20.000 bytes.<br>"},
                   {}}),
    CaseName);

// Every page file in the folder, by name.
std::map<std::string, std::string> Pages(const fs::path& folder) {
  std::map<std::string, std::string> pages;
  for (const auto& entry : fs::directory_iterator(folder)) {
    pages[entry.path().filename().string()] = ReadAll(entry.path());
  }
  return pages;
}

class ReaderBook : public Cli {};

TEST_F(ReaderBook, EveryPageKeepsToTheBudget) {
  const Outcome outcome = Run("$Q book big.rtf --max-kb 3 --out out");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  const auto pages = Pages(dir / "out");
  EXPECT_GT(pages.size(), 5u);
  for (const auto& [name, page] : pages) EXPECT_LE(page.size(), 3u * 1024) << name;
}

TEST_F(ReaderBook, RefusedBudgetWritesNothing) {
  const Outcome outcome = Run("$Q book big.rtf --max-kb 1 --out out");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(fs::is_empty(dir / "out"));
}

TEST_F(ReaderBook, FailedRunLeavesTheEarlierBookWhole) {
  ASSERT_EQ(Run("$Q book big.rtf --reader --max-kb 8 --out out").status, 0);
  const auto before = Pages(dir / "out");
  // A folder where the fourth page should go stops the run halfway.
  fs::remove(dir / "out" / "Rerud04.html");
  fs::create_directory(dir / "out" / "Rerud04.html");
  EXPECT_EQ(Run("$Q book book.rtf --reader --parts 5 --out out").status, 1);
  for (const auto& [name, page] : before) {
    if (name != "Rerud04.html") {
      EXPECT_EQ(ReadAll(dir / "out" / name), page) << name;
    }
  }
}

TEST_F(ReaderBook, EarlierBooksPagesAreNamedKeptAndNotLinked) {
  quillet::testing::WriteAll(dir / "out" / "Rerud77.html", "earlier book");
  const Outcome outcome = Run("$Q book big.rtf --reader --parts 2 --out out");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_NE(outcome.err.find("Rerud77.html"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("earlier book"), std::string::npos) << outcome.err;
  EXPECT_EQ(ReadAll(dir / "out" / "Rerud77.html"), "earlier book");
  for (const auto& [name, page] : Pages(dir / "out")) {
    EXPECT_EQ(page.find("Rerud77"), std::string::npos) << name;
  }
}

TEST_F(ReaderBook, NoWarningWithoutAnEarlierBook) {
  const Outcome outcome = Run("$Q book big.rtf --reader --parts 2 --out out");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.err, "");
}

// The desktop's opener is replaced by one that notes what it is asked to open.
TEST_F(ReaderBook, OpenShowsOnlyTheIndex) {
  const Outcome outcome = Run(
      "mkdir bin && printf '#!/bin/sh\\necho \"$1\" >> \"$PWD/opened\"\\n' > bin/xdg-open && "
      "chmod +x bin/xdg-open && PATH=$PWD/bin:$PATH $Q book big.rtf --max-kb 4 --out out --open "
      "&& for i in $(seq 100); do [ -s opened ] && break; sleep 0.05; done; sleep 0.5; cat opened");
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.substr(outcome.out.find("out/Rerud.html\n") + 15), "out/Rerud.html\n");
}

}  // namespace
