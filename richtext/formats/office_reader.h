// Reads word-processor documents (DOCX, ODT, DOC, WPD, SXW) through a helper:
// LibreOffice converts them to RTF, which the RTF reader reads; when LibreOffice
// is not installed, pandoc converts DOCX and ODT to HTML for the HTML reader.
// The document is copied into a private folder under a fixed name, so that
// neither the book's own name nor its folder is ever given to the helper.
#pragma once

#include <string_view>

#include "richtext/formats/book_formats.h"

namespace quillet {

struct OfficeHelper {
  std::string_view program;
  std::string_view package;
};

inline constexpr OfficeHelper kLibreOffice = {"soffice", "libreoffice-writer-nogui"};
inline constexpr OfficeHelper kPandoc = {"pandoc", "pandoc"};

// True for the formats pandoc reads when LibreOffice is missing.
bool PandocReads(BookFormat format);

LoadResult ReadOfficeDocument(BookFormat format, std::string_view bytes,
                              const LoadOptions& options);

}  // namespace quillet
