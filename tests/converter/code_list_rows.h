// Code lists written as rows in tests: entries innermost first, printed by name.
#pragma once

#include <ostream>
#include <vector>

#include "converter/converter_state.h"

namespace quillet {

// Replaces the list with `entries`, entries[0] the innermost.
inline void SetCodes(CodeList& list, const std::vector<CodeEntry>& entries) {
  list.clear();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    list.PushInnermost(entry->code, entry->begCode, entry->kind);
  }
}

inline std::vector<CodeEntry> Entries(const CodeList& list) {
  return {list.begin(), list.end()};
}

inline void PrintTo(const CodeEntry& entry, std::ostream* out) {
  *out << "(" << entry.code << ", " << entry.begCode << ", " << KindName(entry.kind) << ")";
}

inline void PrintTo(const CodePair& pair, std::ostream* out) {
  *out << "(" << pair.code << ", " << pair.begCode << ")";
}

}  // namespace quillet
