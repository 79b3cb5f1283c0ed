// The book builder: the logic behind the window's Generate, Preview and Help
// buttons, kept free of widgets so that the window, the command line and the
// tests drive the same code.
//
// The window owns one BookBuilder for its whole life, fills `controls` and
// `PartCount` from its widgets, and calls the handlers. Every page goes through
// the one Converter the builder owns, so the converter's kept state carries
// from part to part and from run to run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "builder/platform.h"
#include "converter/converter.h"
#include "builder/page_files.h"
#include "richtext/rich_text_box.h"

namespace quillet {

// Shown when the output folder (or the folder of the preview) does not exist.
inline constexpr std::string_view kMissingFolderMessage =
    "El preview se guarda en el C y no existe o no tiene espacio";
// Option string of every conversion the builder makes.
inline constexpr std::string_view kConvertOptions = "+H+G+F=3";
// What the folder browser yields when the user cancels.
inline constexpr std::string_view kCancelledFolder = "d:\\";
inline constexpr std::string_view kPreviewFileName = "quillettemp.html";
inline constexpr std::string_view kHelpFileName = "help.html";

// The window's controls as the handlers read them when a button is pressed.
struct WindowControls {
  std::string prefixText = "Rerud";  // txtFileName, UTF-8, as typed
  std::string folderText;            // txtDir, after the trailing-separator rule
  bool debugSelected = false;        // rbDebug
  std::string helpText;              // txtHelp, written unchanged
};

class BookBuilder {
 public:
  BookBuilder(RichTextBox& box, PageOpener& opener, MessageSink& messages);

  // Generate: splits the box's text into PartCount parts, writes one page per
  // part and, for two or more parts, the index page, puts them all in place
  // together and opens them. Returns false when the run stopped on a message;
  // the folder then keeps the book it held. Runs into one folder take turns.
  bool cmdGO_Click();
  // Converts one part into its page `name` + ".html" in the output folder; an
  // empty `rtf` gives a page with an empty body. Within a run the page waits
  // for the others; alone it is put in place and opened at once.
  bool WritePartPage(const std::string& rtf, const std::string& name);
  // The index page linking parts 1 to PartCount, written like a part page.
  bool WriteIndexPage();
  // Preview: the whole box as one page in the temporary folder.
  bool cmdHTML2_Click();
  // Help: the help text as a page in the temporary folder.
  bool cmdHelp_Click();

  std::string PreviewPath() const;
  std::string HelpPath() const;

  WindowControls controls;
  // Called once a run has passed its checks, before the first part is written.
  std::function<void(int partCount)> partsStarting;
  // Called after each part of a run with the part number and the part count.
  std::function<void(int partNumber, int partCount)> progress;
  // Files written by the last run, preview or help, in the order written.
  std::vector<std::string> WrittenPaths;
  // Where preview and help go; the user's temporary folder unless changed.
  std::string TempFolder;

  // Window-level state, alive as long as the window.
  std::int16_t PartCount = 0;
  std::int64_t TextLength = 0;
  std::int64_t PartLength = 0;
  std::int64_t PartStart = 0;
  std::int16_t PartNumber = 0;
  std::string OutputPath;

  // Holds RtfSource, HtmlResult, FilePrefix and DebugMode between calls.
  Converter converter;

 private:
  void MoveFirstSplitPoint(const std::u16string& text);
  bool WriteParts(const std::u16string& text);
  bool FolderExists(const std::string& folder);
  bool WriteConvertedPage(const std::string& path);
  bool Written(const std::string& path);
  bool PutInPlace(PageSet& pages);
  bool Report(const std::string& message);

  PageSet* run_ = nullptr;  // the pages of the run in progress

  RichTextBox& box_;
  PageOpener& opener_;
  MessageSink& messages_;
};

// The folder box's rule: a text that does not end in "\" or "/" gets the
// platform's separator appended ("\" on Windows, "/" elsewhere).
std::string TrailingSeparator(std::string_view text);

// The folder box's text after the folder browser: the chosen folder, or
// kCancelledFolder on cancel, always through TrailingSeparator.
std::string BrowseFolderText(FolderChooser& chooser);

// The size estimate label: "Aprox: " + rtfLength / 900 / partCount rounded
// halves away from zero + " Kb"; no number when it rounds to 0.
std::string EstimateText(std::int64_t rtfLength, int partCount);

// "" when `prefix` can start file names inside the output folder, otherwise a
// message (Spanish and English) saying what is wrong with it.
std::string PrefixProblem(std::string_view prefix);

// Upper case of a UTF-8 text (ASCII and Latin-1 letters), as page titles use it.
std::string UpperCase(std::string_view text);

// The prefix as page titles show it: upper case, with "&", "<", ">" and quotes
// escaped and every character outside ASCII as a character reference.
std::string TitlePrefix(std::string_view prefix);

// A UTF-8 text with every character outside ASCII written as a decimal
// character reference, so it reads the same whatever the page's code page.
std::string CharacterReferences(std::string_view text);

// Message shown when a page cannot be written; `detail` names the file and why.
std::string WriteFailureMessage(std::string_view detail);

}  // namespace quillet
