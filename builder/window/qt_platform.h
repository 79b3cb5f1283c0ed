// The desktop as Qt offers it, behind the book builder's platform interfaces.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "builder/platform.h"
#include "richtext/document.h"

class QMimeData;
class QWidget;

namespace quillet {

// Title of the folder chooser.
inline constexpr const char* kChooseFolderTitle = "Seleccione la Carpeta";

// Opens a page with the desktop's default handler for its type.
class QtPageOpener : public PageOpener {
 public:
  void Open(const std::string& path) override;
};

// A modal message box with OK, titled with the application's name.
class QtMessageSink : public MessageSink {
 public:
  explicit QtMessageSink(QWidget* owner) : owner_(owner) {}
  void Show(const std::string& message) override;

 private:
  QWidget* owner_;
};

// The desktop's folder chooser; only existing folders can be picked. It opens
// at the folder `startFolder` names when that folder exists.
class QtFolderChooser : public FolderChooser {
 public:
  explicit QtFolderChooser(QWidget* owner, std::function<std::string()> startFolder = {})
      : owner_(owner), startFolder_(std::move(startFolder)) {}
  std::optional<std::string> ChooseFolder() override;

 private:
  QWidget* owner_;
  std::function<std::string()> startFolder_;
};

// Title of the book chooser.
inline constexpr const char* kOpenBookTitle = "Abrir libro / Open book";

// The desktop's file chooser, showing the files of every format Quillet reads.
class QtBookChooser : public BookChooser {
 public:
  explicit QtBookChooser(QWidget* owner) : owner_(owner) {}
  std::optional<std::string> ChooseBook() override;

 private:
  QWidget* owner_;
};

// The formats of one piece of Qt's MIME data: the clipboard's, or a drop's.
class MimeClipboard : public Clipboard {
 public:
  explicit MimeClipboard(const QMimeData* data) : data_(data) {}
  // Under any of the names programs use for RTF.
  std::string Rtf() const override;
  std::string Html() const override;
  std::string Text() const override;

 private:
  const QMimeData* data_;
};

// The system clipboard.
class QtClipboard : public Clipboard {
 public:
  std::string Rtf() const override;
  std::string Html() const override;
  std::string Text() const override;
};

// A clipboard's formats read once, to be read again on another thread.
class ClipboardCopy : public Clipboard {
 public:
  explicit ClipboardCopy(const Clipboard& source)
      : rtf_(source.Rtf()), html_(source.Html()), text_(source.Text()) {}
  std::string Rtf() const override { return rtf_; }
  std::string Html() const override { return html_; }
  std::string Text() const override { return text_; }

 private:
  std::string rtf_, html_, text_;
};

// The RTF a clipboard or drag offers under any of the names programs use for
// it, "" when it holds none.
std::string RtfFromMimeData(const QMimeData& data);

// What a paste puts into the box, by the one order of formats: the clipboard's
// RTF, else its HTML, else its plain text; nothing when it holds none of them.
std::optional<Document> DocumentFromClipboard(const Clipboard& clipboard);

}  // namespace quillet
