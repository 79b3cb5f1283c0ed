// The subcommands of the quillet executable, one registration function per family.
#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace quillet::app {

// Each function adds its subcommands; the callback it stores runs the command and
// sets the process exit status through `exit_status`.
void AddConvertCommand(CLI::App& app, int& exit_status);
void AddRichTextCommands(CLI::App& app, int& exit_status);
void AddBookCommands(CLI::App& app, int& exit_status);

}  // namespace quillet::app
