// `quillet book` and `quillet preview`: the window's Generate and Preview from
// the command line, through the same builder and the same rich-text box.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/commands.h"
#include "builder/book_builder.h"
#include "builder/book_input.h"
#include "builder/desktop_opener.h"
#include "richtext/document_box.h"

#ifdef QUILLET_HAS_QTBRIDGE
#include "builder/window/html_import.h"
#endif

namespace quillet::app {
namespace {

struct BookOptions {
  std::string input;
  std::string parts;
  std::string out;
  std::string prefix = "Rerud";
  bool open = false;
};

// The message box of the command line: standard error. The window's message
// for a missing folder does not name it; here an English line does.
class StderrMessages : public MessageSink {
 public:
  void Show(const std::string& message) override {
    std::cerr << "quillet: " << message << "\n";
    if (message == kMissingFolderMessage && !folder.empty()) {
      std::cerr << "quillet: The folder \"" << folder << "\" does not exist or has no room.\n";
    }
  }
  std::string folder;
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

// Without --open, written pages are only listed.
class NoOpener : public PageOpener {
 public:
  void Open(const std::string&) override {}
};

bool LoadHtml(DocumentBox& box, const std::string& bytes) {
#ifdef QUILLET_HAS_QTBRIDGE
  box.SetDocument(ImportHtml(bytes));
  return true;
#else
  (void)box;
  (void)bytes;
  std::cerr
      << "quillet: esta versión no lee HTML / this build cannot read HTML (built without Qt)\n";
  return false;
#endif
}

bool LoadBook(const std::string& input, DocumentBox& box) {
  std::string error;
  const std::optional<std::string> bytes = ReadBookFile(input, error);
  if (!bytes) {
    std::cerr << "quillet: " << error << "\n";
    return false;
  }
  const InputKind kind = InputKindOf(input, *bytes);
  if (kind == InputKind::kHtml) return LoadHtml(box, *bytes);
  LoadIntoBox(box, kind, *bytes);
  return true;
}

// Progress on a terminal only, so that redirected output stays clean.
void ShowProgressOnTerminal(BookBuilder& builder) {
  if (isatty(STDERR_FILENO) == 0) return;
  builder.progress = [](int part, int count) {
    std::cerr << "\rParte / Part " << part << "/" << count << (part == count ? "\n" : "")
              << std::flush;
  };
}

int Finish(const BookBuilder& builder, bool succeeded) {
  for (const std::string& path : builder.WrittenPaths) std::cout << path << "\n";
  std::cout.flush();
  return succeeded && std::cout ? 0 : 1;
}

// Everything one command-line run needs, alive together: the builder holds
// references to the box, the opener and the message sink.
struct Session {
  explicit Session(const BookOptions& options)
      : builder(box, options.open ? static_cast<PageOpener&>(desktop) : none, messages) {
    builder.controls.prefixText = options.prefix;
  }
  DocumentBox box;
  DesktopOpener desktop;
  NoOpener none;
  StderrMessages messages;
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
  Session session(options);
  if (!LoadBook(options.input, session.box)) return 1;
  BookBuilder& builder = session.builder;
  builder.controls.folderText = TrailingSeparator(options.out);
  session.messages.folder = builder.controls.folderText;
  builder.PartCount = static_cast<std::int16_t>(*parts);
  ShowProgressOnTerminal(builder);
  const bool succeeded = builder.cmdGO_Click();
  return Finish(builder, succeeded);
}

int RunPreview(const BookOptions& options) {
  Session session(options);
  session.messages.folder = session.builder.TempFolder;
  if (!LoadBook(options.input, session.box)) return 1;
  const bool succeeded = session.builder.cmdHTML2_Click();
  return Finish(session.builder, succeeded);
}

}  // namespace

void AddBookCommands(CLI::App& app, int& exit_status) {
  auto options = std::make_shared<BookOptions>();

  CLI::App* book = app.add_subcommand(
      "book", "Split a book into part pages and an index page, as the Generate button does");
  book->add_option("INPUT", options->input, "Book: .rtf, .txt, .htm/.html, or - for standard input")
      ->required();
  book->add_option("--parts", options->parts, "Number of parts, 1 to 99 (decimal)")->required();
  book->add_option("--out", options->out, "Output folder")->required();
  book->add_option("--prefix", options->prefix, "File-name prefix (default Rerud)");
  book->add_flag("--open", options->open, "Open every written page in the default viewer");
  book->callback([options, &exit_status] { exit_status = RunBook(*options); });

  CLI::App* preview = app.add_subcommand(
      "preview", "Write the whole book as one preview page in the temporary folder");
  preview->add_option("INPUT", options->input, "Book: .rtf, .txt, .htm/.html, or -")->required();
  preview->add_option("--prefix", options->prefix, "Prefix shown in the page title");
  preview->add_flag("--open", options->open, "Open the page in the default viewer");
  preview->callback([options, &exit_status] { exit_status = RunPreview(*options); });
}

}  // namespace quillet::app
