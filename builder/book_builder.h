// The book builder: what the window's Generate, Preview and Help buttons do,
// kept free of widgets so that the window, the command line and the tests
// drive the same code.
//
//   BookBuilder builder(box, opener);
//   BookRequest request;
//   request.folder = "/media/card/";
//   request.partCount = 10;
//   const BookResult result = builder.Generate(request);
//   if (!result.ok()) show(Message(result.status));
//
// Every page goes through the one Converter the builder owns, so the
// converter's kept state (RtfSource, HtmlResult, FilePrefix, DebugMode)
// carries from part to part and from run to run.
#pragma once

#include <string>
#include <vector>

#include "builder/book_request.h"
#include "builder/platform.h"
#include "converter/converter.h"
#include "richtext/rich_text_box.h"

namespace quillet {

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
  Result<int> CountReaderParts(const BookRequest& request) const;

  std::string PreviewPath() const;
  std::string HelpPath() const;
  const RunValues& LastRun() const { return lastRun_; }

  // Holds RtfSource, HtmlResult, FilePrefix and DebugMode between runs.
  Converter converter;
  // Where preview and help go; the user's temporary folder unless changed.
  std::string tempFolder;

 private:
  BookResult Opened(const std::vector<std::string>& paths);

  RichTextBox& box_;
  PageOpener& opener_;
  RunValues lastRun_;
};

}  // namespace quillet
