#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <new>
#include <string>

#include "app/commands.h"

#ifndef QUILLET_VERSION
#error "QUILLET_VERSION comes from the project's version in CMake"
#endif

#ifdef QUILLET_WINDOW_PROGRAM
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

// Without a display Qt would abort; the subcommands still work there.
bool HasDisplay() {
  return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr ||
         std::getenv("QT_QPA_PLATFORM") != nullptr;
}

// The window program beside this one (a build), or in lib/quillet/ (an installation).
std::filesystem::path WindowProgram() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path folder = error ? std::filesystem::path(".") : self.parent_path();
  if (std::filesystem::exists(folder / QUILLET_WINDOW_PROGRAM, error)) {
    return folder / QUILLET_WINDOW_PROGRAM;
  }
  return (folder / QUILLET_WINDOW_INSTALLED).lexically_normal();
}

// Runs the window in this process's place; returns only when it cannot.
int ExecWindow(bool debug, const std::string& book) {
  const std::string program = WindowProgram().string();
  std::vector<std::string> arguments{program};
  if (debug) arguments.emplace_back("--debug");
  if (!book.empty()) arguments.insert(arguments.end(), {"--book", book});
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  execv(program.c_str(), pointers.data());
  const int reason = errno;
  std::cerr << "quillet: no se puede abrir la ventana / cannot open the window: " << program << ": "
            << std::strerror(reason) << "\n";
  return 1;
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

// No subcommand: the window, or without a display a word on the headless commands.
int RunWithoutSubcommand(const CLI::App& app, bool debug, const std::string& book) {
#ifdef QUILLET_WINDOW_PROGRAM
  if (HasDisplay()) return ExecWindow(debug, book);
  std::cerr << "quillet: no display to open the window on\n\n";
#else
  (void)debug;
#endif
  if (!book.empty()) {
    std::cerr << "quillet: sin ventana, las páginas se hacen con / without a window, make the "
                 "pages with:\n  quillet book "
              << book << " --parts N --out DIR\n\n";
  }
  std::cout << app.help();
  return CheckStandardOutput(book.empty() ? 0 : 1);
}

int Run(int argc, char** argv) {
  CLI::App app{"Quillet: turns a long rich text into small HTML pages for a handheld's browser"};
  app.set_version_flag("--version", "quillet " QUILLET_VERSION, "Print the version and exit");
  app.footer(
      "Inputs larger than 1 GiB are refused; QUILLET_MAX_INPUT sets another limit, in bytes or "
      "with K, M or G.");
  app.require_subcommand(0, 1);
  // Wide enough for every option with its type on one line, which the manual
  // page and completion checks read.
  app.get_formatter()->column_width(40);
  bool debug = false;
  app.add_flag("--debug", debug, "Open the window with Debug Mode selected");
  // Subcommand names win over this, so a book named like one is given as ./NAME.
  std::string book;
  app.add_option("FILE", book, "Book to open in the window, in any format quillet formats lists");
  int exitStatus = 0;
  for (const auto addCommands : quillet::app::kCommandFamilies) addCommands(app, exitStatus);
  CLI11_PARSE(app, argc, argv);
  if (app.get_subcommands().empty()) return RunWithoutSubcommand(app, debug, book);
  return CheckStandardOutput(exitStatus);
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
