#include "builder/window/pictures.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace quillet::pictures {
namespace {

constexpr QSize kBackgroundSize(530, 233);

// The console's body: dark slate, a shade deeper than the window's blue-grey.
const QColor kBodyTop(74, 85, 96);
const QColor kBodyBottom(43, 50, 57);
const QColor kBodyEdge(28, 33, 38);
const QColor kBezel(20, 24, 28);
const QColor kEngraving(142, 156, 168);

// The four symbols keep to muted colours that sit on light grey discs.
QColor SymbolColor(Symbol symbol) {
  switch (symbol) {
    case Symbol::kTriangle:
      return {38, 150, 128};
    case Symbol::kSquare:
      return {196, 86, 150};
    case Symbol::kCircle:
      return {208, 72, 62};
    case Symbol::kCross:
      return {62, 110, 196};
    case Symbol::kHelp:
      break;
  }
  return {230, 236, 240};
}

QPainterPath RoundedRect(const QRectF& rect, qreal radius) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  return path;
}

void DrawBody(QPainter& painter, const QRectF& body) {
  const qreal radius = 72;
  const QPainterPath outline = RoundedRect(body, radius);

  // A soft shadow on the window's colour, built from a few offset layers.
  painter.setPen(Qt::NoPen);
  for (int layer = 3; layer >= 1; --layer) {
    painter.setBrush(QColor(20, 30, 40, 22));
    painter.drawPath(RoundedRect(
        body.translated(0, layer * 1.2).adjusted(-layer * 0.4, 0, layer * 0.4, 0), radius));
  }

  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0, kBodyTop);
  fill.setColorAt(1, kBodyBottom);
  painter.setBrush(fill);
  painter.setPen(QPen(kBodyEdge, 1.2));
  painter.drawPath(outline);

  // A thin light rim along the upper edge, as on moulded plastic.
  painter.setBrush(Qt::NoBrush);
  QLinearGradient rim(body.topLeft(), body.bottomLeft());
  rim.setColorAt(0, QColor(255, 255, 255, 70));
  rim.setColorAt(0.5, QColor(255, 255, 255, 0));
  painter.setPen(QPen(QBrush(rim), 1.0));
  painter.drawPath(RoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1.5));
}

void DrawScreen(QPainter& painter, const QRectF& screen) {
  const QRectF bezel = screen.adjusted(-9, -9, 9, 9);
  QLinearGradient bezelFill(bezel.topLeft(), bezel.bottomLeft());
  bezelFill.setColorAt(0, kBezel.lighter(130));
  bezelFill.setColorAt(1, kBezel);
  painter.setPen(QPen(QColor(12, 14, 17), 1));
  painter.setBrush(bezelFill);
  painter.drawRoundedRect(bezel, 8, 8);
  // Glass edge around the box itself.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(110, 125, 138, 150), 1));
  painter.drawRoundedRect(screen.adjusted(-2.5, -2.5, 2.5, 2.5), 2, 2);
  // A faint reflection across the upper bezel.
  QLinearGradient gloss(bezel.topLeft(), QPointF(bezel.left(), bezel.top() + 9));
  gloss.setColorAt(0, QColor(255, 255, 255, 36));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(gloss);
  painter.drawRoundedRect(QRectF(bezel.left() + 1, bezel.top() + 1, bezel.width() - 2, 8), 7, 7);
}

void DrawWordmark(QPainter& painter, const QRectF& screen, qreal bodyBottom) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(9);
  font.setBold(true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  painter.setFont(font);
  painter.setPen(kEngraving);
  const QRectF band(screen.left(), screen.bottom() + 9, screen.width(),
                    bodyBottom - screen.bottom() - 9);
  painter.drawText(band, Qt::AlignCenter, QStringLiteral("QUILLET"));
}

void DrawSpeaker(QPainter& painter, QPointF centre) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(22, 26, 30, 200));
  for (int row = -1; row <= 1; ++row) {
    for (int column = -2; column <= 2; ++column) {
      if (std::abs(row) + std::abs(column) > 2) continue;
      painter.drawEllipse(centre + QPointF(column * 5.0, row * 5.0), 1.3, 1.3);
    }
  }
}

void DrawButtonWell(QPainter& painter, const QRectF& buttons) {
  // A shallow dish holding the four face buttons.
  const QPointF centre = buttons.center();
  const qreal radius = std::max(buttons.width(), buttons.height()) / 2 + 5;
  QRadialGradient dish(centre, radius);
  dish.setColorAt(0, QColor(30, 35, 40, 120));
  dish.setColorAt(0.85, QColor(30, 35, 40, 70));
  dish.setColorAt(1, QColor(30, 35, 40, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(dish);
  painter.drawEllipse(centre, radius, radius);
}

void DrawSymbol(QPainter& painter, const QRectF& box, Symbol symbol, const QColor& color) {
  const QPointF c = box.center();
  const qreal r = box.width() * 0.26;
  QPen pen(color, std::max<qreal>(1.4, box.width() * 0.075), Qt::SolidLine, Qt::RoundCap,
           Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  switch (symbol) {
    case Symbol::kTriangle: {
      const qreal h = r * 1.8;
      QPolygonF triangle;
      triangle << QPointF(c.x(), c.y() - h * 0.58) << QPointF(c.x() + h * 0.58, c.y() + h * 0.42)
               << QPointF(c.x() - h * 0.58, c.y() + h * 0.42);
      painter.drawPolygon(triangle);
      break;
    }
    case Symbol::kSquare:
      painter.drawRect(QRectF(c.x() - r * 0.85, c.y() - r * 0.85, r * 1.7, r * 1.7));
      break;
    case Symbol::kCircle:
      painter.drawEllipse(c, r * 0.95, r * 0.95);
      break;
    case Symbol::kCross: {
      const qreal d = r * 0.9;
      painter.drawLine(QPointF(c.x() - d, c.y() - d), QPointF(c.x() + d, c.y() + d));
      painter.drawLine(QPointF(c.x() - d, c.y() + d), QPointF(c.x() + d, c.y() - d));
      break;
    }
    case Symbol::kHelp: {
      painter.setPen(QPen(color, 1.2));
      painter.drawEllipse(box.adjusted(0.6, 0.6, -0.6, -0.6));
      QFont font(QStringLiteral("DejaVu Sans"));
      font.setPixelSize(static_cast<int>(box.height() * 0.75));
      font.setBold(true);
      painter.setFont(font);
      painter.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
  }
}

// The disc of a face button, lit from above; pressed buttons sink.
void DrawDisc(QPainter& painter, const QRectF& disc, ButtonState state) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 90));
  painter.drawEllipse(disc.translated(0, state.pressed ? 0.4 : 1.2));

  QRadialGradient face(disc.center() - QPointF(0, disc.height() * 0.25), disc.width() * 0.75);
  QColor top(236, 240, 243);
  QColor bottom(176, 186, 194);
  if (!state.enabled) {
    top = QColor(150, 158, 165);
    bottom = QColor(112, 121, 129);
  } else if (state.pressed) {
    top = QColor(196, 204, 210);
    bottom = QColor(150, 161, 170);
  } else if (state.hovered) {
    top = QColor(248, 250, 252);
  }
  face.setColorAt(0, top);
  face.setColorAt(1, bottom);
  painter.setBrush(face);
  painter.setPen(QPen(QColor(24, 28, 32), 1));
  painter.drawEllipse(disc);
  if (state.focused) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 180), 1, Qt::DotLine));
    painter.drawEllipse(disc.adjusted(2, 2, -2, -2));
  }
}

}  // namespace

QPixmap Background(const ConsoleLayout& layout) {
  QPixmap picture(kBackgroundSize);
  picture.fill(kWindowColor);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);

  const QRectF body(3.5, 5.5, kBackgroundSize.width() - 7, kBackgroundSize.height() - 11);
  DrawBody(painter, body);
  DrawScreen(painter, QRectF(layout.screen));
  DrawWordmark(painter, QRectF(layout.screen), body.bottom());
  DrawButtonWell(painter, QRectF(layout.buttons));
  const QPointF padCentre = QRectF(layout.pad).center();
  DrawSpeaker(painter, QPointF(padCentre.x(), layout.pad.bottom() + 30));
  DrawSpeaker(painter, QPointF(QRectF(layout.buttons).center().x(), layout.buttons.bottom() + 30));
  return picture;
}

void DrawIcon(QPainter& painter, qreal size) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  // The console seen from the front: body, screen and two face buttons.
  const QRectF body(0.5, 4, 15, 8.5);
  painter.setPen(QPen(kBodyEdge, 0.6));
  QLinearGradient fill(body.topLeft(), body.bottomLeft());
  fill.setColorAt(0, kBodyTop.lighter(115));
  fill.setColorAt(1, kBodyBottom);
  painter.setBrush(fill);
  painter.drawRoundedRect(body, 4, 4);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(205, 222, 232));
  painter.drawRect(QRectF(4.2, 5.5, 7.6, 5.5));
  painter.setBrush(SymbolColor(Symbol::kCircle));
  painter.drawEllipse(QPointF(13.6, 7.4), 0.9, 0.9);
  painter.setBrush(SymbolColor(Symbol::kCross));
  painter.drawEllipse(QPointF(13.0, 9.6), 0.9, 0.9);
  painter.setBrush(QColor(180, 190, 198));
  painter.drawEllipse(QPointF(2.4, 8.2), 1.2, 1.2);
  painter.restore();
}

QPixmap IconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  DrawIcon(painter, size);
  return pixmap;
}

QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 32}) icon.addPixmap(IconPixmap(size));
  return icon;
}

void DrawFaceButton(QPainter& painter, const QRectF& box, Symbol symbol, ButtonState state) {
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF disc = box.adjusted(1, 0.5, -1, -1.5);
  DrawDisc(painter, disc, state);
  const QColor color = state.enabled ? SymbolColor(symbol) : QColor(84, 92, 99);
  DrawSymbol(painter, disc.translated(0, state.pressed ? 0.6 : 0), symbol, color);
}

void DrawHelpButton(QPainter& painter, const QRectF& box, const QString& caption,
                    ButtonState state) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QRectF face = box.adjusted(0.5, 0.5, -0.5, -1.5);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 90));
  painter.drawRoundedRect(face.translated(0, 1), 7, 7);
  QLinearGradient fill(face.topLeft(), face.bottomLeft());
  fill.setColorAt(0, state.pressed ? QColor(60, 70, 80) : QColor(92, 105, 117));
  fill.setColorAt(1, state.pressed ? QColor(44, 52, 60) : QColor(58, 68, 78));
  painter.setBrush(fill);
  painter.setPen(QPen(QColor(24, 28, 32), 1));
  painter.drawRoundedRect(face, 7, 7);
  if (state.hovered && !state.pressed) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.drawRoundedRect(face.adjusted(1, 1, -1, -1), 6, 6);
  }
  if (state.focused) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 180), 1, Qt::DotLine));
    painter.drawRoundedRect(face.adjusted(2, 2, -2, -2), 5, 5);
  }

  const QColor ink = state.enabled ? QColor(232, 238, 242) : QColor(140, 150, 158);
  const QFontMetricsF metrics(painter.font());
  const qreal contentHeight = kHelpPictureSize + 1 + metrics.height();
  const qreal top = face.top() + (face.height() - contentHeight) / 2 + (state.pressed ? 0.6 : 0);
  const QRectF picture(face.center().x() - kHelpPictureSize / 2.0, top, kHelpPictureSize,
                       kHelpPictureSize);
  DrawSymbol(painter, picture, Symbol::kHelp, QColor(250, 214, 120));
  painter.setPen(ink);
  painter.drawText(QRectF(face.left(), picture.bottom() + 1, face.width(), metrics.height()),
                   Qt::AlignCenter, caption);
}

void DrawPad(QPainter& painter, const QRectF& box) {
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF ring = box.adjusted(1, 1, -1, -1);
  QRadialGradient dish(ring.center(), ring.width() / 2);
  dish.setColorAt(0, QColor(34, 40, 46));
  dish.setColorAt(0.8, QColor(44, 51, 58));
  dish.setColorAt(1, QColor(60, 69, 78));
  painter.setBrush(dish);
  painter.setPen(QPen(QColor(22, 26, 30), 1.2));
  painter.drawEllipse(ring);
  // Four small arrows, the pad's directions.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(120, 134, 146));
  const QPointF c = ring.center();
  const qreal rx = ring.width() / 2 - 7;
  const qreal ry = ring.height() / 2 - 7;
  for (int quarter = 0; quarter < 4; ++quarter) {
    const qreal angle = quarter * M_PI / 2;
    const QPointF tip(c.x() + std::cos(angle) * rx, c.y() - std::sin(angle) * ry);
    const QPointF inward(-std::cos(angle) * 4, std::sin(angle) * 4);
    const QPointF side(std::sin(angle) * 3.5, std::cos(angle) * 3.5);
    painter.drawPolygon(QPolygonF() << tip << tip + inward + side << tip + inward - side);
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(255, 255, 255, 30), 1));
  painter.drawEllipse(ring.adjusted(2, 2, -2, -2));
}

}  // namespace quillet::pictures
