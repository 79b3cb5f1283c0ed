#include "builder/book_input.h"

#include <utility>

#include "builder/input_file.h"
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"

namespace quillet {
namespace {

StatusKind KindOf(LoadStatus status) {
  switch (status) {
    case LoadStatus::kLoaded:
      return StatusKind::kOk;
    case LoadStatus::kCancelled:
      return StatusKind::kCancelled;
    case LoadStatus::kDamaged:
      return StatusKind::kDamaged;
    case LoadStatus::kRefused:
      return StatusKind::kRefused;
    case LoadStatus::kHelperMissing:
      return StatusKind::kHelperMissing;
    case LoadStatus::kHelperFailed:
      return StatusKind::kHelperFailed;
    case LoadStatus::kHelperTimedOut:
      return StatusKind::kHelperTimedOut;
  }
  return StatusKind::kDamaged;
}

}  // namespace

Document RtfOrPlainText(std::string_view bytes) {
  return LooksLikeRtf(bytes) ? ReadRtf(bytes) : ReadPlainText(bytes);
}

LoadedBook LoadBookFile(const std::string& name, const LoadOptions& options) {
  InputFile file = ReadInputFile(name);
  if (!file.ok()) return {{}, file.status};
  LoadResult result = LoadBook(name, std::move(file.value), options);
  if (!result.ok()) return {{}, Failure(KindOf(result.status), std::move(result.message))};
  return {std::move(result.document), {}};
}

}  // namespace quillet
