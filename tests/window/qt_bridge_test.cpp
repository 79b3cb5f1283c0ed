// The Qt bridge: the document model to a QTextDocument and back without loss.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdlib>

#include "builder/window/qt_document_bridge.h"

namespace quillet {
namespace {

TEST(QtBridgeTest, DocumentSurvivesTheRoundTripThroughQt) {
  Document document;
  Paragraph& first = document.paragraphs.emplace_back();
  first.alignment = Alignment::kRight;
  CharFormat format;
  format.bold = true;
  format.size_half_points = 36;
  format.color = Color{0, 51, 153};
  format.vertical = VerticalPosition::kSuperscript;
  AppendText(first, u"¡Hola!", format);
  AppendText(first, u" mundo", CharFormat{});
  for (int i = 0; i < 2; ++i) {
    Paragraph& item = document.paragraphs.emplace_back();
    item.bullet = true;
    AppendText(item, u"punto", CharFormat{});
  }
  document.paragraphs.emplace_back().runs.push_back(quillet::Run{CharFormat{}, u"fin"});

  QTextDocument qt;
  DocumentToQt(document, qt);
  EXPECT_EQ(DocumentFromQt(qt), document);
}

}  // namespace
}  // namespace quillet

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
  }
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
