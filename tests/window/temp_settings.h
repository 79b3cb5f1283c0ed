// Window tests keep the window's settings in a folder of their own, emptied
// before every test function, so that no test sees another's or the user's.
#pragma once

#include <QSettings>
#include <QTemporaryDir>

namespace quillet::testing {

class TempSettings {
 public:
  TempSettings() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path()); }
  void Clear() const {
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillet"),
              QStringLiteral("quillet"))
        .clear();
  }

 private:
  QTemporaryDir folder_;
};

}  // namespace quillet::testing
