#include "builder/window/face_button.h"

#include <QMouseEvent>
#include <QPainter>

namespace quillet {

FaceButton::FaceButton(pictures::Symbol symbol, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_Hover);
}

QSize FaceButton::sizeHint() const {
  if (symbol_ != pictures::Symbol::kHelp) return {23, 23};
  // The picture above the caption, with a small margin all round.
  constexpr int kMargin = 3;
  const QFontMetrics metrics = fontMetrics();
  const int width = std::max(pictures::kHelpPictureSize, metrics.horizontalAdvance(text()));
  return {width + 2 * kMargin, pictures::kHelpPictureSize + 1 + metrics.height() + 2 * kMargin};
}

void FaceButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  const pictures::ButtonState state{isEnabled(), hovered_, isDown(), hasFocus()};
  if (symbol_ == pictures::Symbol::kHelp) {
    pictures::DrawHelpButton(painter, rect(), text(), state);
  } else {
    pictures::DrawFaceButton(painter, rect(), symbol_, state);
  }
}

bool FaceButton::hitButton(const QPoint& position) const {
  if (symbol_ == pictures::Symbol::kHelp) return rect().contains(position);
  // Only the disc answers, not the corners around it.
  const QPointF offset = QPointF(position) - QRectF(rect()).center();
  const qreal radius = width() / 2.0;
  return offset.x() * offset.x() + offset.y() * offset.y() <= radius * radius;
}

void FaceButton::mouseDoubleClickEvent(QMouseEvent* event) {
  event->accept();
}

void FaceButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void FaceButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

PadShape::PadShape(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PadShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  pictures::DrawPad(painter, rect());
}

}  // namespace quillet
