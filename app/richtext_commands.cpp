// `quillet rtf INPUT` and `quillet text INPUT`: the rich-text engine from outside.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "app/commands.h"
#include "richtext/document_box.h"
#include "richtext/text_encoding.h"

namespace quillet::app {

void AddRichTextCommands(CLI::App& app, int& exitStatus) {
  auto rtfInput = std::make_shared<std::string>();
  CLI::App* rtf = app.add_subcommand("rtf", "Write the RTF the input box holds for a book");
  rtf->add_option("INPUT", *rtfInput, kBookInputHelp)->required();
  rtf->callback([rtfInput, &exitStatus] {
    DocumentBox box;
    if (!LoadBookInto(*rtfInput, box)) {
      exitStatus = 1;
      return;
    }
    std::cout << box.TextRTF() << std::flush;
  });

  auto textInput = std::make_shared<std::string>();
  CLI::App* text = app.add_subcommand(
      "text", "Write the plain text (UTF-8, one line per paragraph) the input box holds");
  text->add_option("INPUT", *textInput, kBookInputHelp)->required();
  text->callback([textInput, &exitStatus] {
    DocumentBox box;
    if (!LoadBookInto(*textInput, box)) {
      exitStatus = 1;
      return;
    }
    std::cout << ToUtf8(box.Text()) << "\n" << std::flush;
  });
}

}  // namespace quillet::app
