// The Qt bridge: HTML in through Qt's import, and the document model to a
// QTextDocument and back without loss.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdlib>

#include "builder/window/qt_document_bridge.h"

namespace quillet {
namespace {

TEST(QtBridgeTest, HtmlKeepsParagraphsFormatsAlignmentAndBullets) {
  const Document document = DocumentFromHtml(
      u"<p align=center><b>Título</b></p><p>uno <i>dos</i> <font color=#ff0000>tres</font></p>"
      u"<ul><li>punto</li></ul><p>línea<br>nueva</p>"_qs);
  ASSERT_EQ(document.paragraphs.size(), 4u);
  EXPECT_EQ(document.paragraphs[0].alignment, Alignment::kCenter);
  EXPECT_TRUE(document.paragraphs[0].runs.at(0).format.bold);
  EXPECT_EQ(document.paragraphs[0].runs.at(0).text, u"Título");
  const Paragraph& second = document.paragraphs[1];
  ASSERT_EQ(second.runs.size(), 4u);
  EXPECT_TRUE(second.runs[1].format.italic);
  EXPECT_EQ(second.runs[3].format.color, (Color{255, 0, 0}));
  EXPECT_TRUE(document.paragraphs[2].bullet);
  EXPECT_EQ(document.PlainText(), u"Título\nuno dos tres\npunto\nlínea\u2028nueva");
}

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

TEST(QtBridgeTest, HtmlBytesAreDecodedByTheirCharset) {
  const QByteArray latin1("<meta charset=\"iso-8859-1\"><p>ni\xf1o</p>");
  EXPECT_EQ(DecodeHtml(latin1).contains(u"niño"_qs), true);
  EXPECT_EQ(DecodeHtml(QByteArray("<p>ni\xc3\xb1o</p>")).contains(u"niño"_qs), true);
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
