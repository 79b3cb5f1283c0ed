// What a button asks of the book builder and what a run gives back: the
// window's controls as they stand, the pages written or the error, and the
// values a Generate leaves behind. Shared by the default and the reader
// generation and their front, BookBuilder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/part_count.h"
#include "richtext/status.h"

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

// What a run did: the pages it put in place, in order, or the error that
// stopped it (the folder then keeps the pages it held).
struct BookResult {
  std::vector<std::string> written;
  Status status;
  // What the user should know of a run that succeeded.
  std::vector<Status> warnings{};

  bool ok() const { return status.ok(); }
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

}  // namespace quillet
