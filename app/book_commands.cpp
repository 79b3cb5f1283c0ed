// `quillet book` and `quillet preview`: the window's Generate and Preview from
// the command line, through the same builder and the same rich-text box.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/commands.h"
#include "builder/book_builder.h"
#include "builder/book_input.h"
#include "builder/desktop_opener.h"
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
};

// The part count in decimal, leading zeros and all; nothing outside 1 to 99.
std::optional<int> PartCountOf(std::string_view text) {
  int parts = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parts);
  if (error != std::errc() || end != text.data() + text.size() || parts < 1 || parts > 99) {
    return std::nullopt;
  }
  return parts;
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
  if (!result.Ok()) {
    std::cerr << "quillet: " << result.error->message << "\n";
    if (result.error->message == kMissingFolderMessage && !folder.empty()) {
      std::cerr << "quillet: The folder \"" << folder << "\" does not exist or has no room.\n";
    }
  }
  for (const std::string& path : result.written) std::cout << path << "\n";
  std::cout.flush();
  return result.Ok() && std::cout ? 0 : 1;
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
  const std::optional<int> parts = PartCountOf(options.parts);
  if (!parts) {
    std::cerr << "quillet: --parts debe ir de 1 a 99 / --parts must be 1 to 99\n";
    return 1;
  }
  if (options.out.empty()) {
    // The folder rule would turn "" into the root folder, which nobody chose.
    std::cerr << "quillet: --out necesita una carpeta / --out needs a folder\n";
    return 1;
  }
  BookRun run(options.open);
  if (!LoadBookInto(options.source, run.box)) return 1;
  BookRequest request;
  request.prefix = options.prefix;
  request.folder = TrailingSeparator(options.out);
  request.partCount = *parts;
  return Finish(run.builder.Generate(request, ProgressOnTerminal()), request.folder);
}

int RunPreview(const BookOptions& options) {
  BookRun run(options.open);
  if (!LoadBookInto(options.source, run.box)) return 1;
  BookRequest request;
  request.prefix = options.prefix;
  return Finish(run.builder.Preview(request), run.builder.tempFolder);
}

}  // namespace

void AddBookSource(CLI::App& command, BookSource& source) {
  command.add_option("INPUT", source.input, kBookInputHelp)->required();
  command
      .add_option("--convert-timeout", source.convertTimeout,
                  "Seconds a helper (LibreOffice, pandoc) may take to convert the book")
      ->check(CLI::PositiveNumber)
      ->capture_default_str();
}

bool LoadBookInto(const BookSource& source, DocumentBox& box) {
  LoadOptions options;
  options.helper_timeout = std::chrono::milliseconds(std::llround(source.convertTimeout * 1000));
  LoadedBook book = LoadBookFile(source.input, options);
  if (!book.Ok()) {
    std::cerr << "quillet: " << book.error->message << "\n";
    return false;
  }
  box.SetDocument(std::move(book.document));
  return true;
}

void AddBookCommands(CLI::App& app, int& exitStatus) {
  auto options = std::make_shared<BookOptions>();

  CLI::App* book = app.add_subcommand(
      "book", "Split a book into part pages and an index page, as the Generate button does");
  AddBookSource(*book, options->source);
  book->add_option("--parts", options->parts, "Number of parts, 1 to 99 (decimal)")->required();
  book->add_option("--out", options->out, "Output folder")->required();
  book->add_option("--prefix", options->prefix,
                   "File-name prefix (default " + std::string(kDefaultPrefix) + ")");
  book->add_flag("--open", options->open, "Open every written page in the default viewer");
  book->callback([options, &exitStatus] { exitStatus = RunBook(*options); });

  CLI::App* preview = app.add_subcommand(
      "preview", "Write the whole book as one preview page in the temporary folder");
  AddBookSource(*preview, options->source);
  preview->add_option("--prefix", options->prefix, "Prefix shown in the page title");
  preview->add_flag("--open", options->open, "Open the page in the default viewer");
  preview->callback([options, &exitStatus] { exitStatus = RunPreview(*options); });
}

}  // namespace quillet::app
