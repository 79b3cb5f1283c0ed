// A dump of the converter's state before each token, with a pause the host releases.
#include "converter/converter.h"
#include "converter/converter_state.h"

namespace quillet {

void Converter::DebugTrace(std::string_view word) {
  const ConverterState& state = *state_;
  const CodeEntry outermost = state.Codes.empty() ? CodeEntry() : state.Codes.back();
  const CodePair lastNext = state.NextCodes.empty() ? CodePair() : state.NextCodes.back();
  // Nothing to show before the first code is queued or the first text written.
  if (outermost.code.empty() && outermost.begCode.empty() && lastNext.code.empty() &&
      lastNext.begCode.empty() && state.HtmlOut.empty()) {
    return;
  }
  const std::string dump = state.DebugDump(word);
  HtmlResult = state.HtmlOut;
  if (debugHost_ != nullptr && !DebugContinue) debugHost_->Pause(*this, dump);
  DebugContinue = false;
}

std::string ConverterState::DebugDump(std::string_view word) const {
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
  for (const CodePair& pair : NextCodes) dump += pair.begCode + ", ";
  dump += "\r\nNextCodes: ";
  for (const CodePair& pair : NextCodes) dump += pair.code + ", ";
  dump += "\r\n\r\nFont String: " + FontString;
  dump += "\r\n\r\nBefore Text: " + BeforeText;
  return dump;
}

}  // namespace quillet
