// Turning the code lists into the tags written around each piece of text.
#include <charconv>

#include "converter.h"

namespace quillet {
namespace {

bool HasValue(std::string_view number, int value) {
  int parsed = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  return error == std::errc() && end == number.data() + number.size() && parsed == value;
}

bool IsUnopened(CodeKind kind) {
  return kind == CodeKind::P || kind == CodeKind::PG;
}

// Writes the opening tag of an element that was committed but not yet opened.
void Open(CodeEntry& entry, std::string& text) {
  text += entry.begCode;
  entry.kind = entry.kind == CodeKind::P ? CodeKind::A : CodeKind::G;
}

}  // namespace

std::string Converter::BuildFontTag(std::string_view color, std::string_view size) const {
  if (color.empty() && size.empty()) return {};
  std::string tag = "<font";
  if (!color.empty()) {
    tag += " color=\"";
    tag += color;
    tag += '"';
  }
  if (!size.empty() && !HasValue(size, DefaultFontSize)) {
    tag += " size=";
    tag += size;
  }
  tag += '>';
  return tag;
}

std::string Converter::OpenFontTag() const {
  for (auto entry = Codes.rbegin(); entry != Codes.rend(); ++entry) {
    if (entry->code == "</font>") return entry->begCode;
  }
  return {};
}

std::string Converter::CloseMarkedCodes() {
  if (OpenFontTag() != FontString) {
    MarkCodesKilled("</font>", "");
    // A pending font pair always takes the wanted tag, even an empty one.
    const int retagged = ReplaceNextBegCode("</font>", FontString);
    if (!FontString.empty() && retagged == 0) {
      Queue("</font>", FontString);
    }
  } else if (!IsPendingCode("</li>")) {
    MarkCodeActive("</font>");
  }
  if (Codes.empty()) return {};

  std::size_t outermostKilled = Codes.size();
  for (std::size_t i = Codes.size(); i-- > 0;) {
    if (Codes[i].kind == CodeKind::K) {
      outermostKilled = i;
      break;
    }
  }
  if (outermostKilled == Codes.size()) return {};

  std::string closing;
  for (std::size_t i = 0; i <= outermostKilled; ++i) {
    closing += Codes[i].code;
    if (Codes[i].code == "</li>") closing += LineEnd;
  }
  // Elements closed only because they lie inside a closed one open again after it.
  for (std::size_t i = outermostKilled + 1; i-- > 0;) {
    CodeEntry& entry = Codes[i];
    if (entry.kind == CodeKind::K) continue;
    if (!IsPendingCode(entry.code)) {
      Queue(entry.code, entry.begCode);
    }
    entry.kind = CodeKind::K;
  }
  return closing;
}

std::string Converter::OpenPendingCodes() {
  std::string opening;
  for (std::size_t i = Codes.size(); i-- > 0;) {
    if (IsUnopened(Codes[i].kind)) Open(Codes[i], opening);
  }
  return opening;
}

std::string Converter::OpenPendingBelow(std::string_view code) {
  std::string opening;
  for (CodeEntry& entry : Codes) {
    if (entry.code == code) break;
    if (IsUnopened(entry.kind)) Open(entry, opening);
  }
  return opening;
}

std::string Converter::CloseAllCodes() const {
  std::string closing;
  for (const CodeEntry& entry : Codes) closing += entry.code;
  return closing;
}

}  // namespace quillet
