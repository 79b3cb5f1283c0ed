// Quillet's RTF-to-HTML converter.
//
// ConvertRtfToHtml takes the RTF of one page (a document in one pair of braces,
// with CR LF line breaks, as a rich-edit control writes it) and an option
// string, and returns the HTML body of that page. Adding the page's head and
// foot is the caller's job (page_file.h). Texts are byte strings: RTF is 7-bit,
// and any byte of 128 or more passes through as one Windows-1252 character.
//
// Options: "+CR" ends emitted lines with CR LF; "+F=" and digits sets the
// default font size, which is never written.
//
// One Converter is one set of converter state: the font, alignment and colour
// state and a few more variables carry over from one conversion to the next on
// the same object. Conversions on one object must not overlap.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "code_list.h"
#include "text_utils.h"
#include "tokenizer.h"

namespace quillet {

class Converter;

// Receives the pauses of the debug trace. Pause returns when the user lets the
// conversion go on; a converter without a host never pauses.
class DebugHost {
 public:
  virtual ~DebugHost() = default;
  virtual void Pause(Converter& converter, const std::string& dump) = 0;
};

class Converter {
 public:
  // Limits that no real document comes near; they keep what hostile input can
  // make the converter hold and write bounded (thousands of nested tables,
  // endless pending words).
  static constexpr std::size_t kMaxOpenElements = 1000;
  static constexpr std::size_t kMaxPendingPairs = 1000;

  std::string ConvertRtfToHtml(std::string_view rtf, std::string_view options);

  // Variables through which the book builder hands a page in and out.
  std::string RtfSource;
  std::string HtmlResult;
  std::string FilePrefix;
  bool DebugMode = false;
  bool DebugContinue = false;
  void SetDebugHost(DebugHost* host) { debugHost_ = host; }

  // Committed elements. Codes[0] is the innermost: closing tags are written
  // from the front, opening tags of a new paragraph from the back.
  CodeList Codes;
  // Pending pairs; the first becomes the outermost of its batch when committed.
  std::vector<std::string> NextCodes;
  std::vector<std::string> NextBegCodes;

  // Output strings: each text goes out after ClosingText, BeforeText, OpeningText.
  std::string HtmlOut;
  std::string ClosingText;
  std::string BeforeText;
  std::string OpeningText;
  std::string LineEnd;

  // Font and alignment state, kept from one conversion to the next.
  std::string FontString;
  std::string FontColor;
  std::string FontSize;
  std::int32_t FontSizeNum = 0;
  std::int16_t DefaultFontSize = 0;
  std::string AlignTag;
  std::vector<std::string> ColorTable{""};

  // Flags and counters of the token loop.
  bool AtLineStart = false;
  bool NewParagraph = false;
  bool HasLists = false;
  std::int32_t SkipTokens = 0;
  std::int32_t IgnoreDepth = 0;
  std::int32_t UnicodeSkip = 1;   // fallback characters after "\u" ("\uc")
  std::int32_t FallbackOwed = 0;  // fallback characters a "\u" at a line's end still owes
  std::uint16_t PendingHighSurrogate = 0;

  // The rest of the current line; the translation may put text back in front.
  LineReader RtfRest;

  // Code lists.
  void ResetCodeLists();
  void ResetFontAndAlign();
  bool IsPendingCode(std::string_view code) const;
  bool IsOpenCode(std::string_view code, bool openOnly) const;
  void AppendNextCode(std::string_view code);
  void AppendNextBegCode(std::string_view opening);
  void PushFrontNextCode(std::string_view code);
  void PushFrontNextBegCode(std::string_view opening);
  std::string PopNextCode();
  std::string PopNextBegCode();
  void RemoveNextCode(std::string_view code);
  int ReplaceNextBegCode(std::string_view code, std::string_view opening);
  void DropPendingBefore(std::string_view code);
  void CommitPendingCodes();
  void RequeueInnerCodes(std::string_view code);
  void MarkCodesKilled(std::string_view code, std::string_view keepKind);
  void MarkCodeActive(std::string_view code);
  void PurgeKilledCodes();

  // Code emission.
  std::string BuildFontTag(std::string_view color, std::string_view size) const;
  std::string OpenFontTag() const;
  std::string CloseMarkedCodes();
  std::string OpenPendingCodes();
  std::string OpenPendingBelow(std::string_view code);
  std::string CloseAllCodes() const;

  // Translation of one token, and the two call sequences it is built from.
  void TranslateToken(std::string_view token);
  void Queue(std::string_view closing, std::string_view opening);
  void End(std::string_view closing, bool openOnly);

  // Debug trace.
  void DebugTrace(const std::string& word);
  std::string DebugDump(std::string_view word) const;

 private:
  void ReadOptions(std::string_view options);
  std::string PrepareBody(std::string_view rtf);
  void RunTokenLoop(const std::string& body);
  std::string AssembleResult();

  void TranslateControl(std::string_view word);
  void TranslateBWord(std::string_view word);
  void TranslatePWord(std::string_view word);
  void TranslateSWord(std::string_view word);
  void TranslateUWord(std::string_view word);
  void TranslateOtherWord(std::string_view word);
  void OuterMostToggle(std::string_view closing, std::string_view opening);
  void GroupEnd();
  void SetColor(std::string_view word);
  void SetFontSize(const DecimalParameter& halfPoints);
  void ParagraphEnd();
  void ParagraphReset();
  void HexEscape(std::string_view word);
  void UnicodeEscape(std::string_view word);
  void SkipFallbackTokens(std::int32_t count);
  std::string UnicodeEntity(std::int64_t number);
  void ListItemWithReopening();
  void Align(std::string_view word);
  void WriteText(std::string_view token);

  void CountPending(std::string_view code, int change);
  void Open(CodeList::Id id, std::string& text);

  DebugHost* debugHost_ = nullptr;
  // How often each closing tag stands in NextCodes; the translation uses a handful of tags.
  std::vector<std::pair<std::string, std::size_t>> pendingCounts_;
  bool tokenTookSpace_ = false;  // the tokenizer ate a delimiter space after the token
};

}  // namespace quillet
