#include "builder/window/qt_document_bridge.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

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

// The model's format of each of a document's character formats, read once: a
// book has a few dozen formats and millions of fragments.
class FormatCache {
 public:
  const CharFormat& Of(const QTextFragment& fragment) {
    const auto index = static_cast<std::size_t>(fragment.charFormatIndex());
    if (index >= formats_.size()) formats_.resize(index + 1);
    if (!formats_[index]) formats_[index] = FormatOf(fragment.charFormat());
    return *formats_[index];
  }

 private:
  std::vector<std::optional<CharFormat>> formats_;
};

Paragraph ParagraphOf(const QTextBlock& block, FormatCache& formats) {
  Paragraph paragraph;
  paragraph.alignment = AlignmentOf(block.blockFormat().alignment());
  paragraph.bullet = IsBulletList(block.textList());
  for (auto it = block.begin(); !it.atEnd(); ++it) {
    const QTextFragment fragment = it.fragment();
    if (!fragment.isValid()) continue;
    const CharFormat& format = formats.Of(fragment);
    const QString qtText = fragment.text();
    const std::u16string_view text(reinterpret_cast<const char16_t*>(qtText.utf16()),
                                   static_cast<std::size_t>(qtText.size()));
    if (text.find(kObjectReplacement) == std::u16string_view::npos) {
      AppendText(paragraph, text, format);
      continue;
    }
    std::u16string withoutObjects(text);
    std::erase(withoutObjects, kObjectReplacement);
    AppendText(paragraph, withoutObjects, format);
  }
  return paragraph;
}

}  // namespace

Document DocumentFromQt(const QTextDocument& source) {
  Document document;
  document.paragraphs.reserve(static_cast<std::size_t>(source.blockCount()));
  FormatCache formats;
  for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
    document.paragraphs.push_back(ParagraphOf(block, formats));
  }
  return document;
}

void DocumentToQt(const Document& document, QTextDocument& target) {
  target.clear();
  QTextCursor cursor(&target);
  // One change for the whole document: the layout and the cursors hear of it once.
  cursor.beginEditBlock();
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
    for (const RunView run : paragraph.Runs()) {
      cursor.insertText(
          QString::fromUtf16(run.text.data(), static_cast<qsizetype>(run.text.size())),
          QtFormat(run.format));
    }
  }
  cursor.endEditBlock();
}

}  // namespace quillet
