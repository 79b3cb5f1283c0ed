// The one failure type: what went wrong (a kind the caller can tell apart) and
// the detail that goes with it. The words a person reads are made from it in
// one place (builder/messages.h), so nothing below the window or the command
// line writes a sentence.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quillet {

enum class StatusKind : std::uint8_t {
  kOk,
  // Reading a book.
  kCancelled,       // the cancel callback asked to stop
  kDamaged,         // the bytes cannot be read as their format
  kRefused,         // not read on purpose: DRM, a ZIP or XML bomb, external entities
  kHelperMissing,   // the program that converts the format is not installed
  kHelperFailed,    // the program failed, or left no output
  kHelperTimedOut,  // the program took longer than allowed
  kCannotRead,      // detail: the file's name and the system's reason
  kBadInputLimit,   // detail: the QUILLET_MAX_INPUT text that is not a size
  // Asking for a book.
  kInvalidPartCount,  // first: the count asked for, second: the most allowed
  kInvalidPrefix,     // detail: what is wrong with the prefix
  kMissingFolder,
  // Writing a book.
  kCannotCreate,      // detail: the page's path, first: the system's error number
  kCannotWrite,       // detail: the page's path, first: the system's error number
  kCannotClose,       // detail: the page's path, first: the system's error number
  kWouldReplaceBook,  // detail: the page's path
  kNoRoomForFrame,    // first: the page budget in KB, second: the frame's bytes
  kTooManyParts,      // first: the page budget in KB, second: the smallest budget that fits
};

struct Status {
  StatusKind kind = StatusKind::kOk;
  std::string detail;
  // The numbers a kind's message needs (see StatusKind); 0 otherwise.
  std::int64_t first = 0;
  std::int64_t second = 0;

  bool ok() const { return kind == StatusKind::kOk; }
};

inline Status Failure(StatusKind kind, std::string detail = {}) {
  return {kind, std::move(detail), 0, 0};
}

inline Status Failure(StatusKind kind, std::int64_t first, std::int64_t second) {
  return {kind, {}, first, second};
}

// A value, or the status that kept it from being made (the value is then left
// as default-constructed).
template <typename T>
struct Result {
  T value{};
  Status status{};

  bool ok() const { return status.ok(); }
};

}  // namespace quillet
