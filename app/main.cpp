#include <CLI/CLI.hpp>
#include <string_view>

#include "commands.h"

#ifdef QUILLET_HAS_WINDOW
#include <cstdlib>

namespace quillet::app {
int RunWindow(int argc, char** argv, bool debug);
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
  // `quillet` alone, or with --debug only, opens the window.
  const bool debug = argc == 2 && std::string_view(argv[1]) == "--debug";
#ifdef QUILLET_HAS_WINDOW
  if ((argc == 1 || debug) && HasDisplay()) return quillet::app::RunWindow(argc, argv, debug);
  if (argc == 1 || debug) std::cerr << "quillet: no display to open the window on\n\n";
#endif

  CLI::App app{"Quillet: turns a long rich text into small HTML pages for a handheld's browser"};
  app.require_subcommand(0, 1);
  bool debugFlag = false;
  app.add_flag("--debug", debugFlag, "Open the window with Debug Mode selected");
  int exit_status = 0;
  quillet::app::AddConvertCommand(app, exit_status);
  quillet::app::AddRichTextCommands(app, exit_status);
  quillet::app::AddBookCommands(app, exit_status);
  CLI11_PARSE(app, argc, argv);
  if (app.get_subcommands().empty()) {
    std::cout << app.help();
  }
  return exit_status;
}
