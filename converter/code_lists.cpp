// The four code lists: pending pairs and committed elements.
#include <algorithm>
#include <optional>

#include "converter.h"

namespace quillet {
namespace {

bool IsBlockCode(std::string_view code) {
  return code == "</li>" || code == "</td></tr></table>";
}

std::optional<CodeKind> KindNamed(std::string_view name) {
  for (CodeKind kind : {CodeKind::P, CodeKind::PG, CodeKind::A, CodeKind::G, CodeKind::K}) {
    if (KindName(kind) == name) return kind;
  }
  return std::nullopt;
}

}  // namespace

void Converter::CountPending(std::string_view code, int change) {
  for (auto& [name, count] : pendingCounts_) {
    if (name == code) {
      count += change;
      return;
    }
  }
  pendingCounts_.emplace_back(code, change);
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
  return std::any_of(pendingCounts_.begin(), pendingCounts_.end(),
                     [code](const auto& count) { return count.first == code && count.second > 0; });
}

bool Converter::IsOpenCode(std::string_view code, bool openOnly) const {
  return Codes.Has(code, openOnly ? KindSet{CodeKind::A, CodeKind::G} : KindSet::All());
}

void Converter::AppendNextCode(std::string_view code) {
  if (code.empty()) return;
  NextCodes.emplace_back(code);
  CountPending(code, 1);
}

void Converter::AppendNextBegCode(std::string_view opening) {
  NextBegCodes.emplace_back(opening);
}

void Converter::PushFrontNextCode(std::string_view code) {
  if (code.empty()) return;
  NextCodes.emplace(NextCodes.begin(), code);
  CountPending(code, 1);
}

void Converter::PushFrontNextBegCode(std::string_view opening) {
  NextBegCodes.emplace(NextBegCodes.begin(), opening);
}

std::string Converter::PopNextCode() {
  if (NextCodes.empty()) return {};
  std::string code = std::move(NextCodes.front());
  NextCodes.erase(NextCodes.begin());
  CountPending(code, -1);
  return code;
}

std::string Converter::PopNextBegCode() {
  if (NextBegCodes.empty()) return {};
  std::string opening = std::move(NextBegCodes.front());
  NextBegCodes.erase(NextBegCodes.begin());
  return opening;
}

void Converter::RemoveNextCode(std::string_view code) {
  if (!IsPendingCode(code)) return;
  const auto hit = std::find(NextCodes.begin(), NextCodes.end(), code);
  const auto index = hit - NextCodes.begin();
  NextCodes.erase(hit);
  CountPending(code, -1);
  if (index < static_cast<std::ptrdiff_t>(NextBegCodes.size())) {
    NextBegCodes.erase(NextBegCodes.begin() + index);
  }
}

int Converter::ReplaceNextBegCode(std::string_view code, std::string_view opening) {
  if (!IsPendingCode(code)) return 0;
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
  if (code.empty() || !IsPendingCode(code)) {
    NextCodes.clear();
    NextBegCodes.clear();
    for (auto& count : pendingCounts_) count.second = 0;
    return;
  }
  const auto hit = std::find(NextCodes.begin(), NextCodes.end(), code);
  const auto count = hit - NextCodes.begin();
  for (auto dropped = NextCodes.begin(); dropped != hit; ++dropped) CountPending(*dropped, -1);
  NextCodes.erase(NextCodes.begin(), hit);
  NextBegCodes.erase(NextBegCodes.begin(),
                     NextBegCodes.begin() + std::min<std::ptrdiff_t>(count, NextBegCodes.size()));
}

void Converter::CommitPendingCodes() {
  if (NextCodes.empty()) return;
  const std::size_t live = Codes.size() - Codes.Count({CodeKind::K});
  if (live + NextCodes.size() > kMaxOpenElements) {
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
  for (std::size_t i = 0; i < NextCodes.size(); ++i) {
    const CodeKind kind = IsBlockCode(NextCodes[i]) ? CodeKind::PG : CodeKind::P;
    Codes.PushInnermost(std::move(NextCodes[i]), i < NextBegCodes.size() ? NextBegCodes[i] : "",
                        kind);
  }
  DropPendingBefore("");
}

void Converter::RequeueInnerCodes(std::string_view code) {
  if (IsPendingCode(code)) return;
  const std::size_t room =
      NextCodes.size() < kMaxPendingPairs ? kMaxPendingPairs - NextCodes.size() : 0;
  const std::vector<CodeList::Id> inner =
      Codes.InnerThan(Codes.InnermostOf(code), KindSet::All().Without(CodeKind::K), room);
  // Each walked entry goes to the front, so the outermost one ends up first.
  std::vector<std::string> closing;
  std::vector<std::string> opening;
  for (auto id = inner.rbegin(); id != inner.rend(); ++id) {
    closing.push_back(Codes.CodeOf(*id));
    opening.push_back(Codes.BegCodeOf(*id));
    CountPending(closing.back(), 1);
  }
  NextCodes.insert(NextCodes.begin(), closing.begin(), closing.end());
  NextBegCodes.insert(NextBegCodes.begin(), opening.begin(), opening.end());
}

void Converter::MarkCodesKilled(std::string_view code, std::string_view keepKind) {
  KindSet marked = KindSet::All().Without(CodeKind::K);
  if (const std::optional<CodeKind> kept = KindNamed(keepKind)) marked = marked.Without(*kept);
  Codes.Relabel(code, marked, CodeKind::K);
}

void Converter::MarkCodeActive(std::string_view code) {
  Codes.Relabel(code, KindSet::All(), CodeKind::A);
}

void Converter::PurgeKilledCodes() {
  Codes.EraseKind(CodeKind::K);
}

}  // namespace quillet
