// Renders the application icon for the hicolor theme from the window's own
// drawing, so the menu and the window show the same picture:
//   quillet_render_icon NAME OUT_DIR SIZE...
// writes OUT_DIR/scalable/apps/NAME.svg and OUT_DIR/SIZExSIZE/apps/NAME.png.
// Paints into images only, so it runs at build time without a display.
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>
#include <cstdio>
#include <cstdlib>

#include "builder/window/pictures.h"

namespace {

constexpr int kDrawnSize = 16;

QString AppsFolder(const QString& root, const QString& themeSize) {
  const QString folder = root + QStringLiteral("/%1/apps").arg(themeSize);
  QDir().mkpath(folder);
  return folder;
}

bool WriteSvg(const QString& path) {
  QSvgGenerator svg;
  svg.setFileName(path);
  svg.setSize(QSize(kDrawnSize, kDrawnSize));
  svg.setViewBox(QRectF(0, 0, kDrawnSize, kDrawnSize));
  svg.setTitle(QStringLiteral("Quillet"));
  QPainter painter;
  if (!painter.begin(&svg)) return false;
  // The icon has no text, but every group carries the font; keep its size valid.
  painter.setFont(QFont(QStringLiteral("sans-serif"), 8));
  quillet::pictures::DrawIcon(painter, kDrawnSize);
  return painter.end();
}

bool WritePng(const QString& path, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    quillet::pictures::DrawIcon(painter, size);
  }
  return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: quillet_render_icon NAME OUT_DIR SIZE...\n");
    return 2;
  }
  const QString name = QString::fromLocal8Bit(argv[1]);
  const QString root = QString::fromLocal8Bit(argv[2]);
  const QString svg = AppsFolder(root, QStringLiteral("scalable")) + "/" + name + ".svg";
  if (!WriteSvg(svg)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const QString png = AppsFolder(root, QStringLiteral("%1x%1").arg(size)) + "/" + name + ".png";
    if (size <= 0 || !WritePng(png, size)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
      return 1;
    }
  }
  return 0;
}
