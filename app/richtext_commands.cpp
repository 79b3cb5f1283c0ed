// `quillet rtf INPUT` and `quillet text INPUT`: the rich-text engine from outside.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/commands.h"
#include "builder/book_input.h"
#include "richtext/document_box.h"
#include "richtext/text_encoding.h"

namespace quillet::app {

namespace {

// Loads INPUT into a box: RTF when it looks like RTF, plain text otherwise.
bool LoadBox(const std::string& path, DocumentBox& box) {
  std::string error;
  const std::optional<std::string> contents = ReadBookFile(path, error);
  if (!contents) {
    std::cerr << "quillet: " << error << "\n";
    return false;
  }
  box.SetTextRTF(*contents);
  return true;
}

}  // namespace

void AddRichTextCommands(CLI::App& app, int& exit_status) {
  auto rtf_input = std::make_shared<std::string>();
  CLI::App* rtf =
      app.add_subcommand("rtf", "Write the RTF the input box holds for an RTF or plain-text INPUT");
  rtf->add_option("INPUT", *rtf_input, "RTF or plain-text file, - for standard input")->required();
  rtf->callback([rtf_input, &exit_status] {
    DocumentBox box;
    if (!LoadBox(*rtf_input, box)) {
      exit_status = 1;
      return;
    }
    std::cout << box.TextRTF() << std::flush;
  });

  auto text_input = std::make_shared<std::string>();
  CLI::App* text = app.add_subcommand(
      "text", "Write the plain text (UTF-8, one line per paragraph) the input box holds");
  text->add_option("INPUT", *text_input, "RTF or plain-text file, - for standard input")
      ->required();
  text->callback([text_input, &exit_status] {
    DocumentBox box;
    if (!LoadBox(*text_input, box)) {
      exit_status = 1;
      return;
    }
    std::cout << ToUtf8(box.Text()) << "\n" << std::flush;
  });
}

}  // namespace quillet::app
