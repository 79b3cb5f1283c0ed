// Hands pages to the desktop's default viewer, for the command line's --open.
#pragma once

#include <string>

#include "builder/platform.h"

namespace quillet {

class DesktopOpener : public PageOpener {
 public:
  // Starts the viewer and returns at once; a viewer that cannot be started is
  // ignored, like the system's "Open" action.
  void Open(const std::string& path) override;
};

}  // namespace quillet
