// The four code lists: pending pairs and committed elements.
#include <algorithm>

#include "converter.h"

namespace quillet {
namespace {

bool IsBlockCode(std::string_view code) {
  return code == "</li>" || code == "</td></tr></table>";
}

std::string_view Name(CodeKind kind) {
  return KindName(kind);
}

}  // namespace

std::string_view KindName(CodeKind kind) {
  switch (kind) {
    case CodeKind::P:
      return "P";
    case CodeKind::PG:
      return "PG";
    case CodeKind::A:
      return "A";
    case CodeKind::G:
      return "G";
    case CodeKind::K:
      return "K";
  }
  return "";
}

void Converter::ResetCodeLists() {
  Codes.clear();
  DropPendingBefore("");
}

void Converter::ResetFontAndAlign() {
  FontString.clear();
  AlignTag.clear();
  FontColor.clear();
  FontSize.clear();
  FontSizeNum = 0;
}

bool Converter::IsPendingCode(std::string_view code) const {
  return std::find(NextCodes.begin(), NextCodes.end(), code) != NextCodes.end();
}

bool Converter::IsOpenCode(std::string_view code, bool openOnly) const {
  return std::any_of(Codes.begin(), Codes.end(), [&](const CodeEntry& entry) {
    return entry.code == code &&
           (!openOnly || entry.kind == CodeKind::A || entry.kind == CodeKind::G);
  });
}

void Converter::AppendNextCode(std::string_view code) {
  if (!code.empty()) NextCodes.emplace_back(code);
}

void Converter::AppendNextBegCode(std::string_view opening) {
  NextBegCodes.emplace_back(opening);
}

void Converter::PushFrontNextCode(std::string_view code) {
  if (!code.empty()) NextCodes.emplace(NextCodes.begin(), code);
}

void Converter::PushFrontNextBegCode(std::string_view opening) {
  NextBegCodes.emplace(NextBegCodes.begin(), opening);
}

std::string Converter::PopNextCode() {
  if (NextCodes.empty()) return {};
  std::string code = std::move(NextCodes.front());
  NextCodes.erase(NextCodes.begin());
  return code;
}

std::string Converter::PopNextBegCode() {
  if (NextBegCodes.empty()) return {};
  std::string opening = std::move(NextBegCodes.front());
  NextBegCodes.erase(NextBegCodes.begin());
  return opening;
}

void Converter::RemoveNextCode(std::string_view code) {
  const auto hit = std::find(NextCodes.begin(), NextCodes.end(), code);
  if (hit == NextCodes.end()) return;
  const auto index = hit - NextCodes.begin();
  NextCodes.erase(hit);
  if (index < static_cast<std::ptrdiff_t>(NextBegCodes.size())) {
    NextBegCodes.erase(NextBegCodes.begin() + index);
  }
}

int Converter::ReplaceNextBegCode(std::string_view code, std::string_view opening) {
  int changed = 0;
  for (std::size_t i = 0; i < NextCodes.size() && i < NextBegCodes.size(); ++i) {
    if (NextCodes[i] == code) {
      NextBegCodes[i] = opening;
      ++changed;
    }
  }
  return changed;
}

void Converter::DropPendingBefore(std::string_view code) {
  const auto hit =
      code.empty() ? NextCodes.end() : std::find(NextCodes.begin(), NextCodes.end(), code);
  if (hit == NextCodes.end()) {
    NextCodes.clear();
    NextBegCodes.clear();
    return;
  }
  const auto count = hit - NextCodes.begin();
  NextCodes.erase(NextCodes.begin(), hit);
  NextBegCodes.erase(NextBegCodes.begin(),
                     NextBegCodes.begin() + std::min<std::ptrdiff_t>(count, NextBegCodes.size()));
}

void Converter::CommitPendingCodes() {
  if (NextCodes.empty()) return;
  const auto live = std::count_if(Codes.begin(), Codes.end(),
                                  [](const CodeEntry& entry) { return entry.kind != CodeKind::K; });
  if (static_cast<std::size_t>(live) + NextCodes.size() > kMaxOpenElements) {
    DropPendingBefore("");  // elements nested beyond all reason are never opened
    return;
  }
  // The last pending list item moves to the front so that it encloses the
  // inline codes queued with it.
  for (std::size_t b = NextCodes.size() - 1; b >= 1; --b) {
    if (NextCodes[b] == "</li>") {
      NextCodes[b] = NextCodes[b - 1];
      NextBegCodes[b] = NextBegCodes[b - 1];
      NextCodes[b - 1] = "</li>";
      NextBegCodes[b - 1] = "<li>";
    }
  }
  // The first pending pair becomes the outermost of the batch, the last the innermost.
  std::vector<CodeEntry> batch;
  batch.reserve(NextCodes.size());
  for (std::size_t i = NextCodes.size(); i-- > 0;) {
    const CodeKind kind = IsBlockCode(NextCodes[i]) ? CodeKind::PG : CodeKind::P;
    batch.push_back({NextCodes[i], i < NextBegCodes.size() ? NextBegCodes[i] : "", kind});
  }
  Codes.insert(Codes.begin(), std::make_move_iterator(batch.begin()),
               std::make_move_iterator(batch.end()));
  NextCodes.clear();
  NextBegCodes.clear();
}

void Converter::RequeueInnerCodes(std::string_view code) {
  if (IsPendingCode(code)) return;
  // Each walked entry goes to the front, so the outermost one ends up first.
  std::vector<std::string> closing;
  std::vector<std::string> opening;
  for (const CodeEntry& entry : Codes) {
    if (entry.code == code || NextCodes.size() + closing.size() >= kMaxPendingPairs) break;
    if (entry.kind == CodeKind::K) continue;
    closing.push_back(entry.code);
    opening.push_back(entry.begCode);
  }
  NextCodes.insert(NextCodes.begin(), closing.rbegin(), closing.rend());
  NextBegCodes.insert(NextBegCodes.begin(), opening.rbegin(), opening.rend());
}

void Converter::MarkCodesKilled(std::string_view code, std::string_view keepKind) {
  for (CodeEntry& entry : Codes) {
    if ((code == "*" || entry.code == code) && Name(entry.kind) != keepKind) {
      entry.kind = CodeKind::K;
    }
  }
}

void Converter::MarkCodeActive(std::string_view code) {
  for (CodeEntry& entry : Codes) {
    if (entry.code == code) entry.kind = CodeKind::A;
  }
}

void Converter::PurgeKilledCodes() {
  std::erase_if(Codes, [](const CodeEntry& entry) { return entry.kind == CodeKind::K; });
}

}  // namespace quillet
