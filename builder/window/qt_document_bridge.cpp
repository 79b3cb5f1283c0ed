#include "builder/window/qt_document_bridge.h"

#include <QColor>
#include <QGuiApplication>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <cmath>
#include <cstdlib>

#include "builder/window/html_import.h"

namespace quillet {
namespace {

// Qt marks an embedded object (an image) with this character.
constexpr char16_t kObjectReplacement = u'\uFFFC';

Alignment AlignmentOf(Qt::Alignment alignment) {
  if (alignment & Qt::AlignHCenter) return Alignment::kCenter;
  if (alignment & Qt::AlignJustify) return Alignment::kJustified;
  if (alignment & (Qt::AlignRight | Qt::AlignTrailing)) return Alignment::kRight;
  return Alignment::kLeft;
}

Qt::Alignment QtAlignment(Alignment alignment) {
  switch (alignment) {
    case Alignment::kCenter:
      return Qt::AlignHCenter;
    case Alignment::kRight:
      return Qt::AlignRight;
    case Alignment::kJustified:
      return Qt::AlignJustify;
    case Alignment::kLeft:
      break;
  }
  return Qt::AlignLeft;
}

bool IsBulletList(const QTextList* list) {
  if (list == nullptr) return false;
  const QTextListFormat::Style style = list->format().style();
  return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
         style == QTextListFormat::ListSquare;
}

CharFormat FormatOf(const QTextCharFormat& qt) {
  CharFormat format;
  format.bold = qt.fontWeight() >= QFont::Bold;
  format.italic = qt.fontItalic();
  format.underline = qt.fontUnderline();
  format.strike = qt.fontStrikeOut();
  if (qt.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
    format.vertical = VerticalPosition::kSuperscript;
  } else if (qt.verticalAlignment() == QTextCharFormat::AlignSubScript) {
    format.vertical = VerticalPosition::kSubscript;
  }
  if (qt.hasProperty(QTextFormat::ForegroundBrush) && qt.foreground().style() != Qt::NoBrush) {
    const QColor color = qt.foreground().color();
    format.color =
        Color{static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
              static_cast<std::uint8_t>(color.blue())};
  }
  if (qt.hasProperty(QTextFormat::FontPointSize) && qt.fontPointSize() > 0) {
    format.size_half_points = static_cast<int>(std::lround(qt.fontPointSize() * 2));
  }
  const QStringList families = qt.fontFamilies().toStringList();
  if (!families.isEmpty()) format.font = families.first().toStdString();
  return format;
}

QTextCharFormat QtFormat(const CharFormat& format) {
  QTextCharFormat qt;
  qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  qt.setFontItalic(format.italic);
  qt.setFontUnderline(format.underline);
  qt.setFontStrikeOut(format.strike);
  if (format.vertical == VerticalPosition::kSuperscript) {
    qt.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  } else if (format.vertical == VerticalPosition::kSubscript) {
    qt.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  }
  if (format.color)
    qt.setForeground(QColor(format.color->red, format.color->green, format.color->blue));
  qt.setFontPointSize(format.size_half_points / 2.0);
  if (!format.font.empty()) qt.setFontFamilies({QString::fromStdString(format.font)});
  return qt;
}

Paragraph ParagraphOf(const QTextBlock& block) {
  Paragraph paragraph;
  paragraph.alignment = AlignmentOf(block.blockFormat().alignment());
  paragraph.bullet = IsBulletList(block.textList());
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (!fragment.isValid()) continue;
    std::u16string text = fragment.text().toStdU16String();
    std::erase(text, kObjectReplacement);
    AppendText(paragraph, text, FormatOf(fragment.charFormat()));
  }
  return paragraph;
}

}  // namespace

Document DocumentFromQt(const QTextDocument& source) {
  Document document;
  for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
    document.paragraphs.push_back(ParagraphOf(block));
  }
  return document;
}

void DocumentToQt(const Document& document, QTextDocument& target) {
  target.clear();
  QTextCursor cursor(&target);
  QTextList* list = nullptr;
  for (std::size_t i = 0; i < document.paragraphs.size(); ++i) {
    const Paragraph& paragraph = document.paragraphs[i];
    QTextBlockFormat blockFormat;
    blockFormat.setAlignment(QtAlignment(paragraph.alignment));
    if (i == 0) {
      cursor.setBlockFormat(blockFormat);
    } else {
      cursor.insertBlock(blockFormat);
    }
    if (paragraph.bullet) {
      // Consecutive bullet paragraphs share one list, as they were typed.
      if (list == nullptr) {
        list = cursor.createList(QTextListFormat::ListDisc);
      } else {
        list->add(cursor.block());
      }
    } else {
      list = nullptr;
    }
    for (const Run& run : paragraph.runs) {
      cursor.insertText(QString::fromStdU16String(run.text), QtFormat(run.format));
    }
  }
}

Document DocumentFromHtml(const QString& html) {
  QTextDocument document;
  document.setHtml(html);
  return DocumentFromQt(document);
}

QString DecodeHtml(const QByteArray& bytes) {
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
  return decoder.decode(bytes);
}

Document ImportHtml(std::string_view bytes) {
  if (QCoreApplication::instance() == nullptr) {
    // Qt's HTML import needs a GUI application; without a display, the offscreen one.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    static int argc = 1;
    static char name[] = "quillet";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
  }
  return DocumentFromHtml(
      DecodeHtml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))));
}

}  // namespace quillet
