// The code lists: pending pairs and committed elements.
#include <algorithm>

#include "converter/converter_state.h"

namespace quillet {
namespace {

bool IsBlockCode(std::string_view code) {
  return code == "</li>" || code == "</td></tr></table>";
}

}  // namespace

void ConverterState::CountPending(std::string_view code, int change) {
  for (auto& [name, count] : pendingCounts_) {
    if (name == code) {
      count += change;
      return;
    }
  }
  pendingCounts_.emplace_back(code, change);
}

void ConverterState::ResetCodeLists() {
  Codes.clear();
  DropPendingBefore("");
}

void ConverterState::ResetFontAndAlign() {
  FontString.clear();
  AlignTag.clear();
  FontColor.clear();
  FontSize.clear();
  FontSizeNum = 0;
}

bool ConverterState::IsPendingCode(std::string_view code) const {
  return std::any_of(pendingCounts_.begin(), pendingCounts_.end(),
                     [code](const auto& count) { return count.second > 0 && count.first == code; });
}

bool ConverterState::IsOpenCode(std::string_view code, bool openOnly) const {
  return Codes.Has(
      code, openOnly ? KindSet{CodeKind::kOpenInline, CodeKind::kOpenBlock} : KindSet::All());
}

void ConverterState::AppendNextCode(std::string_view code, std::string_view begCode) {
  if (code.empty()) return;
  NextCodes.push_back({std::string(code), std::string(begCode)});
  CountPending(code, 1);
}

void ConverterState::RemoveNextCode(std::string_view code) {
  if (!IsPendingCode(code)) return;
  NextCodes.erase(std::find_if(NextCodes.begin(), NextCodes.end(),
                               [code](const CodePair& pair) { return pair.code == code; }));
  CountPending(code, -1);
}

int ConverterState::ReplaceNextBegCode(std::string_view code, std::string_view opening) {
  if (!IsPendingCode(code)) return 0;
  int changed = 0;
  for (CodePair& pair : NextCodes) {
    if (pair.code == code) {
      pair.begCode = opening;
      ++changed;
    }
  }
  return changed;
}

void ConverterState::DropPendingBefore(std::string_view code) {
  if (code.empty() || !IsPendingCode(code)) {
    NextCodes.clear();
    for (auto& count : pendingCounts_) count.second = 0;
    return;
  }
  const auto hit = std::find_if(NextCodes.begin(), NextCodes.end(),
                                [code](const CodePair& pair) { return pair.code == code; });
  for (auto dropped = NextCodes.begin(); dropped != hit; ++dropped) {
    CountPending(dropped->code, -1);
  }
  NextCodes.erase(NextCodes.begin(), hit);
}

void ConverterState::CommitPendingCodes() {
  if (NextCodes.empty()) return;
  const std::size_t live = Codes.size() - Codes.Count({CodeKind::kKilled});
  if (live + NextCodes.size() > kMaxOpenElements) {
    DropPendingBefore("");  // elements nested beyond all reason are never opened
    return;
  }
  // The last pending list item moves to the front so that it encloses the
  // inline codes queued with it.
  for (std::size_t b = NextCodes.size() - 1; b >= 1; --b) {
    if (NextCodes[b].code == "</li>") {
      NextCodes[b] = NextCodes[b - 1];
      NextCodes[b - 1] = {"</li>", "<li>"};
    }
  }
  // The first pending pair becomes the outermost of the batch, the last the innermost.
  for (CodePair& pair : NextCodes) {
    const CodeKind kind =
        IsBlockCode(pair.code) ? CodeKind::kPendingBlock : CodeKind::kPendingInline;
    Codes.PushInnermost(std::move(pair.code), std::move(pair.begCode), kind);
  }
  DropPendingBefore("");
}

void ConverterState::RequeueInnerCodes(std::string_view code) {
  if (IsPendingCode(code)) return;
  const std::size_t room =
      NextCodes.size() < kMaxPendingPairs ? kMaxPendingPairs - NextCodes.size() : 0;
  Codes.InnerThan(Codes.InnermostOf(code), KindSet::All().Without(CodeKind::kKilled), room, ids_);
  // Each walked entry goes to the front, so the outermost one ends up first.
  std::vector<CodePair> requeued;
  requeued.reserve(ids_.size());
  for (auto id = ids_.rbegin(); id != ids_.rend(); ++id) {
    requeued.push_back({Codes.CodeOf(*id), Codes.BegCodeOf(*id)});
    CountPending(requeued.back().code, 1);
  }
  NextCodes.insert(NextCodes.begin(), std::make_move_iterator(requeued.begin()),
                   std::make_move_iterator(requeued.end()));
}

void ConverterState::MarkCodesKilled(std::string_view code, std::optional<CodeKind> keepKind) {
  KindSet marked = KindSet::All().Without(CodeKind::kKilled);
  if (keepKind) marked = marked.Without(*keepKind);
  Codes.Relabel(code, marked, CodeKind::kKilled);
}

void ConverterState::MarkCodeActive(std::string_view code) {
  Codes.Relabel(code, KindSet::All(), CodeKind::kOpenInline);
}

void ConverterState::PurgeKilledCodes() {
  Codes.EraseKind(CodeKind::kKilled);
}

}  // namespace quillet
