#include "builder/window/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>

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

std::string QtClipboard::Rtf() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data == nullptr ? std::string() : RtfFromMimeData(*data);
}

std::string QtClipboard::Html() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data == nullptr || !data->hasHtml() ? std::string() : data->html().toStdString();
}

std::string QtClipboard::Text() const {
  return QGuiApplication::clipboard()->text().toStdString();
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
