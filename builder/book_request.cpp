#include "builder/book_request.h"

#include "builder/reader/reader_book.h"

namespace quillet {

ReaderMode ReaderMode::All() {
  return {reader::kDefaultMaxKb, true, true, true};
}

int MostParts(bool readerMode) {
  return readerMode ? reader::kMaxParts : 99;
}

Status CheckPartCount(int partCount, bool readerMode) {
  const int most = MostParts(readerMode);
  if (partCount >= 1 && partCount <= most) return {};
  return Failure(StatusKind::kInvalidPartCount, partCount, most);
}

}  // namespace quillet
