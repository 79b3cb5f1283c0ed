#include "builder/window/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

#include "builder/book_input.h"
#include "richtext/formats/book_formats.h"
#include "richtext/formats/html_reader.h"
#include "richtext/plain_text.h"

namespace quillet {

void QtPageOpener::Open(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void QtMessageSink::Show(const std::string& message) {
  QMessageBox::information(owner_, QApplication::applicationDisplayName(),
                           QString::fromStdString(message), QMessageBox::Ok);
}

std::optional<std::string> QtFolderChooser::ChooseFolder() {
  QString start;
  if (startFolder_) {
    const QString named = QDir::fromNativeSeparators(QString::fromStdString(startFolder_()));
    // "" leaves the dialog where it would open anyway.
    if (!named.isEmpty() && QDir(named).exists()) start = named;
  }
  const QString folder = QFileDialog::getExistingDirectory(owner_, kChooseFolderTitle, start);
  if (folder.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(folder).toStdString();
}

std::optional<std::string> QtBookChooser::ChooseBook() {
  QString patterns;
  for (const FormatInfo& format : ListFormats()) {
    for (const QString& extension :
         QString::fromUtf8(format.extensions.data(),
                           static_cast<qsizetype>(format.extensions.size()))
             .split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
      patterns += (patterns.isEmpty() ? QStringLiteral("*") : QStringLiteral(" *")) + extension;
    }
  }
  const QString filter = QStringLiteral("Libros / Books (%1);;Todos / All files (*)").arg(patterns);
  const QString file = QFileDialog::getOpenFileName(owner_, kOpenBookTitle, QString(), filter);
  if (file.isEmpty()) return std::nullopt;
  return file.toStdString();
}

std::string MimeClipboard::Rtf() const {
  return data_ == nullptr ? std::string() : RtfFromMimeData(*data_);
}

std::string MimeClipboard::Html() const {
  return data_ == nullptr || !data_->hasHtml() ? std::string() : data_->html().toStdString();
}

std::string MimeClipboard::Text() const {
  return data_ == nullptr || !data_->hasText() ? std::string() : data_->text().toStdString();
}

std::string QtClipboard::Rtf() const {
  return MimeClipboard(QGuiApplication::clipboard()->mimeData()).Rtf();
}

std::string QtClipboard::Html() const {
  return MimeClipboard(QGuiApplication::clipboard()->mimeData()).Html();
}

std::string QtClipboard::Text() const {
  return MimeClipboard(QGuiApplication::clipboard()->mimeData()).Text();
}

std::optional<Document> DocumentFromClipboard(const Clipboard& clipboard) {
  // Pages copied from a browser carry no RTF: their HTML, or at least their
  // text, is what the user meant to paste.
  if (std::string rtf = clipboard.Rtf(); !rtf.empty()) return RtfOrPlainText(rtf);
  if (std::string html = clipboard.Html(); !html.empty()) {
    // Qt hands the clipboard's HTML over decoded already, whatever it declares.
    HtmlDocument read = ReadHtml(html, {.utf8 = true});
    if (read.complete) return std::move(read.document);
  }
  if (std::string text = clipboard.Text(); !text.empty()) return ReadPlainText(text);
  return std::nullopt;
}

namespace {

// Windows hands clipboard data over with its terminating NUL.
std::string WithoutTrailingNuls(const QByteArray& bytes) {
  std::string text = bytes.toStdString();
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace

std::string RtfFromMimeData(const QMimeData& data) {
  // X11 and macOS programs use MIME names; Windows' own format reaches Qt
  // wrapped in a Qt MIME name.
  for (const char* format : {"text/rtf", "text/richtext", "application/rtf"}) {
    if (data.hasFormat(format)) return WithoutTrailingNuls(data.data(format));
  }
  for (const QString& format : data.formats()) {
    if (format.contains(QLatin1String("Rich Text Format"))) {
      return WithoutTrailingNuls(data.data(format));
    }
  }
  return {};
}

}  // namespace quillet
