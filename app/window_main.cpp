// quillet-window: the window, in a program of its own so that the command line
// never loads Qt. `quillet` runs it in its own place (exec) once it has read
// its arguments, as: quillet-window [--debug] [--book FILE].
#include <cstring>
#include <iostream>
#include <string_view>

#include "builder/window/run_window.h"

int main(int argc, char** argv) {
  quillet::WindowStart start;
  start.version = QUILLET_VERSION;
  start.desktopId = QUILLET_APP_ID;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--debug") {
      start.debug = true;
    } else if (argument == "--book" && i + 1 < argc) {
      start.book = argv[++i];
    } else {
      std::cerr << "quillet-window: use quillet to open the window\n";
      return 2;
    }
  }
  // Qt sees no arguments of ours: a book named like one of its options stays a book.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  return quillet::RunWindow(qtArgc, qtArgv, start);
}
