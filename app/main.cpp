#include <CLI/CLI.hpp>

#include "commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Quillet: turns a long rich text into small HTML pages for a handheld's browser"};
  app.require_subcommand(0, 1);
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
