// The help page the Help button writes: Spanish and English, light text on
// dark grey, with pictures of the buttons and of the window itself.
#pragma once

#include <QByteArray>
#include <QString>

namespace quillet {

// The whole page; `windowPng` is a picture of the window for the screenshots
// section, left out when empty. Pure ASCII: every other character is an entity.
QString HelpPage(const QByteArray& windowPng);

}  // namespace quillet
