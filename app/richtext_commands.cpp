// `quillet rtf INPUT` and `quillet text INPUT`: the rich-text engine from outside.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "app/commands.h"
#include "richtext/document_box.h"
#include "richtext/text_encoding.h"

namespace quillet::app {
namespace {

// Adds a command that loads INPUT into a box and writes what `show` makes of it.
void AddBoxCommand(CLI::App& app, int& exitStatus, const std::string& name,
                   const std::string& description, std::string (*show)(const DocumentBox&)) {
  auto source = std::make_shared<BookSource>();
  CLI::App* command = app.add_subcommand(name, description);
  AddBookSource(*command, *source);
  command->callback([source, show, &exitStatus] {
    DocumentBox& box = KeptToExit<DocumentBox>();
    if (!LoadBookInto(*source, box)) {
      exitStatus = 1;
      return;
    }
    std::cout << show(box) << std::flush;
  });
}

}  // namespace

void AddRichTextCommands(CLI::App& app, int& exitStatus) {
  AddBoxCommand(app, exitStatus, "rtf", "Write the RTF the input box holds for a book",
                [](const DocumentBox& box) { return box.TextRTF(); });
  AddBoxCommand(app, exitStatus, "text",
                "Write the plain text (UTF-8, one line per paragraph) the input box holds",
                [](const DocumentBox& box) { return ToUtf8(box.Text()) + "\n"; });
}

}  // namespace quillet::app
