// Every picture of the window, drawn in code: the console behind the input
// box, the round pad, the face buttons and their symbols, and the icon.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QFont;
class QPainter;

namespace quillet::pictures {

// The window's colour around the picture.
inline const QColor kWindowColor(179, 192, 199);

// Where the parts of the console go, in the window's coordinates.
struct ConsoleLayout {
  QRect screen;   // the input box, framed by the console's screen
  QRect pad;      // the round pad on the left
  QRect buttons;  // the diamond of face buttons on the right
};

// The console picture, 530 × 233.
QPixmap Background(const ConsoleLayout& layout);

// The window icon, 16 × 16 with a 32 × 32 version for dense screens.
QIcon WindowIcon();
// The icon's picture on a transparent square of `size` pixels; drawn for 16 and
// scaled, so that the window, the installed PNGs and the SVG all show the same.
void DrawIcon(QPainter& painter, qreal size);
QPixmap IconPixmap(int size);

enum class Symbol { kTriangle, kSquare, kCircle, kCross, kHelp };

struct ButtonState {
  bool enabled = true;
  bool hovered = false;
  bool pressed = false;
  bool focused = false;
};

// A round face button carrying its symbol.
void DrawFaceButton(QPainter& painter, const QRectF& box, Symbol symbol, ButtonState state);

// The pad's centre button: a small question-mark picture over its caption.
void DrawHelpButton(QPainter& painter, const QRectF& box, const QString& caption,
                    ButtonState state);
// Size of the help button's picture, which sits above its caption.
inline constexpr int kHelpPictureSize = 12;

// The pad around the help button.
void DrawPad(QPainter& painter, const QRectF& box);

}  // namespace quillet::pictures
