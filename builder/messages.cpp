#include "builder/messages.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "builder/book_request.h"
#include "builder/text_rules.h"
#include "richtext/formats/office_reader.h"

namespace quillet {
namespace {

std::string InvalidPartCount(const std::string& count, const std::string& most) {
  return "Número de partes no válido: " + count + " (de 1 a " + most +
         ").\nInvalid number of parts: " + count + " (1 to " + most + ").";
}

std::string NoRoomForFrame(const std::string& kb, const std::string& bytes) {
  return "Páginas de " + kb + " KB no dejan sitio: la cabecera, el pie y la navegación ocupan " +
         bytes + " bytes.\nPages of " + kb + " KB leave no room: the page head, foot and " +
         "navigation take " + bytes + " bytes.";
}

std::string TooManyParts(const std::string& kb, const std::string& smallest) {
  return "Con páginas de " + kb + " KB el libro necesita más de 999 partes (o un índice mayor " +
         "que una página); el tamaño más pequeño que sirve es " + smallest +
         " KB.\nWith pages of " + kb +
         " KB the book needs more than 999 parts (or an index larger than a page); the " +
         "smallest size that fits is " + smallest + " KB.";
}

constexpr std::string_view kPageNotWritten =
    "No se pudo escribir la página; no se siguió.\n"
    "The page could not be written; nothing more was done.\n";

// What could not be done to which page, and the system's reason.
std::string PageNotWritten(std::string_view action, const Status& status) {
  return std::string(kPageNotWritten) + "No se pudo " + std::string(action) + " \"" +
         status.detail + "\": " + std::strerror(static_cast<int>(status.first));
}

// A control character or DEL is shown by its code.
std::string ShownCharacter(char32_t c) {
  if (c >= 0x20 && c != 0x7F) return std::string(1, static_cast<char>(c));
  std::array<char, 16> code{};
  std::snprintf(code.data(), code.size(), "U+%04X", static_cast<unsigned>(c));
  return code.data();
}

std::string PrefixMessage(const Status& status) {
  std::string spanish;
  std::string english;
  switch (static_cast<PrefixFault>(status.first)) {
    case PrefixFault::kEmpty:
      spanish = "está vacío";
      english = "it is empty";
      break;
    case PrefixFault::kSeparator:
      spanish = "contiene un separador de carpetas (/ o \\)";
      english = "it holds a folder separator (/ or \\)";
      break;
    case PrefixFault::kDotName:
      spanish = "\".\" y \"..\" nombran carpetas";
      english = "\".\" and \"..\" name folders";
      break;
    case PrefixFault::kNotUtf8:
      spanish = "no es texto UTF-8 válido";
      english = "it is not valid UTF-8 text";
      break;
    case PrefixFault::kForbiddenCharacter: {
      const std::string shown = ShownCharacter(static_cast<char32_t>(status.second));
      spanish = "contiene el carácter no permitido " + shown;
      english = "it holds the character " + shown + ", which file names do not allow";
      break;
    }
    case PrefixFault::kWhiteSpaceEdge:
      spanish = "empieza o termina con un espacio";
      english = "it begins or ends with white space";
      break;
    case PrefixFault::kReservedName:
      spanish = "es un nombre reservado del sistema";
      english = "it is a name the system reserves";
      break;
    case PrefixFault::kTooLong:
      spanish = "es demasiado largo";
      english = "it is too long";
      break;
  }
  return "El prefijo \"" + status.detail + "\" no sirve para nombres de archivo: " + spanish +
         ".\nThe prefix \"" + status.detail + "\" cannot start file names: " + english + ".";
}

// A ZIP archive's or an XML document's fault, inside the book.
std::string ContainerMessage(const Status& status) {
  const std::string entry = "\"" + status.detail + "\"";
  const std::string cause = status.cause;
  constexpr std::string_view kCannotReadBook = "No se puede leer el libro / Cannot read the book: ";
  // An XML document is the book itself, or an entry of its archive.
  const std::string es = status.detail.empty() ? "El archivo" : entry;
  const std::string en = status.detail.empty() ? "The file" : entry;
  switch (status.kind) {
    case StatusKind::kZipUnreadable:
      return "No se puede leer el " + status.detail + " / Cannot read the " + status.detail +
             ": el archivo ZIP está dañado / the ZIP archive is damaged (" + cause + ")";
    case StatusKind::kZipEntryMissing:
      return std::string(kCannotReadBook) + "falta " + entry + " / " + entry + " is missing";
    case StatusKind::kZipEntryDamaged:
      return std::string(kCannotReadBook) + entry + " está dañado / " + entry + " is damaged (" +
             cause + ")";
    case StatusKind::kZipEntryEncrypted:
      return std::string(kCannotReadBook) + entry + " está cifrado / " + entry + " is encrypted";
    case StatusKind::kZipBomb:
      return std::string(kCannotReadBook) + entry + " se expande demasiado, ¿una bomba ZIP? / " +
             entry + " expands too much, a ZIP bomb? (" + cause + " packed)";
    case StatusKind::kXmlEntities:
      return es + " declara entidades XML (\"" + cause + "\"), que no se leen por seguridad / " +
             en + " declares XML entities (\"" + cause +
             "\"), which are refused for safety (XML bomb, external entity)";
    case StatusKind::kXmlTooDeep:
      return es + " anida elementos a demasiada profundidad para leerse entero / " + en +
             " nests elements too deeply to be read whole";
    case StatusKind::kXmlTooManyAttributes: {
      const std::string most = std::to_string(status.first);
      return es + " tiene un elemento con más de " + most + " atributos, que no se lee / " + en +
             " has an element with more than " + most + " attributes, which is not read";
    }
    case StatusKind::kXmlTruncated:
      return es + " termina antes de tiempo: le falta el final / " + en +
             " ends too early: its end is missing (" + cause + ")";
    default:
      return es + " no es XML válido / " + en + " is not valid XML" +
             (cause.empty() ? "" : ": " + cause);
  }
}

// A helper program that did not convert the book.
std::string HelperMessage(const Status& status) {
  const std::string& name = status.detail;
  switch (status.kind) {
    case StatusKind::kHelperMissing: {
      const std::string libreoffice = "LibreOffice (" + std::string(kLibreOffice.package) + ")";
      if (status.first == 0) {
        return "Para leer " + name + " hace falta instalar " + libreoffice + " / Reading " + name +
               " needs " + libreoffice + " installed";
      }
      const std::string pandoc = "pandoc (" + std::string(kPandoc.package) + ")";
      return "Para leer " + name + " hace falta instalar " + libreoffice + " o " + pandoc +
             " / Reading " + name + " needs " + libreoffice + " or " + pandoc + " installed";
    }
    case StatusKind::kHelperNotStarted:
      return "No se pudo iniciar " + name + " / Could not start " + name;
    case StatusKind::kHelperTimedOut: {
      const std::string seconds = std::to_string(status.first);
      return name + " tardó más de " + seconds + " s y se detuvo / " + name + " took more than " +
             seconds + " s and was stopped";
    }
    case StatusKind::kHelperOutputTooLarge: {
      const std::string bytes = std::to_string(status.first);
      return name + " devolvió un documento de más de " + bytes + " bytes, que no se lee / " +
             name + " gave back a document of more than " + bytes + " bytes, which is not read";
    }
    case StatusKind::kNoTempFolder:
      return "No se pudo preparar una carpeta temporal / Could not prepare a temporary folder";
    default: {
      const std::string code = status.first == 0 ? "" : " (" + std::to_string(status.first) + ")";
      return name + " no pudo convertir el documento / " + name +
             " could not convert the document" + code +
             (status.cause.empty() ? "" : ": " + status.cause);
    }
  }
}

// The words of a failure to read a book, after the book's name.
std::string ReadingMessage(const Status& status) {
  const std::string quoted = "\"" + status.detail + "\"";
  switch (status.kind) {
    case StatusKind::kCancelled:
      return "Carga cancelada / Loading cancelled";
    case StatusKind::kTooComplex:
      if (!status.detail.empty()) {
        return "El capítulo " + quoted + " es demasiado complejo / The chapter " + quoted +
               " is too complex to read";
      }
      return "El documento es demasiado complejo / The document is too complex to read (its "
             "markup would need far more memory than its size)";
    case StatusKind::kNotFb2:
      return "El archivo no es FB2 / The file is not FB2 (no FictionBook element)";
    case StatusKind::kNotThatFormat:
      return "El archivo no es un documento " + status.detail + ", aunque su nombre lo diga / " +
             "The file is not a " + status.detail + " document, though its name says so";
    case StatusKind::kNoPackage:
      return "El EPUB no indica su paquete OPF / The EPUB names no OPF package";
    case StatusKind::kNoChapters:
      return "El EPUB no tiene capítulos que leer / The EPUB has no chapters to read";
    case StatusKind::kDrmProtected:
      return "El EPUB está protegido con DRM y no se puede leer / The EPUB is DRM-protected and "
             "cannot be read";
    case StatusKind::kZipUnreadable:
    case StatusKind::kZipEntryMissing:
    case StatusKind::kZipEntryDamaged:
    case StatusKind::kZipEntryEncrypted:
    case StatusKind::kZipBomb:
    case StatusKind::kXmlEntities:
    case StatusKind::kXmlTooDeep:
    case StatusKind::kXmlTooManyAttributes:
    case StatusKind::kXmlTruncated:
    case StatusKind::kXmlMalformed:
      return ContainerMessage(status);
    default:
      return HelperMessage(status);
  }
}

// A book file that could not be read whole.
std::string FileMessage(const Status& status) {
  std::string reason = status.cause;
  if (status.kind == StatusKind::kNotAFile) {
    reason = "no es un archivo normal ni una tubería / not a regular file or a pipe";
  } else if (status.kind == StatusKind::kInputTooLarge) {
    const std::string bytes = std::to_string(status.first);
    reason = "pasa del límite de " + bytes +
             " bytes (QUILLET_MAX_INPUT) / is larger than the limit of " + bytes +
             " bytes (QUILLET_MAX_INPUT)";
  }
  return "No se puede leer / Cannot read " + status.file + ": " + reason;
}

// A message with every control character but tab and line break a space: names
// and details come from the book and its helpers, and a terminal would act on them.
std::string Printable(std::string text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte < 0x20 && byte != '\n' && byte != '\t') || byte == 0x7F) {
      text[i] = ' ';
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      text.replace(i, 2, " ");
    }
  }
  return text;
}

std::string Words(const Status& status);

}  // namespace

std::string Message(const Status& status) {
  return Printable(Words(status));
}

namespace {

std::string Words(const Status& status) {
  const std::string first = std::to_string(status.first);
  const std::string second = std::to_string(status.second);
  switch (status.kind) {
    case StatusKind::kOk:
      return "";
    case StatusKind::kOutOfMemory:
      return "No hay memoria suficiente para este libro; el cuadro queda como estaba / Not "
             "enough memory for this book; the box is left as it was";
    case StatusKind::kUnexpected:
      if (status.detail.empty()) {
        return "Algo falló por un error inesperado; el cuadro queda como estaba / Something "
               "failed with an unexpected error; the box is left as it was";
      }
      return "Algo falló (" + status.detail +
             "); el cuadro queda como estaba / Something failed (" + status.detail +
             "); the box is left as it was";
    case StatusKind::kCannotRead:
    case StatusKind::kNotAFile:
    case StatusKind::kInputTooLarge:
      return FileMessage(status);
    case StatusKind::kBadInputLimit:
      return "QUILLET_MAX_INPUT no es un tamaño válido / is not a valid size: \"" + status.detail +
             "\"";
    case StatusKind::kInvalidPartCount:
      return InvalidPartCount(first, second);
    case StatusKind::kInvalidPrefix:
      return PrefixMessage(status);
    case StatusKind::kMissingFolder:
      return std::string(kMissingFolderMessage);
    case StatusKind::kCannotCreate:
      return PageNotWritten("crear / Could not create", status);
    case StatusKind::kCannotWrite:
      return PageNotWritten("escribir / Could not write", status);
    case StatusKind::kCannotClose:
      return PageNotWritten("cerrar / Could not close", status);
    case StatusKind::kWouldReplaceBook:
      return std::string(kPageNotWritten) + "La página \"" + status.detail +
             "\" sustituiría al libro que se está leyendo / The page \"" + status.detail +
             "\" would replace the book being read";
    case StatusKind::kNoRoomForFrame:
      return NoRoomForFrame(first, second);
    case StatusKind::kTooManyParts:
      return TooManyParts(first, second);
    case StatusKind::kStalePages: {
      const std::string names =
          status.detail + (status.first > 0 ? " (+" + first + ")" : std::string());
      return "Quedan en la carpeta páginas de un libro anterior, que este libro no enlaza: " +
             names +
             "\nPages of an earlier book are still in the folder, and this book does not link "
             "them: " +
             names;
    }
    default:
      // Everything else is about the book being read, named first when known.
      return (status.file.empty() ? "" : status.file + ": ") + ReadingMessage(status);
  }
}

}  // namespace

std::string PartsOptionMessage(int mostParts) {
  const std::string most = std::to_string(mostParts);
  return "--parts debe ir de 1 a " + most + " / --parts must be 1 to " + most;
}

std::string MaxKbOptionMessage(int largestKb) {
  const std::string largest = std::to_string(largestKb);
  return "--max-kb debe ser un número entero de 1 a " + largest +
         " / --max-kb must be a whole number from 1 to " + largest;
}

std::string OutOptionMessage() {
  return "--out necesita una carpeta / --out needs a folder";
}

std::string HelperSecondsMessage() {
  return "debe ir de 0.001 a 86400 segundos / must be 0.001 to 86400 seconds";
}

}  // namespace quillet
