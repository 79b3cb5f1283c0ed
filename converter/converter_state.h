// The converter's state and the operations on it: the code lists, the
// emission of tags around text, and the translation of one token. Internal to
// the converter; the driver, the debug trace and tests include it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "converter/code_list.h"
#include "converter/text_utils.h"
#include "converter/tokenizer.h"

namespace quillet {

class MarkupSink;

// The end tag of an element the converter writes, as a constant; "" for any other.
std::string_view KnownEndTag(std::string_view code);

// A pending element: its closing tag (the element's identity) and opening tag.
struct CodePair {
  std::string code;
  std::string begCode;
  bool operator==(const CodePair&) const = default;
};

class ConverterState {
 public:
  // Limits that no real document comes near; they keep what hostile input can
  // make the converter hold and write bounded (thousands of nested tables,
  // endless pending words).
  static constexpr std::size_t kMaxOpenElements = 1000;
  static constexpr std::size_t kMaxPendingPairs = 1000;

  // Code lists. Codes[0] is the innermost committed element: closing tags are
  // written from the front, opening tags of a new paragraph from the back. The
  // first pending pair becomes the outermost of its batch when committed.
  CodeList Codes;
  std::vector<CodePair> NextCodes;

  // Output strings: each text goes out after ClosingText, BeforeText, OpeningText.
  std::string HtmlOut;
  std::string ClosingText;
  std::string BeforeText;
  std::string OpeningText;
  std::string LineEnd;
  // Where the output goes instead of HtmlOut, piece by piece; none: HtmlOut.
  MarkupSink* Sink = nullptr;

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

  // One conversion: the driver's steps around the token loop.
  void StartConversion(std::string_view options);
  // Cuts `rtf` down to the body in place and returns the body, a view into it.
  std::string_view PrepareBody(std::string& rtf);
  void StartBody(std::string_view body);
  void StartLine(std::string_view line);
  std::string_view NextToken();
  bool IgnoreToken(std::string_view token);
  std::string AssembleResult();

  // Code lists.
  void ResetCodeLists();
  void ResetFontAndAlign();
  bool IsPendingCode(std::string_view code) const;
  bool IsOpenCode(std::string_view code, bool openOnly) const;
  void AppendNextCode(std::string_view code, std::string_view begCode);
  void RemoveNextCode(std::string_view code);
  int ReplaceNextBegCode(std::string_view code, std::string_view opening);
  void DropPendingBefore(std::string_view code);
  void CommitPendingCodes();
  void RequeueInnerCodes(std::string_view code);
  // Every entry of `code` ("*": of every code) becomes killed, but those of kind `keepKind`.
  void MarkCodesKilled(std::string_view code, std::optional<CodeKind> keepKind = std::nullopt);
  void MarkCodeActive(std::string_view code);
  void PurgeKilledCodes();

  // Code emission.
  std::string BuildFontTag(std::string_view color, std::string_view size) const;
  std::string_view OpenFontTag() const;
  std::string CloseMarkedCodes();
  std::string OpenPendingCodes();
  std::string OpenPendingBelow(std::string_view code);
  std::string CloseAllCodes() const;

  // Translation of one token, and the two call sequences it is built from.
  void TranslateToken(std::string_view token);
  void Queue(std::string_view closing, std::string_view opening);
  void End(std::string_view closing, bool openOnly);

  // What the control words do; translate.cpp's table says which word does what.
  void QueueUnlessOpen(std::string_view closing, std::string_view opening);
  void OuterMostToggle(std::string_view closing, std::string_view opening);
  void GroupEnd();
  void Plain();
  void SetColor(std::string_view word);
  void ClearColor();
  void SetFontSize(std::string_view word);
  void SetUnicodeSkip(std::string_view word);
  void LineBreak();
  void ParagraphEnd();
  void ParagraphReset();
  void HexEscape(std::string_view word);
  void UnicodeEscape(std::string_view word);
  void ListItemWithReopening();
  void Align(std::string_view word);

  // What the debug trace shows before `word` is translated.
  std::string DebugDump(std::string_view word) const;
  bool HandsOnSameStateAs(const ConverterState& other) const;

 private:
  void ReadOptions(std::string_view options);

  void TranslateControl(std::string_view word);
  void WriteText(std::string_view token);
  bool NothingToOpenOrClose() const;
  void WriteTags();
  void SkipFallbackTokens(std::int32_t count);
  std::string UnicodeEntity(std::int64_t number);

  void CountPending(std::string_view code, int change);
  void Open(CodeList::Id id, std::string& text);

  // With a sink, what ClosingText, BeforeText and OpeningText hold is also
  // kept as pieces, handed over when HtmlOut would get the texts.
  struct TagPiece {
    std::string_view endTag;  // KnownEndTag of the element
    std::size_t length = 0;   // of the piece's text, a line end after it included
  };
  void WriteClosingPieces();
  void WriteBreaksAndOpeningPieces();
  void ClearPieces();
  std::vector<TagPiece> closingPieces_;
  std::vector<TagPiece> openingPieces_;
  std::size_t pendingBreaks_ = 0;
  bool destinationNext_ = false;  // the next token names an ignored destination

  // How often each closing tag stands in NextCodes; the translation uses a handful of tags.
  std::vector<std::pair<std::string, std::size_t>> pendingCounts_;
  std::vector<CodeList::Id> ids_;  // the code list's last answer; its room is kept
  bool tokenTookSpace_ = false;    // the tokenizer ate a delimiter space after the token
  std::string escapedLine_;        // the current line, when markup in it had to be escaped
  CharacterFinder markup_;         // markup characters in the body
  // OpenFontTag's last answer, for the code list's membership it was found in.
  struct FontTagCache {
    std::uint64_t membership = UINT64_MAX;
    std::string tag;
  };
  mutable FontTagCache openFontTag_;
};

}  // namespace quillet
