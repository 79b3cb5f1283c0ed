#include "builder/window/window_services.h"

#include <utility>

#include "builder/window/qt_platform.h"

namespace quillet {
namespace {

// Points `slot` at `own`, made by `make`, when the caller left it empty.
template <typename Service, typename Make>
void FillGap(Service*& slot, std::unique_ptr<Service>& own, Make make) {
  if (slot != nullptr) return;
  own = make();
  slot = own.get();
}

}  // namespace

DesktopServices::DesktopServices(const WindowServices& given, QWidget* owner,
                                 std::function<std::string()> startFolder)
    : services_(given) {
  FillGap(services_.opener, ownOpener_, [] { return std::make_unique<QtPageOpener>(); });
  FillGap(services_.messages, ownMessages_,
          [owner] { return std::make_unique<QtMessageSink>(owner); });
  FillGap(services_.folders, ownFolders_, [owner, &startFolder] {
    return std::make_unique<QtFolderChooser>(owner, std::move(startFolder));
  });
  FillGap(services_.clipboard, ownClipboard_, [] { return std::make_unique<QtClipboard>(); });
  FillGap(services_.books, ownBooks_, [owner] { return std::make_unique<QtBookChooser>(owner); });
}

DesktopServices::~DesktopServices() = default;

}  // namespace quillet
