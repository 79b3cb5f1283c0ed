// `quillet book` and `quillet preview`: the window's Generate and Preview from
// the command line, through the same builder and the same rich-text box.
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "app/commands.h"
#include "builder/book_builder.h"
#include "builder/book_input.h"
#include "builder/desktop_opener.h"
#include "builder/messages.h"
#include "builder/text_rules.h"
#include "richtext/document_box.h"

namespace quillet::app {
namespace {

struct BookOptions {
  BookSource source;
  std::string parts;
  std::string out;
  std::string prefix{kDefaultPrefix};
  bool open = false;
  // Reader mode: all of it, or its pieces one by one.
  bool reader = false;
  std::string maxKb;
  bool navigation = false;
  bool titledIndex = false;
  bool cleanCuts = false;
};

// A whole number in decimal, leading zeros and all; nothing outside 1 to `most`.
std::optional<int> NumberOf(std::string_view text, int most) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > most) {
    return std::nullopt;
  }
  return number;
}

// The largest page budget a user can ask for: 1 GiB.
constexpr int kLargestMaxKb = 1 << 20;

// The reader-mode pieces the options ask for; nothing when --max-kb is not a number.
std::optional<ReaderMode> ReaderModeOf(const BookOptions& options) {
  ReaderMode mode = options.reader ? ReaderMode::All() : ReaderMode{};
  if (!options.maxKb.empty()) {
    const std::optional<int> kb = NumberOf(options.maxKb, kLargestMaxKb);
    if (!kb) return std::nullopt;
    mode.maxKb = *kb;
  }
  mode.navigation = mode.navigation || options.navigation;
  mode.titledIndex = mode.titledIndex || options.titledIndex;
  mode.cleanCuts = mode.cleanCuts || options.cleanCuts;
  return mode;
}

// Progress on a terminal only, so that redirected output stays clean.
GenerateProgress ProgressOnTerminal() {
  if (isatty(STDERR_FILENO) == 0) return {};
  return {nullptr, [](int part, int count) {
            std::cerr << "\rParte / Part " << part << "/" << count << (part == count ? "\n" : "")
                      << std::flush;
          }};
}

// Standard error is the command line's message box. The window's message for a
// missing folder does not name the folder; here an English line does.
int Finish(const BookResult& result, const std::string& folder) {
  for (const Status& warning : result.warnings)
    std::cerr << "quillet: " << Message(warning) << "\n";
  if (!result.ok()) {
    std::cerr << "quillet: " << Message(result.status) << "\n";
    if (result.status.kind == StatusKind::kMissingFolder && !folder.empty()) {
      std::cerr << "quillet: The folder \"" << folder << "\" does not exist or has no room.\n";
    }
  }
  for (const std::string& path : result.written) std::cout << path << "\n";
  std::cout.flush();
  return result.ok() && std::cout ? 0 : 1;
}

// Everything one command-line run needs, alive together: the builder holds
// references to the box and the opener.
struct BookRun {
  explicit BookRun(bool open) : builder(box, open ? static_cast<PageOpener&>(desktop) : none) {}
  DocumentBox box;
  DesktopOpener desktop;
  NoOpener none;
  BookBuilder builder;
};

int RunBook(const BookOptions& options) {
  const std::optional<ReaderMode> reader = ReaderModeOf(options);
  if (!reader) {
    std::cerr << "quillet: " << MaxKbOptionMessage(kLargestMaxKb) << "\n";
    return 1;
  }
  const int mostParts = MostParts(reader->On());
  const std::optional<int> parts =
      options.parts.empty() ? 1 : NumberOf(options.parts, std::numeric_limits<int>::max());
  if (!parts || !CheckPartCount(*parts, reader->On()).ok()) {
    std::cerr << "quillet: " << PartsOptionMessage(mostParts) << "\n";
    return 1;
  }
  if (options.out.empty()) {
    // The folder rule would turn "" into the root folder, which nobody chose.
    std::cerr << "quillet: " << OutOptionMessage() << "\n";
    return 1;
  }
  BookRun& run = KeptToExit<BookRun>(options.open);
  if (!LoadBookInto(options.source, run.box)) return 1;
  BookRequest request;
  request.prefix = options.prefix;
  request.folder = TrailingSeparator(options.out);
  request.partCount = *parts;
  request.reader = *reader;
  if (options.source.input != "-") request.bookFile = options.source.input;
  return Finish(run.builder.Generate(request, ProgressOnTerminal()), request.folder);
}

int RunPreview(const BookOptions& options) {
  BookRun& run = KeptToExit<BookRun>(options.open);
  if (!LoadBookInto(options.source, run.box)) return 1;
  BookRequest request;
  request.prefix = options.prefix;
  return Finish(run.builder.Preview(request), run.builder.tempFolder);
}

}  // namespace

// From a millisecond to a day: a limit beyond that would overflow the clock
// that counts it, and NaN is no limit at all.
const CLI::Validator kHelperSeconds(
    [](std::string& text) -> std::string {
      double seconds = 0;
      if (CLI::detail::lexical_cast(text, seconds) && seconds >= 0.001 && seconds <= 86400) {
        return {};
      }
      return HelperSecondsMessage();
    },
    "SECONDS");

void AddBookSource(CLI::App& command, BookSource& source) {
  command.add_option("INPUT", source.input, kBookInputHelp)->required();
  command
      .add_option("--convert-timeout", source.convertTimeout,
                  "Seconds a helper (LibreOffice, pandoc) may take to convert the book")
      ->check(kHelperSeconds)
      ->capture_default_str();
}

bool LoadBookInto(const BookSource& source, DocumentBox& box) {
  LoadOptions options;
  options.helper_timeout = std::chrono::milliseconds(std::llround(source.convertTimeout * 1000));
  LoadedBook book = LoadBookFile(source.input, options);
  if (!book.ok()) {
    std::cerr << "quillet: " << Message(book.status) << "\n";
    return false;
  }
  box.SetDocument(std::move(book.value));
  return true;
}

void AddBookCommands(CLI::App& app, int& exitStatus) {
  auto options = std::make_shared<BookOptions>();

  CLI::App* book = app.add_subcommand(
      "book", "Split a book into part pages and an index page, as the Generate button does");
  AddBookSource(*book, options->source);
  CLI::Option* parts = book->add_option(
      "--parts", options->parts,
      "Number of parts, 1 to 99 (decimal); in reader mode at least this many, up to "
      "999, and not required under a page budget");
  CLI::Option* out = book->add_option("--out", options->out, "Output folder (required)");
  book->add_option("--prefix", options->prefix,
                   "File-name prefix (default " + std::string(kDefaultPrefix) + ")");
  book->add_flag("--open", options->open,
                 "Open every written page in the default viewer (in reader mode only the index)");
  book->add_flag("--reader", options->reader,
                 "Reader mode: pages of at most 100 KB, navigation, titled index, clean cuts");
  book->add_option("--max-kb", options->maxKb,
                   "Reader mode: every page at most N KB; as many parts as that needs")
      ->type_name("N");
  book->add_flag("--nav", options->navigation,
                 "Reader mode: links to the previous part, the index and the next part");
  book->add_flag("--titled-index", options->titledIndex,
                 "Reader mode: titles and index lines name each part and its size");
  book->add_flag("--clean-cuts", options->cleanCuts,
                 "Reader mode: parts end at a paragraph, a sentence or a space");
  book->callback([options, parts, out, &exitStatus] {
    // Both are required, in this order, as the parser would say; only a page
    // budget, which computes the count, lets --parts go.
    const bool budget = options->reader || !options->maxKb.empty();
    if (parts->count() == 0 && !budget) throw CLI::RequiredError(parts->get_name());
    if (out->count() == 0) throw CLI::RequiredError(out->get_name());
    exitStatus = RunBook(*options);
  });

  CLI::App* preview = app.add_subcommand(
      "preview", "Write the whole book as one preview page in the temporary folder");
  AddBookSource(*preview, options->source);
  preview->add_option("--prefix", options->prefix, "Prefix shown in the page title");
  preview->add_flag("--open", options->open, "Open the page in the default viewer");
  preview->callback([options, &exitStatus] { exitStatus = RunPreview(*options); });
}

}  // namespace quillet::app
