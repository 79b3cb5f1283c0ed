#include <CLI/CLI.hpp>
#include <string>

#include "commands.h"

#ifndef QUILLET_VERSION
#error "QUILLET_VERSION comes from the project's version in CMake"
#endif

#ifdef QUILLET_HAS_WINDOW
#include <cstdlib>

namespace quillet::app {
int RunWindow(int argc, char** argv, bool debug, const std::string& book);
}

namespace {

// Without a display Qt would abort; the subcommands still work there.
bool HasDisplay() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("QT_QPA_PLATFORM") != nullptr;
}

}  // namespace
#endif

int main(int argc, char** argv) {
  CLI::App app{"Quillet: turns a long rich text into small HTML pages for a handheld's browser"};
  app.set_version_flag("--version", "quillet " QUILLET_VERSION, "Print the version and exit");
  app.require_subcommand(0, 1);
  bool debug = false;
  app.add_flag("--debug", debug, "Open the window with Debug Mode selected");
  // Subcommand names win over this, so a book named like one is given as ./NAME.
  std::string book;
  app.add_option("FILE", book, "Book to open in the window: .rtf, .txt, .htm/.html");
  int exit_status = 0;
  quillet::app::AddConvertCommand(app, exit_status);
  quillet::app::AddRichTextCommands(app, exit_status);
  quillet::app::AddBookCommands(app, exit_status);
  CLI11_PARSE(app, argc, argv);
  if (!app.get_subcommands().empty()) return exit_status;

#ifdef QUILLET_HAS_WINDOW
  if (HasDisplay()) return quillet::app::RunWindow(argc, argv, debug, book);
  std::cerr << "quillet: no display to open the window on\n\n";
#endif
  if (!book.empty()) {
    std::cerr << "quillet: sin ventana, las páginas se hacen con / without a window, make the "
                 "pages with:\n  quillet book "
              << book << " --parts N --out DIR\n\n";
  }
  std::cout << app.help();
  return book.empty() ? 0 : 1;
}
