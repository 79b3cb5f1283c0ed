// The book builder: what the window's Generate, Preview and Help buttons do,
// kept free of widgets so that the window, the command line and the tests
// drive the same code.
//
//   BookBuilder builder(box, opener);
//   BookRequest request;
//   request.folder = "/media/card/";
//   request.partCount = 10;
//   const BookResult result = builder.Generate(request);
//   if (!result.Ok()) show(result.error->message);
//
// Every page goes through the one Converter the builder owns, so the
// converter's kept state (RtfSource, HtmlResult, FilePrefix, DebugMode)
// carries from part to part and from run to run.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/book_error.h"
#include "builder/platform.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// The prefix box's text at start.
inline constexpr std::string_view kDefaultPrefix = "Rerud";
// Option string of every conversion the builder makes.
inline constexpr std::string_view kConvertOptions = "+H+G+F=3";
// Shown when the output folder (or the folder of the preview) does not exist.
inline constexpr std::string_view kMissingFolderMessage =
    "El preview se guarda en el C y no existe o no tiene espacio";
inline constexpr std::string_view kPreviewFileName = "quillettemp.html";
inline constexpr std::string_view kHelpFileName = "help.html";

// Reader mode's pieces, each of which can be asked for alone (see
// builder/reader/reader_book.h); all off gives the default pages.
struct ReaderMode {
  int maxKb = 0;             // every page at most this many KB (1024 bytes); 0: no budget
  bool navigation = false;   // previous part, index and next part on every page
  bool titledIndex = false;  // page titles and index lines name each part
  bool cleanCuts = false;    // parts end at a paragraph, a sentence or a space

  bool On() const { return maxKb > 0 || navigation || titledIndex || cleanCuts; }
  // The whole mode, with the default budget.
  static ReaderMode All();
};

// What a button asks for: the window's controls as they stand when it is pressed.
struct BookRequest {
  std::string prefix{kDefaultPrefix};  // txtFileName, UTF-8, as typed
  std::string folder;                  // txtDir, after the trailing-separator rule
  int partCount = 1;                   // cboPartes: 1 to 99 (999 in reader mode, a minimum)
  bool debug = false;                  // rbDebug; only Preview hands it to the converter
  std::string helpText;                // txtHelp, written unchanged by WriteHelp
  ReaderMode reader{};                 // the reader-mode setting
  std::string bookFile;                // the file the book was read from: no page replaces it
};

// How many parts a Generate in reader mode would make, or why it would make none.
struct ReaderParts {
  int count = 0;
  std::string error;  // Spanish and English; "" when count holds
};

// What a run did: the pages it put in place, in order, or the error that
// stopped it (the folder then keeps the pages it held).
struct BookResult {
  std::vector<std::string> written;
  std::optional<BookError> error;
  // What the user should know of a run that succeeded, in Spanish and English.
  std::vector<std::string> warnings{};

  bool Ok() const { return !error.has_value(); }
};

// Called during a Generate: once its checks are passed, before the first part,
// and after each part is written.
struct GenerateProgress {
  std::function<void(int partCount)> started;
  std::function<void(int partNumber, int partCount)> partWritten;
};

// The values a Generate leaves behind, as the window keeps them, until the next one.
struct RunValues {
  std::int64_t TextLength = 0;
  std::int64_t PartLength = 0;
  std::int64_t PartStart = 0;
  std::int16_t PartNumber = 0;
  std::string OutputPath;
};

class BookBuilder {
 public:
  BookBuilder(RichTextBox& box, PageOpener& opener);

  // Splits the box's text into request.partCount parts, writes one page per
  // part and, for two or more parts, the index page, puts them all in place
  // together and opens them. Runs into one folder take turns. In reader mode
  // the parts are as many as request.reader needs, and only the index (or the
  // one page) is opened.
  BookResult Generate(const BookRequest& request, const GenerateProgress& progress = {});
  // The whole box as one page in the temporary folder; the only run that sets
  // the converter's DebugMode (from request.debug).
  BookResult Preview(const BookRequest& request);
  // request.helpText as a page in the temporary folder; never converts, so it
  // may run while a Generate or a Preview waits in a debug pause.
  BookResult WriteHelp(const BookRequest& request);

  // Reader mode's part count for the box as it stands, from a conversion of
  // its own: the converter's kept state is left alone.
  ReaderParts CountReaderParts(const BookRequest& request) const;

  std::string PreviewPath() const;
  std::string HelpPath() const;
  const RunValues& LastRun() const { return lastRun_; }

  // Holds RtfSource, HtmlResult, FilePrefix and DebugMode between runs.
  Converter converter;
  // Where preview and help go; the user's temporary folder unless changed.
  std::string tempFolder;

 private:
  class Generation;
  class ReaderGeneration;

  BookResult GenerateReader(const BookRequest& request, const GenerateProgress& progress);
  BookResult Opened(const std::vector<std::string>& paths);

  RichTextBox& box_;
  PageOpener& opener_;
  RunValues lastRun_;
};

}  // namespace quillet
