#include "builder/book_input.h"

#include <utility>

#include "builder/input_file.h"
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"

namespace quillet {
Document RtfOrPlainText(std::string_view bytes) {
  return LooksLikeRtf(bytes) ? ReadRtf(bytes) : ReadPlainText(bytes);
}

LoadedBook LoadBookFile(const std::string& name, const LoadOptions& options) {
  InputFile file = ReadInputFile(name);
  if (!file.ok()) return {{}, file.status};
  LoadResult result = LoadBook(name, std::move(file.value), options);
  if (!result.ok()) return {{}, std::move(result.status)};
  return {std::move(result.document), {}};
}

}  // namespace quillet
