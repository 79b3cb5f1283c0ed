#include "builder/messages.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "builder/book_request.h"
#include "builder/text_rules.h"

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

}  // namespace

std::string Message(const Status& status) {
  const std::string first = std::to_string(status.first);
  const std::string second = std::to_string(status.second);
  switch (status.kind) {
    case StatusKind::kOk:
      return "";
    case StatusKind::kCannotRead:
      return "No se puede leer / Cannot read " + status.detail;
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
    // The formats and the prefix rule still say these in their own words.
    case StatusKind::kCancelled:
    case StatusKind::kDamaged:
    case StatusKind::kRefused:
    case StatusKind::kHelperMissing:
    case StatusKind::kHelperFailed:
    case StatusKind::kHelperTimedOut:
      return status.detail;
  }
  return status.detail;
}

std::string PartsOptionMessage(int mostParts) {
  const std::string most = std::to_string(mostParts);
  return "--parts debe ir de 1 a " + most + " / --parts must be 1 to " + most;
}

}  // namespace quillet
