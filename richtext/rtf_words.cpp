#include "rtf_words.h"

#include <unordered_map>

namespace quillet {

namespace {

struct WordName {
  std::string_view name;
  RtfWord word;
};

// clang-format off
constexpr WordName kWords[] = {
    {"ansi", RtfWord::kAnsi}, {"ansicpg", RtfWord::kAnsiCpg}, {"mac", RtfWord::kMac},
    {"pc", RtfWord::kPc}, {"pca", RtfWord::kPca}, {"deff", RtfWord::kDeff}, {"uc", RtfWord::kUc},
    {"u", RtfWord::kU}, {"fonttbl", RtfWord::kFontTable}, {"colortbl", RtfWord::kColorTable},
    {"f", RtfWord::kFont}, {"fcharset", RtfWord::kCharset}, {"cpg", RtfWord::kCodePage},
    {"red", RtfWord::kRed}, {"green", RtfWord::kGreen}, {"blue", RtfWord::kBlue},
    {"plain", RtfWord::kPlain}, {"pard", RtfWord::kPard}, {"b", RtfWord::kBold},
    {"i", RtfWord::kItalic}, {"ul", RtfWord::kUnderline}, {"uld", RtfWord::kUnderline},
    {"uldash", RtfWord::kUnderline}, {"uldashd", RtfWord::kUnderline},
    {"uldashdd", RtfWord::kUnderline}, {"uldb", RtfWord::kUnderline},
    {"ulth", RtfWord::kUnderline}, {"ulw", RtfWord::kUnderline}, {"ulwave", RtfWord::kUnderline},
    {"ulnone", RtfWord::kUnderlineNone}, {"strike", RtfWord::kStrike},
    {"striked", RtfWord::kStrike}, {"super", RtfWord::kSuper}, {"sub", RtfWord::kSub},
    {"nosupersub", RtfWord::kNoSuperSub}, {"v", RtfWord::kHidden}, {"cf", RtfWord::kColor},
    {"fs", RtfWord::kSize}, {"ql", RtfWord::kLeft}, {"qc", RtfWord::kCenter},
    {"qr", RtfWord::kRight}, {"qj", RtfWord::kJustified}, {"qd", RtfWord::kJustified},
    {"par", RtfWord::kPar}, {"line", RtfWord::kLine}, {"tab", RtfWord::kTab},
    {"page", RtfWord::kPage}, {"sect", RtfWord::kPage}, {"cell", RtfWord::kCell},
    {"nestcell", RtfWord::kCell}, {"row", RtfWord::kRow}, {"nestrow", RtfWord::kRow},
    {"emdash", RtfWord::kEmDash}, {"endash", RtfWord::kEnDash}, {"lquote", RtfWord::kLeftQuote},
    {"rquote", RtfWord::kRightQuote}, {"ldblquote", RtfWord::kLeftDoubleQuote},
    {"rdblquote", RtfWord::kRightDoubleQuote}, {"bullet", RtfWord::kBullet},
    {"emspace", RtfWord::kEmSpace}, {"enspace", RtfWord::kEnSpace},
    {"pntext", RtfWord::kListMarker}, {"listtext", RtfWord::kListMarker},
    {"ls", RtfWord::kListId}, {"pnlvlblt", RtfWord::kBulletLevel}, {"intbl", RtfWord::kInTable},
    {"up", RtfWord::kRaise}, {"dn", RtfWord::kLower}, {"bin", RtfWord::kBin},
};

// Groups that hold no text of the document.
constexpr std::string_view kSkippedDestinations[] = {
    "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl",
    "footerr", "footerf", "footnote", "annotation", "pict", "object", "objdata", "nonshppict",
    "shp", "do", "fldinst", "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator",
    "xmlnstbl", "themedata", "colorschememapping", "datastore", "latentstyles", "pgdsctbl", "pn",
    "pnseclvl", "filetbl", "template", "userprops", "docvar", "ftnsep", "ftnsepc", "aftnsep",
    "aftnsepc", "private", "xe", "tc", "txe", "mmathPr", "bkmkstart", "bkmkend",
};
// clang-format on

}  // namespace

std::optional<RtfWord> LookupRtfWord(std::string_view name) {
  static const std::unordered_map<std::string_view, RtfWord> words = [] {
    std::unordered_map<std::string_view, RtfWord> map;
    for (const WordName& entry : kWords) map.emplace(entry.name, entry.word);
    for (std::string_view name : kSkippedDestinations) map.emplace(name, RtfWord::kSkipDestination);
    return map;
  }();
  const auto found = words.find(name);
  if (found == words.end()) return std::nullopt;
  return found->second;
}

}  // namespace quillet
