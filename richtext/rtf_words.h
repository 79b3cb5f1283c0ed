// The RTF control words the reader acts on, and the destinations it skips.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillet {

// clang-format off
enum class RtfWord : std::uint8_t {
  // Document, font table and colour table.
  kAnsi, kAnsiCpg, kMac, kPc, kPca, kDeff, kUc, kU, kFontTable, kColorTable, kFont, kCharset,
  kCodePage, kRed, kGreen, kBlue,
  // Character format.
  kPlain, kBold, kItalic, kUnderline, kUnderlineNone, kStrike, kSuper, kSub, kNoSuperSub,
  kRaise, kLower, kHidden, kColor, kSize,
  // Paragraph format.
  kPard, kLeft, kCenter, kRight, kJustified, kListMarker, kListId, kBulletLevel, kInTable,
  // Text and breaks.
  kPar, kLine, kTab, kPage, kCell, kRow, kEmDash, kEnDash, kLeftQuote, kRightQuote,
  kLeftDoubleQuote, kRightDoubleQuote, kBullet, kEmSpace, kEnSpace,
  // Binary data and groups to skip.
  kBin, kSkipDestination
};
// clang-format on

// The word a control word name stands for; destinations without document text
// (style sheet, info, headers, pictures, ...) come back as kSkipDestination.
std::optional<RtfWord> LookupRtfWord(std::string_view name);

}  // namespace quillet
