// The installed icons are the window's own picture: the PNGs at every size and
// the SVG, rendered, show what the window draws.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include "builder/window/pictures.h"

namespace quillet {
namespace {

QString PngPath(int size) {
  return QStringLiteral(QUILLET_ICON_DIR "/%1x%1/apps/" QUILLET_APP_ID ".png").arg(size);
}

QImage Normalised(const QImage& image) {
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Mean difference per channel, 0 to 255.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
    }
  }
  return sum / (4.0 * a.width() * a.height());
}

}  // namespace

class IconTest : public QObject {
  Q_OBJECT

 private slots:
  void pngIsTheWindowsPicture_data();
  void pngIsTheWindowsPicture();
  void windowIconIsTheInstalledPng_data();
  void windowIconIsTheInstalledPng();
  void svgShowsTheSamePicture_data();
  void svgShowsTheSamePicture();
};

void IconTest::pngIsTheWindowsPicture_data() {
  QTest::addColumn<int>("size");
  for (int size : {16, 32, 48, 64, 128, 256}) QTest::newRow(qPrintable(PngPath(size))) << size;
}

void IconTest::pngIsTheWindowsPicture() {
  QFETCH(int, size);
  const QImage installed(PngPath(size));
  QVERIFY2(!installed.isNull(), "the PNG cannot be read");
  QCOMPARE(installed.size(), QSize(size, size));
  QCOMPARE(Normalised(installed), Normalised(pictures::IconPixmap(size).toImage()));
}

void IconTest::windowIconIsTheInstalledPng_data() {
  QTest::addColumn<int>("size");
  QTest::newRow("16 px") << 16;
  QTest::newRow("32 px, dense screens") << 32;
}

void IconTest::windowIconIsTheInstalledPng() {
  QFETCH(int, size);
  const QImage shown = pictures::WindowIcon().pixmap(size, size).toImage();
  QCOMPARE(Normalised(shown), Normalised(QImage(PngPath(size))));
}

void IconTest::svgShowsTheSamePicture_data() {
  QTest::addColumn<int>("size");
  for (int size : {16, 64, 256})
    QTest::newRow(qPrintable(QStringLiteral("%1 px").arg(size))) << size;
}

void IconTest::svgShowsTheSamePicture() {
  QFETCH(int, size);
  QSvgRenderer svg(QStringLiteral(QUILLET_ICON_DIR "/scalable/apps/" QUILLET_APP_ID ".svg"));
  QVERIFY2(svg.isValid(), "the SVG cannot be read");
  QImage rendered(size, size, QImage::Format_ARGB32_Premultiplied);
  rendered.fill(Qt::transparent);
  {
    QPainter painter(&rendered);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
  }
  // Antialiasing may differ along edges; a lost shape or colour costs far more.
  const double difference = MeanDifference(Normalised(QImage(PngPath(size))), rendered);
  QVERIFY2(difference < 0.25, qPrintable(QStringLiteral("mean difference %1").arg(difference)));
}

}  // namespace quillet

QTEST_MAIN(quillet::IconTest)
#include "icon_test.moc"
