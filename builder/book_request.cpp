#include "builder/book_request.h"

#include "builder/reader/reader_book.h"

namespace quillet {

ReaderMode ReaderMode::All() {
  return {reader::kDefaultMaxKb, true, true, true};
}

}  // namespace quillet
