// The desktop as the window uses it: what the caller hands in, with Qt's own
// filling every gap.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "builder/platform.h"

class QWidget;

namespace quillet {

// A null member means Qt's own.
struct WindowServices {
  PageOpener* opener = nullptr;
  MessageSink* messages = nullptr;
  FolderChooser* folders = nullptr;
  Clipboard* clipboard = nullptr;
  BookChooser* books = nullptr;
};

// The services a window was given, every gap filled by Qt's desktop, which it
// owns. The folder chooser opens at the folder `startFolder` names.
class DesktopServices {
 public:
  DesktopServices(const WindowServices& given, QWidget* owner,
                  std::function<std::string()> startFolder);
  ~DesktopServices();
  DesktopServices(const DesktopServices&) = delete;
  DesktopServices& operator=(const DesktopServices&) = delete;

  PageOpener& Opener() const { return *services_.opener; }
  MessageSink& Messages() const { return *services_.messages; }
  FolderChooser& Folders() const { return *services_.folders; }
  Clipboard& SystemClipboard() const { return *services_.clipboard; }
  BookChooser& Books() const { return *services_.books; }

 private:
  std::unique_ptr<PageOpener> ownOpener_;
  std::unique_ptr<MessageSink> ownMessages_;
  std::unique_ptr<FolderChooser> ownFolders_;
  std::unique_ptr<Clipboard> ownClipboard_;
  std::unique_ptr<BookChooser> ownBooks_;
  WindowServices services_;
};

}  // namespace quillet
