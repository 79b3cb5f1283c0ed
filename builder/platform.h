// What the book builder and the window need from the desktop, as small
// interfaces: the window supplies the Qt versions, the tests recording fakes,
// the command line a desktop opener.
//
// Paths, messages and clipboard texts are UTF-8; clipboard RTF is 7-bit RTF.
#pragma once

#include <optional>
#include <string>

namespace quillet {

// The system's "Open" action: hands a written page to the default viewer and
// does not wait for it.
class PageOpener {
 public:
  virtual ~PageOpener() = default;
  virtual void Open(const std::string& path) = 0;
};

// Opens nothing, for runs whose pages are only listed.
class NoOpener : public PageOpener {
 public:
  void Open(const std::string&) override {}
};

// A modal message box with an OK button and the application's title.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(const std::string& message) = 0;
};

// The folder browser: the chosen folder, or nothing when the user cancels.
class FolderChooser {
 public:
  virtual ~FolderChooser() = default;
  virtual std::optional<std::string> ChooseFolder() = 0;
};

// The file chooser for a book to open: the chosen file, or nothing when the
// user cancels.
class BookChooser {
 public:
  virtual ~BookChooser() = default;
  virtual std::optional<std::string> ChooseBook() = 0;
};

// The clipboard's content in each format, "" when it holds none of that format.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual std::string Rtf() const = 0;
  virtual std::string Html() const = 0;
  virtual std::string Text() const = 0;
};

}  // namespace quillet
