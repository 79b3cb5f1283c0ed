// `quillet formats`: every book format, what reads it, and whether the helper
// program it needs is installed.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string>

#include "app/commands.h"
#include "richtext/formats/book_formats.h"

namespace quillet::app {
namespace {

std::string Padded(std::string_view text, std::size_t width) {
  std::string padded(text);
  padded.resize(std::max(width, text.size()), ' ');
  return padded;
}

std::string HelperLine(const HelperInfo& helper) {
  std::string line(helper.program);
  if (helper.installed) return line + ": instalado / installed";
  return line + ": no instalado / not installed (apt install " + std::string(helper.package) + ")";
}

int RunFormats() {
  const std::vector<FormatInfo> formats = ListFormats();
  std::size_t nameWidth = 0;
  std::size_t extensionWidth = 0;
  for (const FormatInfo& info : formats) {
    nameWidth = std::max(nameWidth, info.name.size());
    extensionWidth = std::max(extensionWidth, info.extensions.size());
  }
  const std::string indent(nameWidth + extensionWidth + 4, ' ');
  std::cout << "Formatos que lee Quillet / Book formats Quillet reads:\n";
  for (const FormatInfo& info : formats) {
    std::cout << Padded(info.name, nameWidth + 2) << Padded(info.extensions, extensionWidth + 2)
              << info.reader << "\n";
    for (const HelperInfo& helper : info.helpers) {
      std::cout << indent << HelperLine(helper) << "\n";
    }
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace

void AddFormatsCommand(CLI::App& app, int& exitStatus) {
  CLI::App* formats = app.add_subcommand(
      "formats", "List the book formats, what reads each, and whether its helper is installed");
  formats->callback([&exitStatus] { exitStatus = RunFormats(); });
}

}  // namespace quillet::app
