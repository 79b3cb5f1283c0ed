#include "builder/book_input.h"

#include "builder/input_file.h"
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"

namespace quillet {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  const std::string_view tail = text.substr(text.size() - ending.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] + 32) : tail[i];
    if (c != ending[i]) return false;
  }
  return true;
}

}  // namespace

Document RtfOrPlainText(std::string_view bytes) {
  return LooksLikeRtf(bytes) ? ReadRtf(bytes) : ReadPlainText(bytes);
}

InputKind InputKindOf(std::string_view name, std::string_view content) {
  if (name != "-") {
    if (EndsWithNoCase(name, ".rtf")) return InputKind::kRtf;
    if (EndsWithNoCase(name, ".txt")) return InputKind::kPlainText;
    if (EndsWithNoCase(name, ".htm") || EndsWithNoCase(name, ".html")) return InputKind::kHtml;
  }
  return LooksLikeRtf(content) ? InputKind::kRtf : InputKind::kPlainText;
}

LoadedBook LoadBookFile(const std::string& name, const HtmlImport& importHtml) {
  const InputFile file = ReadInputFile(name);
  if (!file.Ok()) return {{}, file.error};
  const InputKind kind = InputKindOf(name, file.bytes);
  if (kind == InputKind::kRtf) return {RtfOrPlainText(file.bytes), std::nullopt};
  if (kind == InputKind::kPlainText) return {ReadPlainText(file.bytes), std::nullopt};
  if (!importHtml) {
    return {{},
            BookError{"esta versión no lee HTML / this build cannot read HTML (built without Qt)"}};
  }
  return {importHtml(file.bytes), std::nullopt};
}

}  // namespace quillet
