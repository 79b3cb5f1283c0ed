// The part-count rule: the one check the command line, the window and every
// Generate make, default pages and reader mode alike.
#pragma once

#include "richtext/status.h"

namespace quillet {

inline constexpr int kMostDefaultParts = 99;
inline constexpr int kMostReaderParts = 999;

// The most parts a Generate makes.
inline int MostParts(bool readerMode) {
  return readerMode ? kMostReaderParts : kMostDefaultParts;
}

// 1 to MostParts(readerMode).
inline Status CheckPartCount(int partCount, bool readerMode) {
  const int most = MostParts(readerMode);
  if (partCount >= 1 && partCount <= most) return {};
  return Failure(StatusKind::kInvalidPartCount, partCount, most);
}

}  // namespace quillet
