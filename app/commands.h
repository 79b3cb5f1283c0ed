// The subcommands of the quillet executable, one registration function per family.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace quillet {
class DocumentBox;
}

namespace quillet::app {

// Each function adds its subcommands; the callback it stores runs the command and
// sets the process exit status through `exitStatus`.
void AddConvertCommand(CLI::App& app, int& exitStatus);
void AddRichTextCommands(CLI::App& app, int& exitStatus);
void AddBookCommands(CLI::App& app, int& exitStatus);

// Every family of subcommands, in the order `quillet --help` lists them: a new
// command is a function above, in a file of its own, and a row here.
inline constexpr void (*kCommandFamilies[])(CLI::App&, int&) = {
    AddConvertCommand, AddRichTextCommands, AddBookCommands};

// What a book INPUT may be, as every command's help says it.
inline constexpr const char* kBookInputHelp =
    "Book: .rtf, .txt, .htm/.html, or - for standard input";

// Loads the book file `name` into the box as the window does; false, with the
// message on standard error, when it cannot be read.
bool LoadBookInto(const std::string& name, DocumentBox& box);

}  // namespace quillet::app
