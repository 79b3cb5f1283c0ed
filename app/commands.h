// The subcommands of the quillet executable, one registration function per family.
#pragma once

#include <string>
#include <utility>

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
void AddFormatsCommand(CLI::App& app, int& exitStatus);

// Every family of subcommands, in the order `quillet --help` lists them: a new
// command is a function above, in a file of its own, and a row here.
inline constexpr void (*kCommandFamilies[])(CLI::App&, int&) = {
    AddConvertCommand, AddRichTextCommands, AddBookCommands, AddFormatsCommand};

// What a book INPUT may be, as every command's help says it.
inline constexpr const char* kBookInputHelp =
    "Book: RTF, plain text, HTML, Markdown, EPUB, FB2, DOCX, ODT, DOC, WPD or SXW "
    "(quillet formats), or - for standard input";

// How long a helper program may convert a book by default, in seconds.
inline constexpr double kDefaultConvertTimeout = 120;

// A book to read: the file and how long a helper may take over it.
struct BookSource {
  std::string input;
  double convertTimeout = kDefaultConvertTimeout;
};

// Adds INPUT and --convert-timeout to a command that reads a book.
void AddBookSource(CLI::App& command, BookSource& source);

// A T made for a one-shot command, never destroyed: a big book is many small
// pieces, and freeing them one by one costs more than the process exit that
// drops them all. A static keeps it reachable, so leak checkers pass it over;
// each command runs once per process, so there is one of each.
template <typename T, typename... Arguments>
T& KeptToExit(Arguments&&... arguments) {
  static T* kept = nullptr;
  kept = new T(std::forward<Arguments>(arguments)...);
  return *kept;
}

// Loads the book as the window does; false, with the message on standard
// error, when it cannot be read.
bool LoadBookInto(const BookSource& source, DocumentBox& box);

}  // namespace quillet::app
