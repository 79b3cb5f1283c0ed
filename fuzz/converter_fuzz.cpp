// Feeds arbitrary bytes to the converter: an option string before the first
// NUL byte, the RTF after it. Two conversions run on one object so that the
// state kept between conversions is exercised too, and the same two on a
// second object go to a sink, whose pieces must make the very same pages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "converter/converter.h"
#include "converter/markup_sink.h"

namespace {

class PageText : public quillet::MarkupSink {
 public:
  void Text(std::string_view html) override { page += html; }
  void StartTag(std::string_view, std::string_view startTag) override { page += startTag; }
  void EndTag(std::string_view endTag) override { page += endTag; }
  void LineBreak() override { page += "<br>"; }
  void Destination(std::string_view) override {}
  std::string page;
};

void ExpectSamePage(quillet::Converter& html, quillet::Converter& pieces, std::string_view rtf,
                    std::string_view options) {
  const std::string expected = html.ConvertRtfToHtml(rtf, options);
  PageText text;
  pieces.ConvertRtfToMarkup(std::string(rtf), options, text);
  if (text.page != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view options = "+H+G+F=3";
  if (const std::size_t nul = input.find('\0'); nul != std::string_view::npos && nul < 32) {
    options = input.substr(0, nul);
    input.remove_prefix(nul + 1);
  }
  quillet::Converter converter;
  converter.DebugMode = (size % 7) == 0;  // no host: the trace never pauses
  quillet::Converter pieces;
  pieces.DebugMode = converter.DebugMode;
  ExpectSamePage(converter, pieces, input, options);
  ExpectSamePage(converter, pieces, input, "+CR");
  return 0;
}
