#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
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

namespace {

// Standard output that could not be written (a full disk, a closed pipe) is a
// failure like any other.
int CheckStandardOutput(int status) {
  errno = 0;
  std::cout.flush();
  const bool written = std::cout && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (written) return status;
  const int reason = errno;
  std::cerr << "quillet: no se pudo escribir la salida estándar / could not write standard output"
            << (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()) << "\n";
  return 1;
}

int Run(int argc, char** argv) {
  // `quillet` alone, or with --debug only, opens the window.
  [[maybe_unused]] const bool debug = argc == 2 && std::string_view(argv[1]) == "--debug";
#ifdef QUILLET_HAS_WINDOW
  if ((argc == 1 || debug) && HasDisplay()) return quillet::app::RunWindow(argc, argv, debug);
  if (argc == 1 || debug) std::cerr << "quillet: no display to open the window on\n\n";
#endif

  CLI::App app{"Quillet: turns a long rich text into small HTML pages for a handheld's browser"};
  app.footer(
      "Inputs larger than 1 GiB are refused; QUILLET_MAX_INPUT sets another limit, in bytes or "
      "with K, M or G.");
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
  return CheckStandardOutput(exit_status);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cerr << "quillet: no hay memoria suficiente / out of memory\n";
  } catch (const std::exception& error) {
    std::cerr << "quillet: " << error.what() << "\n";
  }
  return 1;
}
