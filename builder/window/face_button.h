// The console's buttons and the pad around the help button, painted with the
// pictures of pictures.h instead of the style's push buttons.
#pragma once

#include <QAbstractButton>
#include <QWidget>

#include "builder/window/pictures.h"

namespace quillet {

// A face button with its symbol, or the pad's help button with its caption.
class FaceButton : public QAbstractButton {
  Q_OBJECT

 public:
  FaceButton(pictures::Symbol symbol, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& position) const override;
  // The second press of a double click is not a press of its own.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  pictures::Symbol symbol_;
  bool hovered_ = false;
};

// The decorative pad; it lets every click through to what lies under it.
class PadShape : public QWidget {
  Q_OBJECT

 public:
  explicit PadShape(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace quillet
