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
  // A window handler that failed; the box is left as it was.
  kOutOfMemory,
  kUnexpected,  // detail: what the failure said, if anything
  // Reading a book; `file` names it.
  kCancelled,             // the cancel callback asked to stop
  kCannotRead,            // cause: the system's reason
  kNotAFile,              // neither a regular file nor a pipe
  kInputTooLarge,         // first: the limit in bytes
  kBadInputLimit,         // detail: the QUILLET_MAX_INPUT text that is not a size
  kTooComplex,            // its markup would need far more memory; detail: the chapter, if one
  kNotFb2,                // XML without a FictionBook element
  kNotThatFormat,         // named as a word processor's file it is not; detail: the format
  kNoPackage,             // an EPUB that names no OPF package
  kNoChapters,            // an EPUB whose spine names nothing to read
  kDrmProtected,          // an EPUB with encrypted chapters
  kZipUnreadable,         // detail: the format; cause: libzip's words
  kZipEntryMissing,       // detail: the entry
  kZipEntryDamaged,       // detail: the entry; cause: libzip's words
  kZipEntryEncrypted,     // detail: the entry
  kZipBomb,               // detail: the entry; cause: its packed size
  kXmlEntities,           // detail: the XML document; cause: the entity declared
  kXmlTooDeep,            // detail: the XML document
  kXmlTooManyAttributes,  // detail: the XML document; first: the most allowed
  kXmlTruncated,          // detail: the XML document; cause: libxml2's words
  kXmlMalformed,          // detail: the XML document; cause: libxml2's words
  kHelperMissing,         // detail: the format; first: 1 when pandoc reads it too
  kHelperNotStarted,      // detail: the helper
  kHelperTimedOut,        // detail: the helper; first: the limit in seconds
  kHelperOutputTooLarge,  // detail: the helper; first: the limit in bytes
  kHelperFailed,          // detail: the helper; first: its exit code; cause: its first lines
  kNoTempFolder,          // the helper's private folder could not be made
  // Asking for a book.
  kInvalidPartCount,  // first: the count asked for, second: the most allowed
  kInvalidPrefix,     // detail: the prefix; first: what is wrong, second: the character
  kMissingFolder,
  // Writing a book.
  kCannotCreate,      // detail: the page's path, first: the system's error number
  kCannotWrite,       // detail: the page's path, first: the system's error number
  kCannotClose,       // detail: the page's path, first: the system's error number
  kWouldReplaceBook,  // detail: the page's path
  kNoRoomForFrame,    // first: the page budget in KB, second: the frame's bytes
  kTooManyParts,      // first: the page budget in KB, second: the smallest budget that fits
  // Told after a book was written.
  kStalePages,  // detail: the first names, first: how many more there are
};

// Not read on purpose, as unsafe or unreadable by design, rather than damaged.
inline bool Refused(StatusKind kind) {
  switch (kind) {
    case StatusKind::kTooComplex:
    case StatusKind::kDrmProtected:
    case StatusKind::kZipEntryEncrypted:
    case StatusKind::kZipBomb:
    case StatusKind::kXmlEntities:
    case StatusKind::kXmlTooDeep:
    case StatusKind::kXmlTooManyAttributes:
      return true;
    default:
      return false;
  }
}

struct Status {
  StatusKind kind = StatusKind::kOk;
  std::string detail;
  // The numbers a kind's message needs (see StatusKind); 0 otherwise.
  std::int64_t first = 0;
  std::int64_t second = 0;
  // The system's, a library's or a helper's own words, when the kind has them.
  std::string cause = {};
  // The book file a failure of reading one is about.
  std::string file = {};

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
