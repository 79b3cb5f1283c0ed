// Turning the code lists into the tags written around each piece of text.
#include <array>
#include <charconv>

#include "converter/converter_state.h"
#include "converter/markup_sink.h"

namespace quillet {
namespace {

bool HasValue(std::string_view number, int value) {
  int parsed = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), parsed);
  return error == std::errc() && end == number.data() + number.size() && parsed == value;
}

constexpr std::array<std::string_view, 9> kEndTags{
    "</b>", "</i>", "</u>", "</s>", "</sup>", "</sub>", "</font>", "</td></tr></table>", "</li>"};

}  // namespace

std::string_view KnownEndTag(std::string_view code) {
  for (std::string_view tag : kEndTags) {
    if (tag == code) return tag;
  }
  return {};
}

void ConverterState::WriteClosingPieces() {
  std::size_t at = 0;
  for (const TagPiece& piece : closingPieces_) {
    Sink->EndTag(piece.endTag);
    const std::size_t tagLength = piece.endTag.empty() ? piece.length : piece.endTag.size();
    if (piece.length > tagLength) {
      Sink->Text(std::string_view(ClosingText).substr(at + tagLength, piece.length - tagLength));
    }
    at += piece.length;
  }
}

void ConverterState::WriteBreaksAndOpeningPieces() {
  for (std::size_t i = 0; i < pendingBreaks_; ++i) {
    Sink->LineBreak();
    if (!LineEnd.empty()) Sink->Text(LineEnd);
  }
  std::size_t at = 0;
  for (const TagPiece& piece : openingPieces_) {
    Sink->StartTag(piece.endTag, std::string_view(OpeningText).substr(at, piece.length));
    at += piece.length;
  }
}

void ConverterState::ClearPieces() {
  closingPieces_.clear();
  openingPieces_.clear();
  pendingBreaks_ = 0;
}

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
    if (outermost) {
      openFontTag_.tag.assign(Codes.BegCodeOf(*outermost));  // keeps the string's room
    } else {
      openFontTag_.tag.clear();
    }
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

  Codes.From(*outermostKilled, ids_);  // innermost first
  std::string closing;
  for (CodeList::Id id : ids_) {
    const std::size_t before = closing.size();
    closing += Codes.CodeOf(id);
    if (Codes.CodeOf(id) == "</li>") closing += LineEnd;
    if (Sink != nullptr)
      closingPieces_.push_back({KnownEndTag(Codes.CodeOf(id)), closing.size() - before});
  }
  // Elements closed only because they lie inside a closed one open again after it.
  for (auto id = ids_.rbegin(); id != ids_.rend(); ++id) {
    if (Codes.KindOf(*id) == CodeKind::kKilled) continue;
    const std::string& code = Codes.CodeOf(*id);
    if (!IsPendingCode(code)) {
      Queue(code, Codes.BegCodeOf(*id));
    }
    Codes.SetKind(*id, CodeKind::kKilled);
  }
  return closing;
}

// Writes the opening tag of an element that was committed but not yet opened.
void ConverterState::Open(CodeList::Id id, std::string& text) {
  text += Codes.BegCodeOf(id);
  if (Sink != nullptr) {
    openingPieces_.push_back({KnownEndTag(Codes.CodeOf(id)), Codes.BegCodeOf(id).size()});
  }
  const bool block = Codes.KindOf(id) == CodeKind::kPendingBlock;
  Codes.SetKind(id, block ? CodeKind::kOpenBlock : CodeKind::kOpenInline);
}

std::string ConverterState::OpenPendingCodes() {
  Codes.InnerThan(std::nullopt, {CodeKind::kPendingInline, CodeKind::kPendingBlock}, Codes.size(),
                  ids_);
  openingPieces_.clear();
  std::string opening;
  for (auto id = ids_.rbegin(); id != ids_.rend(); ++id) Open(*id, opening);
  return opening;
}

std::string ConverterState::OpenPendingBelow(std::string_view code) {
  Codes.InnerThan(Codes.InnermostOf(code), {CodeKind::kPendingInline, CodeKind::kPendingBlock},
                  Codes.size(), ids_);
  openingPieces_.clear();
  std::string opening;
  for (CodeList::Id id : ids_) Open(id, opening);
  return opening;
}

std::string ConverterState::CloseAllCodes() const {
  std::string closing;
  for (const CodeEntry& entry : Codes) closing += entry.code;
  return closing;
}

}  // namespace quillet
