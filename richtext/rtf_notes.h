// Notes in RTF: what our own note groups (see rtf_writer.h) say of each
// paragraph, and the notes section they describe. Internal to the RTF reader,
// whose note and text box methods are in rtf_notes.cpp too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "richtext/document.h"

namespace quillet::rtf {

// What our own note groups say of a paragraph.
enum class NoteRole : std::uint8_t { kNone, kHeading, kFirst, kMore };

class OwnNotes {
 public:
  void AddRole(std::size_t paragraph, NoteRole role, NoteKind kind, std::u16string mark) {
    roles_.push_back({paragraph, role, kind, std::move(mark)});
  }
  // A reference to note `note` (from 1) at `offset` in `paragraph`.
  void AddReference(std::size_t note, std::size_t paragraph, std::size_t offset) {
    references_.push_back({note, paragraph, offset});
  }
  // Puts the notes the groups describe into `document`, when they describe
  // them whole and they fit it.
  void Recover(Document& document) const;

 private:
  struct Role {
    std::size_t paragraph;
    NoteRole role;
    NoteKind kind;
    std::u16string mark;
  };
  struct Reference {
    std::size_t note;
    std::size_t paragraph;
    std::size_t offset;
  };
  std::optional<std::vector<Note>> Described() const;

  std::vector<Role> roles_;
  std::vector<Reference> references_;
};

}  // namespace quillet::rtf
