// The quillet executable run as a user runs it: each case is a shell command
// in a folder of its own, checked on exit status, standard output and error.
#include "tests/cli/cli_fixture.h"

namespace {

using quillet::testing::Cli;
using quillet::testing::Outcome;

using Case = quillet::testing::CommandCase;
using quillet::testing::CaseName;

class Command : public Cli, public testing::WithParamInterface<Case> {};

TEST_P(Command, ExitsAndReportsAsExpected) {
  const Case& row = GetParam();
#ifdef QUILLET_SANITIZED
  if (std::string_view(row.script).find("ulimit") != std::string_view::npos) {
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
  }
#endif
  if (std::string_view(row.script).find("$AS_USER") != std::string_view::npos &&
      !quillet::testing::CanBecomeOrdinaryUser()) {
    GTEST_SKIP() << "cannot run as an ordinary user here";
  }
  quillet::testing::ExpectOutcome(Run(row.script), row);
}

// Inputs that are not readable regular files or pipes, and reads that fail.
INSTANTIATE_TEST_SUITE_P(
    ReadErrors, Command,
    testing::Values(
        Case{"TextOfAFolder", "$Q text folder", 1, {}, {"folder", "Is a directory"}},
        Case{"RtfOfAFolder", "$Q rtf folder", 1, {}, {"folder", "Is a directory"}},
        Case{"ConvertOfAFolder", "$Q convert folder", 1, {}, {"folder", "Is a directory"}},
        Case{"BookOfAFolder", "$Q book folder --parts 2 --out out", 1, {}, {"folder"}},
        Case{"PreviewOfAFolder", "$Q preview folder", 1, {}, {"folder"}},
        Case{"BookOfProcessMemory",
             "$Q book /proc/self/mem --parts 2 --out out",
             1,
             {},
             {"/proc/self/mem", "Input/output error"}},
        Case{"TextOfProcessMemory", "$Q text /proc/self/mem", 1, {}, {"/proc/self/mem"}},
        Case{"ConvertOfADevice", "$Q convert /dev/zero", 1, {}, {"/dev/zero"}},
        Case{"MissingFile", "$Q convert missing.rtf", 1, {}, {"missing.rtf", "No such file"}},
        Case{"BookOfAMissingFile",
             "$Q book missing.rtf --parts 2 --out out",
             1,
             {},
             {"No se puede leer / Cannot read missing.rtf: No such file or directory"}},
        Case{"BookOfAnUnreadableFile",
             "chmod 000 book.rtf && $AS_USER $Q book book.rtf --parts 2 --out out",
             1,
             {},
             {"No se puede leer / Cannot read book.rtf: Permission denied"}},
        Case{"TextOfAnUnreadableFile",
             "chmod 000 book.rtf && $AS_USER $Q text book.rtf",
             1,
             {},
             {"No se puede leer / Cannot read book.rtf: Permission denied"}},
        Case{"BookOfAnEmptyFile",
             ": > empty.rtf && $Q book empty.rtf --parts 2 --out out",
             0,
             {"out/Rerud01.html", "out/Rerud02.html", "out/Rerud.html"},
             {}},
        Case{"BookOfStandardInput",
             "$Q book - --parts 1 --out out < big.rtf && cat out/Rerud01.html",
             0,
             {"out/Rerud01.html", "tulo 199"},
             {}},
        Case{"ReadFailingHalfWay",
             "QUILLET_FAULT_PATH=$PWD/big.rtf QUILLET_FAULT_READ_AFTER=20000 LD_PRELOAD=$FAULTS "
             "$Q book big.rtf --parts 3 --out out",
             1,
             {},
             {"big.rtf", "Input/output error"}},
        Case{"ConvertReadFailingHalfWay",
             "QUILLET_FAULT_PATH=$PWD/big.rtf QUILLET_FAULT_READ_AFTER=20000 LD_PRELOAD=$FAULTS "
             "$Q convert big.rtf",
             1,
             {},
             {"big.rtf", "Input/output error"}},
        Case{"PipeIsRead", "cat book.rtf | $Q convert -", 0, {"Uno dos tres cuatro"}, {}},
        Case{"NamedPipeIsRead",
             "mkfifo pipe && (cat book.rtf > pipe &) && $Q text pipe",
             0,
             {"Uno dos tres cuatro"},
             {}}),
    CaseName);

// Output folders that may not be written; as nobody, so that they bind root too.
INSTANTIATE_TEST_SUITE_P(
    WriteErrors, Command,
    testing::Values(Case{"BookIntoAReadOnlyFolder",
                         "chmod 555 out && $AS_USER $Q book book.rtf --parts 2 --out out",
                         1,
                         {},
                         {"Could not create \"out/Rerud01.html\": Permission denied"}},
                    Case{"PreviewIntoAReadOnlyFolder",
                         "chmod 555 out && TMPDIR=$PWD/out $AS_USER $Q preview book.rtf",
                         1,
                         {},
                         {"Permission denied"}}),
    CaseName);

// Inputs larger than the limit, and memory that runs out.
INSTANTIATE_TEST_SUITE_P(
    Limits, Command,
    testing::Values(
        Case{"FileOverTheLimit",
             "QUILLET_MAX_INPUT=50 $Q convert book.rtf",
             1,
             {},
             {"book.rtf", "50"}},
        Case{"BookOverTheLimit",
             "QUILLET_MAX_INPUT=50 $Q book book.rtf --parts 1 --out out",
             1,
             {},
             {"book.rtf", "50"}},
        Case{"PipeOverTheLimit",
             "head -c 5000 /dev/zero | QUILLET_MAX_INPUT=1000 $Q convert -",
             1,
             {},
             {"1000"}},
        Case{"UnreadableLimit",
             "QUILLET_MAX_INPUT=lots $Q convert book.rtf",
             1,
             {},
             {"QUILLET_MAX_INPUT"}},
        Case{"DeviceUnderAMemoryLimit",
             "ulimit -v 1500000; $Q convert /dev/zero",
             1,
             {},
             {"/dev/zero"}},
        // A book of some MB is read whole: every paragraph comes out, also
        // under a memory limit.
        Case{"BigBookIsReadWhole",
             "yes 'palabra \\b negrita\\b0  y m\\u225?s\\par' | head -n 120000 > body && "
             "{ printf '%s' '{\\rtf1 '; cat body; printf '}'; } > huge.rtf && "
             "$Q text huge.rtf | sort | uniq -c",
             0,
             {"120000 palabra negrita y más"},
             {}},
        Case{"BigBookUnderAMemoryLimit",
             "yes 'palabra \\b negrita\\b0  y m\\u225?s\\par' | head -n 120000 > body && "
             "{ printf '%s' '{\\rtf1 '; cat body; printf '}'; } > huge.rtf && "
             "ulimit -v 100000; $Q text huge.rtf | sort | uniq -c",
             0,
             {"120000 palabra negrita y más"},
             {}},
        Case{"BigBookInOnePage",
             "yes 'palabra \\b negrita\\b0  y m\\u225?s\\par' | head -n 120000 > body && "
             "{ printf '%s' '{\\rtf1 '; cat body; printf '}'; } > huge.rtf && "
             "$Q book huge.rtf --parts 1 --out out && "
             "grep -o 'palabra <b>negrita</b> y m&aacute;s' out/Rerud01.html | wc -l",
             0,
             {"120000"},
             {}},
        Case{"EndlessInputUnderAMemoryLimit",
             "ulimit -v 1500000; QUILLET_MAX_INPUT=100000000000 $Q convert - < /dev/zero",
             1,
             {},
             {"memoria", "memory"}}),
    CaseName);

// Standard output that cannot be written.
INSTANTIATE_TEST_SUITE_P(
    OutputErrors, Command,
    testing::Values(
        Case{"Text", "$Q text book.rtf > /dev/full", 1, {}, {"standard output"}},
        Case{"Rtf", "$Q rtf book.rtf > /dev/full", 1, {}, {"standard output"}},
        Case{"Convert", "$Q convert book.rtf > /dev/full", 1, {}, {"standard output"}},
        Case{
            "Book", "$Q book book.rtf --parts 1 --out out > /dev/full", 1, {}, {"standard output"}},
        Case{"Preview", "$Q preview book.rtf > /dev/full", 1, {}, {"standard output"}}),
    CaseName);

// Prefixes that would become markup, hidden files or dead links.
INSTANTIATE_TEST_SUITE_P(
    Prefixes, Command,
    testing::Values(
        Case{"MarkupInPreview",
             "$Q preview book.rtf --prefix '</title><script>x</script>'",
             1,
             {},
             {"prefijo", "prefix"}},
        Case{"MarkupInConvertPage",
             "$Q convert --page --prefix '</title><script>x</script>' book.rtf",
             1,
             {},
             {"prefijo", "prefix"}},
        Case{"AmpersandInConvertPage",
             "$Q convert --page --prefix 'a&b' book.rtf",
             0,
             {"<TITLE>:: QUILLET - A&amp;B ::</TITLE>"},
             {}},
        Case{"EmptyInBook",
             "$Q book book.rtf --parts 2 --out out --prefix '' && ls -A out",
             1,
             {},
             {"prefijo", "prefix"}},
        Case{"EmptyInPreview", "$Q preview book.rtf --prefix ''", 1, {}, {"prefijo", "prefix"}},
        Case{"EmptyInConvertPage",
             "$Q convert --page --prefix '' book.rtf",
             1,
             {},
             {"prefijo", "prefix"}},
        Case{"LeadingSpace",
             "$Q book book.rtf --parts 2 --out out --prefix ' Libro'",
             1,
             {},
             {"prefijo", "prefix"}},
        Case{"TrailingSpace",
             "$Q book book.rtf --parts 2 --out out --prefix 'Libro '",
             1,
             {},
             {"prefijo", "prefix"}},
        Case{"LongPrefix",
             "$Q book book.rtf --parts 2 --out out --prefix "
             "\"$(printf 'a%.0s' $(seq 1 247))\"",
             0,
             {"out/aaaa"},
             {}}),
    CaseName);

// Options and line ends.
INSTANTIATE_TEST_SUITE_P(
    Options, Command,
    testing::Values(
        Case{"PartsAreDecimal", "$Q book big.rtf --parts 010 --out out", 0, {"Rerud10.html"}, {}},
        Case{"MissingOutputFolderIsNamed",
             "$Q book book.rtf --parts 2 --out missing",
             1,
             {},
             {"El preview se guarda en el C y no existe o no tiene espacio", "missing",
              "does not exist"}},
        // A book read from the output folder under a page's name is never replaced.
        Case{"BookNamedLikeAPageStaysWhole",
             "mkdir s && cp big.rtf s/Rerud01.html && $Q book s/Rerud01.html --parts 3 --out s; "
             "echo status $?; cmp big.rtf s/Rerud01.html && ls s",
             0,
             {"status 1", "Rerud01.html"},
             {"s/Rerud01.html", "would replace the book"}},
        Case{"BookNamedLikeAReaderPageStaysWhole",
             "mkdir s && cp big.rtf s/Rerud01.html && $Q book s/Rerud01.html --reader --out s; "
             "echo status $?; cmp big.rtf s/Rerud01.html",
             0,
             {"status 1"},
             {"would replace the book"}},
        Case{"LineFeedEnds", "$Q convert lf.rtf", 0, {"One<br>Two"}, {}},
        Case{"CarriageReturnEnds", "$Q convert cr.rtf", 0, {"One<br>Two"}, {}},
        Case{"RawKeepsLineFeeds", "$Q convert --raw lf.rtf", 0, {"OneTwo"}, {}}),
    CaseName);

// Every command reads a book file by one rule: the name's extension, else the
// content (RTF, also behind a byte-order mark or white space, else plain text).
INSTANTIATE_TEST_SUITE_P(
    Inputs, Command,
    testing::Values(
        Case{"BookOfRtfBehindAByteOrderMark",
             "printf '\\357\\273\\277{\\\\rtf1 Hello \\\\b world\\\\b0}' | "
             "$Q book - --parts 1 --out out && cat out/Rerud01.html",
             0,
             {"Hello <b>world</b>"},
             {}},
        Case{"BookOfRtfBehindWhiteSpace",
             "printf '\\n {\\\\rtf1 Hello \\\\b world\\\\b0}' | "
             "$Q book - --parts 1 --out out && cat out/Rerud01.html",
             0,
             {"Hello <b>world</b>"},
             {}},
        Case{"TextOfRtfBehindAByteOrderMark",
             "printf '\\357\\273\\277{\\\\rtf1 Hello \\\\b world\\\\b0}' | $Q text -",
             0,
             {"Hello world\n"},
             {}},
        Case{"TextFileHoldingRtfIsReadAsRtf",
             "printf '{\\\\rtf1 x}' > notes.txt && $Q text notes.txt",
             0,
             {"x\n"},
             {}},
        Case{"TextOfHtml",
             "printf '<p>Hi <b>there</b></p>' > page.html && $Q text page.html > text && "
             "cat text && ! grep -q '<' text",
             0,
             {"Hi there\n"},
             {}},
        Case{"RtfOfHtml",
             "printf '<p>Hi <b>there</b></p>' > page.html && $Q rtf page.html",
             0,
             {"\\b there"},
             {}},
        Case{"BookOfHtmlWithADeadDisplay",
             "printf '<p>Hi <b>there</b></p>' > page.html && "
             "DISPLAY=:99 $Q book page.html --parts 1 --out out && cat out/Rerud01.html",
             0,
             {"Hi <b>there</b>"},
             {}},
        Case{"PreviewOfMarkdown",
             "printf '# Title\\n\\nSome *words*\\n' > notes.md && $Q preview notes.md && "
             "cat tmp/quillettemp.html",
             0,
             {"<i>words</i>"},
             {}}),
    CaseName);

// Helper programs: what `formats` says of them, and the time a conversion may take.
INSTANTIATE_TEST_SUITE_P(
    Helpers, Command,
    testing::Values(
        Case{"FormatsListsEveryFormatWithWhatReadsIt",
             "$Q formats",
             0,
             {"Plain text", "RTF", "HTML", "Markdown", "EPUB", "libzip", "FB2", "DOCX", "ODT",
              "DOC", "WPD", "SXW", "soffice: ", "pandoc: "},
             {}},
        Case{"FormatsNamesTheMissingHelpersPackage",
             "PATH=$PWD/folder $Q formats",
             0,
             {"soffice: no instalado / not installed (apt install libreoffice-writer-nogui)",
              "pandoc: no instalado / not installed (apt install pandoc)"},
             {}},
        // Limits the clock cannot hold are refused before any helper runs.
        Case{"ConvertTimeoutBeyondADay",
             "$Q text book.rtf --convert-timeout 1e308",
             105,
             {},
             {"--convert-timeout", "86400"}},
        Case{"ConvertTimeoutNotANumber",
             "$Q text book.rtf --convert-timeout nan",
             105,
             {},
             {"--convert-timeout", "86400"}},
        Case{"ConvertTimeoutBelowAMillisecond",
             "$Q book book.rtf --parts 1 --out . --convert-timeout 0.0001",
             105,
             {},
             {"--convert-timeout", "0.001"}},
        Case{"HelperPastTheConvertTimeoutIsStopped",
             "mkdir bin && printf '#!/bin/sh\\nexec sleep 60\\n' > bin/soffice && "
             "chmod +x bin/soffice && cp '" QUILLET_FORMATS_DATA "/book.docx' book.docx && "
             "PATH=$PWD/bin:$PATH $Q text --convert-timeout 0.5 book.docx",
             1,
             {},
             {"book.docx", "took more than 1 s and was stopped"}},
        Case{"ConvertTimeoutMustBeAPositiveNumber",
             "$Q text --convert-timeout 0 book.rtf",
             105,
             {},
             {"--convert-timeout"}}),
    CaseName);

// Page titles follow one rule in every command.
INSTANTIATE_TEST_SUITE_P(
    Titles, Command,
    testing::Values(Case{"ConvertPageTitleOutsideAscii",
                         "$Q convert --page --prefix \"\303\261and\303\272\" book.rtf",
                         0,
                         {"<TITLE>:: QUILLET - &#209;AND&#218; ::</TITLE>"},
                         {}},
                    Case{"BookPageTitleOutsideAscii",
                         "$Q book book.rtf --parts 1 --out out --prefix \"\303\261and\303\272\" && "
                         "cat out/*01.html",
                         0,
                         {"<TITLE>:: QUILLET - &#209;AND&#218; ::</TITLE>"},
                         {}}),
    CaseName);

TEST_F(Cli, ReadFailureWritesNoPage) {
  const Outcome outcome =
      Run("QUILLET_FAULT_PATH=$PWD/big.rtf QUILLET_FAULT_READ_AFTER=20000 LD_PRELOAD=$FAULTS "
          "$Q book big.rtf --parts 3 --out out");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_TRUE(Files(dir / "out").empty());
}

TEST_F(Cli, EmptyPrefixWritesNothing) {
  EXPECT_EQ(Run("$Q book book.rtf --parts 2 --out out --prefix ''").status, 1);
  EXPECT_TRUE(Files(dir / "out").empty());
}

}  // namespace
