// A dump of the converter's state before each token, with a pause the host releases.
#include "converter.h"

namespace quillet {

void Converter::DebugTrace(const std::string& word) {
  const CodeEntry outermost = Codes.empty() ? CodeEntry() : Codes.back();
  const std::string_view lastCode = outermost.code;
  const std::string_view lastBeg = outermost.begCode;
  const auto lastNext = NextCodes.empty() ? std::string_view() : std::string_view(NextCodes.back());
  const auto lastNextBeg =
      NextBegCodes.empty() ? std::string_view() : std::string_view(NextBegCodes.back());
  // Nothing to show before the first code is queued or the first text written.
  if (lastCode.empty() && lastBeg.empty() && lastNext.empty() && lastNextBeg.empty() &&
      HtmlOut.empty()) {
    return;
  }
  const std::string dump = DebugDump(word);
  HtmlResult = HtmlOut;
  if (debugHost_ != nullptr && !DebugContinue) debugHost_->Pause(*this, dump);
  DebugContinue = false;
}

std::string Converter::DebugDump(std::string_view word) const {
  constexpr std::size_t kShownLength = 20;
  std::string dump = "CurWord: ";
  if (word.size() <= kShownLength) {
    dump += word;
  } else {
    dump += word.substr(0, kShownLength);
    dump += "...";
  }
  dump += "\r\n\r\nBegCodes: ";
  for (const CodeEntry& entry : Codes) {
    dump += entry.begCode + " (" + std::string(KindName(entry.kind)) + "), ";
  }
  dump += "\r\nCodes: ";
  for (const CodeEntry& entry : Codes) {
    dump += entry.code + " (" + std::string(KindName(entry.kind)) + "), ";
  }
  dump += "\r\n\r\nNextBegCodes: ";
  for (const std::string& opening : NextBegCodes) dump += opening + ", ";
  dump += "\r\nNextCodes: ";
  for (const std::string& closing : NextCodes) dump += closing + ", ";
  dump += "\r\n\r\nFont String: " + FontString;
  dump += "\r\n\r\nBefore Text: " + BeforeText;
  return dump;
}

}  // namespace quillet
