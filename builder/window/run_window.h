// Starting the window from a program that does not use Qt itself.
#pragma once

#include <string>

namespace quillet {

struct WindowStart {
  bool debug = false;     // Debug Mode selected from the start
  std::string book;       // a book file to open in the box, "" for none
  std::string version;    // the application's version
  std::string desktopId;  // the desktop entry's name, so a desktop can match icon and menu
};

// Creates the application and the window, and runs until the window closes;
// returns the application's exit status.
int RunWindow(int argc, char** argv, const WindowStart& start);

}  // namespace quillet
