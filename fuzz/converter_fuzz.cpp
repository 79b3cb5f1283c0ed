// Feeds arbitrary bytes to the converter: an option string before the first
// NUL byte, the RTF after it. Two conversions run on one object so that the
// state kept between conversions is exercised too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "converter/converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view options = "+H+G+F=3";
  if (const std::size_t nul = input.find('\0'); nul != std::string_view::npos && nul < 32) {
    options = input.substr(0, nul);
    input.remove_prefix(nul + 1);
  }
  quillet::Converter converter;
  converter.DebugMode = (size % 7) == 0;  // no host: the trace never pauses
  converter.ConvertRtfToHtml(input, options);
  converter.ConvertRtfToHtml(input, "+CR");
  return 0;
}
