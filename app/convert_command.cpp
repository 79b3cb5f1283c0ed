// quillet convert: runs the converter on files, exactly as the book builder
// does, so that it can be checked from outside.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "app/commands.h"
#include "builder/book_builder.h"
#include "builder/input_file.h"
#include "builder/messages.h"
#include "builder/text_rules.h"
#include "converter/converter.h"
#include "converter/page_frame.h"
#include "converter/text_utils.h"

namespace quillet::app {
namespace {

struct ConvertOptions {
  std::vector<std::string> files;
  std::string options{kConvertOptions};
  std::string separator;
  bool separatorGiven = false;
  bool page = false;
  bool raw = false;
  std::string prefix{kDefaultPrefix};
};

int RunConvert(const ConvertOptions& options) {
  Converter converter;
  if (options.page) {
    if (Status prefix = CheckPrefix(options.prefix); !prefix.ok()) {
      std::cerr << "quillet: " << Message(prefix) << "\n";
      return 1;
    }
    converter.FilePrefix = TitlePrefix(options.prefix);
  }
  for (const std::string& name : options.files) {
    InputFile rtf = ReadInputFile(name);
    if (!rtf.ok()) {
      std::cerr << "quillet: " << Message(rtf.status) << "\n";
      return 1;
    }
    // The converter reads CR LF lines, as the input box writes them. It takes
    // the bytes over, and no copy is kept: a big file is held once, not twice.
    std::string source =
        options.raw ? std::move(rtf.value) : CrLfLineBreaksInPlace(std::move(rtf.value));
    std::string().swap(rtf.value);  // assigning "" would keep the buffer
    converter.HtmlResult = converter.ConvertRtfToHtmlInPlace(std::move(source), options.options);
    if (options.page) {
      std::cout << PageHeader(converter.FilePrefix) << kCrLf << converter.HtmlResult << kCrLf
                << PageFooter() << kCrLf;
    } else {
      std::cout << converter.HtmlResult;
    }
    if (options.separatorGiven) std::cout << options.separator;
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace

void AddConvertCommand(CLI::App& app, int& exitStatus) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* convert = app.add_subcommand("convert", "Convert RTF files to HTML page bodies");
  convert->add_option("FILE", options->files, "RTF files to convert in order; - is standard input")
      ->required();
  convert->add_option("--options", options->options, "Converter option string")
      ->capture_default_str();
  convert->add_option("--separator", options->separator, "Text written after each result")
      ->each([options](const std::string&) { options->separatorGiven = true; });
  convert->add_flag("--page", options->page, "Write the whole page file: head, body and foot");
  convert->add_flag("--raw", options->raw,
                    "Hand the bytes over unchanged; otherwise bare LF and CR become CR LF");
  convert->add_option("--prefix", options->prefix, "File-name prefix for the page title")
      ->capture_default_str();
  convert->callback([options, &exitStatus] { exitStatus = RunConvert(*options); });
}

}  // namespace quillet::app
