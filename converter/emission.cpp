// Turning the code lists into the tags written around each piece of text.
#include <charconv>

#include "converter/converter_state.h"

namespace quillet {
namespace {

bool HasValue(std::string_view number, int value) {
  int parsed = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  return error == std::errc() && end == number.data() + number.size() && parsed == value;
}

}  // namespace

std::string ConverterState::BuildFontTag(std::string_view color, std::string_view size) const {
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

// Asked before every text; the answer only changes when an entry comes or goes.
std::string_view ConverterState::OpenFontTag() const {
  if (openFontTag_.membership != Codes.Membership()) {
    const std::optional<CodeList::Id> outermost = Codes.OutermostOf("</font>");
    openFontTag_.tag = outermost ? Codes.BegCodeOf(*outermost) : std::string();
    openFontTag_.membership = Codes.Membership();
  }
  return openFontTag_.tag;
}

std::string ConverterState::CloseMarkedCodes() {
  if (OpenFontTag() != FontString) {
    MarkCodesKilled("</font>");
    // A pending font pair always takes the wanted tag, even an empty one.
    const int retagged = ReplaceNextBegCode("</font>", FontString);
    if (!FontString.empty() && retagged == 0) {
      Queue("</font>", FontString);
    }
  } else if (!IsPendingCode("</li>")) {
    MarkCodeActive("</font>");
  }
  const std::optional<CodeList::Id> outermostKilled = Codes.Outermost({CodeKind::kKilled});
  if (!outermostKilled) return {};

  const std::vector<CodeList::Id> closed = Codes.From(*outermostKilled);  // innermost first
  std::string closing;
  for (CodeList::Id id : closed) {
    closing += Codes.CodeOf(id);
    if (Codes.CodeOf(id) == "</li>") closing += LineEnd;
  }
  // Elements closed only because they lie inside a closed one open again after it.
  for (auto id = closed.rbegin(); id != closed.rend(); ++id) {
    const CodeEntry entry = Codes.EntryOf(*id);
    if (entry.kind == CodeKind::kKilled) continue;
    if (!IsPendingCode(entry.code)) {
      Queue(entry.code, entry.begCode);
    }
    Codes.SetKind(*id, CodeKind::kKilled);
  }
  return closing;
}

// Writes the opening tag of an element that was committed but not yet opened.
void ConverterState::Open(CodeList::Id id, std::string& text) {
  text += Codes.BegCodeOf(id);
  const bool block = Codes.EntryOf(id).kind == CodeKind::kPendingBlock;
  Codes.SetKind(id, block ? CodeKind::kOpenBlock : CodeKind::kOpenInline);
}

std::string ConverterState::OpenPendingCodes() {
  const std::vector<CodeList::Id> unopened = Codes.InnerThan(
      std::nullopt, {CodeKind::kPendingInline, CodeKind::kPendingBlock}, Codes.size());
  std::string opening;
  for (auto id = unopened.rbegin(); id != unopened.rend(); ++id) Open(*id, opening);
  return opening;
}

std::string ConverterState::OpenPendingBelow(std::string_view code) {
  const std::vector<CodeList::Id> unopened = Codes.InnerThan(
      Codes.InnermostOf(code), {CodeKind::kPendingInline, CodeKind::kPendingBlock}, Codes.size());
  std::string opening;
  for (CodeList::Id id : unopened) Open(id, opening);
  return opening;
}

std::string ConverterState::CloseAllCodes() const {
  std::string closing;
  for (const CodeEntry& entry : Codes) closing += entry.code;
  return closing;
}

}  // namespace quillet
