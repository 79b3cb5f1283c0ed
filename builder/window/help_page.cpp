#include "builder/window/help_page.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "builder/window/pictures.h"

namespace quillet {
namespace {

QString PngDataUrl(const QByteArray& png) {
  return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// A button as the window draws it, at twice its size for sharpness.
QString SymbolPicture(pictures::Symbol symbol) {
  const bool help = symbol == pictures::Symbol::kHelp;
  const QSize size = help ? QSize(33, 36) : QSize(23, 23);
  QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.scale(2, 2);
    if (help) {
      QFont font(QStringLiteral("DejaVu Sans"));
      font.setPixelSize(10);
      painter.setFont(font);
      pictures::DrawHelpButton(painter, QRectF(QPointF(0, 0), size), QStringLiteral("Help"), {});
    } else {
      pictures::DrawFaceButton(painter, QRectF(QPointF(0, 0), size), symbol, {});
    }
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\" alt=\"\">")
      .arg(PngDataUrl(png))
      .arg(size.width() * 3 / 2)
      .arg(size.height() * 3 / 2);
}

QString ButtonRow(pictures::Symbol symbol, const QString& name, const QString& spanish,
                  const QString& english) {
  return QStringLiteral(
             "<tr>\n<td>%1</td>\n<td><b>%2</b></td>\n<td>%3<br>\n<i>%4</i></td>\n</tr>\n")
      .arg(SymbolPicture(symbol), name, spanish, english);
}

constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="es">
<head>
<meta charset="us-ascii">
<title>Quillet - Ayuda / Help</title>
<style>
body { background-color: #333333; color: #e8e8e8; text-align: center;
       font-family: Verdana, "DejaVu Sans", Arial, sans-serif; font-size: 14px; margin: 24px; }
h1 { color: #ffffff; letter-spacing: 2px; margin-bottom: 4px; }
h2 { color: #b3c0c7; border-bottom: 1px solid #5a5a5a; padding-bottom: 4px;
     width: 70%; margin: 32px auto 12px auto; }
p, ul { max-width: 620px; margin-left: auto; margin-right: auto; line-height: 1.45; }
ul { text-align: left; }
table { margin: 0 auto; border-collapse: collapse; border: 2px solid #b3c0c7; }
td { border: 1px solid #8a969d; padding: 6px 12px; text-align: left; vertical-align: middle; }
code { color: #ffe08a; }
.en { color: #c9d3d8; }
.version { color: #9a9a9a; margin-top: 36px; font-size: 12px; }
</style>
</head>
<body>
)";

constexpr const char* kIntroduction = R"(<h1>QUILLET</h1>
<div>Libros Web para PSP &middot; Web books for the PSP</div>

<p class="en">Quillet cuts a large text, such as an e-book, into many small HTML files
that the handheld's web browser can read one at a time without running out of memory.
When you choose two or more parts, it also makes an index file that links them all.</p>

<p>Quillet corta un texto grande, como un libro electr&oacute;nico, en muchos archivos
HTML peque&ntilde;os que el navegador de la consola puede leer uno a uno sin quedarse sin
memoria. Si escoges dos o m&aacute;s partes, tambi&eacute;n crea un archivo &iacute;ndice
que enlaza todas las partes.</p>

<h2>Botones / Buttons</h2>
<table>
)";

constexpr const char* kRest = R"(</table>

<h2>Libros que abre / Books it opens</h2>
<p>Pega el libro, arr&aacute;stralo a la ventana o &aacute;brelo con <b>Ctrl+O</b>: RTF,
texto, HTML, Markdown, EPUB, FB2, y con LibreOffice (o pandoc) DOCX, ODT, DOC, WPD y SXW.
Si tarda, <b>Cancelar</b> lo detiene.</p>
<p class="en">Paste the book, drop its file on the window or open it with <b>Ctrl+O</b>:
RTF, plain text, HTML, Markdown, EPUB, FB2, and with LibreOffice (or pandoc) DOCX, ODT,
DOC, WPD and SXW. If it takes long, <b>Cancel</b> stops it.</p>

<h2>Ideas para la pr&oacute;xima versi&oacute;n / Ideas for the next version</h2>
<ul>
<li>Divisi&oacute;n por cap&iacute;tulos. <span class="en">Split by chapters.</span></li>
<li>Escoger el color de fondo. <span class="en">A choice of background colour.</span></li>
<li>Tus sugerencias. <span class="en">Your suggestions: tell us what you would like.</span></li>
</ul>

<h2>C&oacute;mo leer el libro / How to read the book</h2>
<p>Copia la carpeta de salida, con todos sus archivos, a la carpeta com&uacute;n
(<code>COMMON</code>) de la tarjeta de memoria de la consola. En el navegador de la consola
escribe la direcci&oacute;n del archivo, por ejemplo
<code>file:/COMMON/Libro/Libro.html</code>, y gu&aacute;rdala como favorito para volver al
libro cuando quieras.</p>
<p class="en">Copy the output folder, with all its files, into the common folder
(<code>COMMON</code>) on the handheld's memory card. In the handheld's browser type the
file's address, for example <code>file:/COMMON/Libro/Libro.html</code>, and store it as a
favourite to come back to the book whenever you like.</p>
)";

constexpr const char* kScreenshotsHead = R"(
<h2>Pantallas / Screenshots</h2>
<p>Pega el texto en la pantalla de la consola, escoge las opciones y pulsa
<b>[X]</b>.<br>
<span class="en">Paste the text into the console's screen, choose the options and press
<b>[X]</b>.</span></p>
)";

constexpr const char* kFoot = R"(
<p class="version">Quillet &middot; versi&oacute;n / version 1.0</p>
</body>
</html>)";

}  // namespace

QString HelpPage(const QByteArray& windowPng) {
  using pictures::Symbol;
  QString page = QString::fromLatin1(kHead) + QString::fromLatin1(kIntroduction);
  page += ButtonRow(Symbol::kTriangle, QStringLiteral("TRIANGULO"),
                    QStringLiteral("Pega el texto del portapapeles."),
                    QStringLiteral("Pastes the text from the clipboard."));
  page += ButtonRow(Symbol::kSquare, QStringLiteral("CUADRADO"),
                    QStringLiteral("Limpia la pantalla: proyecto nuevo."),
                    QStringLiteral("Clears the screen: new project."));
  page += ButtonRow(Symbol::kCircle, QStringLiteral("CIRCULO"),
                    QStringLiteral("Vista previa en HTML, en una sola parte."),
                    QStringLiteral("HTML preview, in one part only."));
  page += ButtonRow(Symbol::kCross, QStringLiteral("EQUIS [X]"),
                    QStringLiteral("Crea los archivos HTML a partir del texto. Se activa "
                                   "cuando has escogido la carpeta de salida."),
                    QStringLiteral("Makes the HTML files from the text. It becomes active "
                                   "once the output folder has been chosen."));
  page += ButtonRow(Symbol::kHelp, QStringLiteral("AYUDA ?"), QStringLiteral("Muestra esta ayuda."),
                    QStringLiteral("Shows this help."));
  page += QString::fromLatin1(kRest);
  page += QString::fromLatin1(kScreenshotsHead);
  if (!windowPng.isEmpty()) {
    page += QStringLiteral(
                "<p><img src=\"%1\" alt=\"Quillet\" style=\"border: 1px solid "
                "#8a969d;\"></p>\n")
                .arg(PngDataUrl(windowPng));
  }
  page += QString::fromLatin1(kFoot);
  return page;
}

}  // namespace quillet
