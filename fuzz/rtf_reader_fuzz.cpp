// Feeds arbitrary bytes to the RTF reader, then checks that what it read
// survives a write and a second read unchanged, its notes included.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const quillet::Document document = quillet::ReadRtf(input);
  const std::string rtf = quillet::WriteRtf(document);
  const quillet::Document again = quillet::ReadRtf(rtf);
  if (again.PlainText() != document.PlainText()) std::abort();
  // The notes the reader found fit the document and come back from the writer.
  if (!quillet::NotesFit(document) || again.notes != document.notes) std::abort();
  (void)document.Slice(size / 3, size / 2).PlainText();
  return 0;
}
