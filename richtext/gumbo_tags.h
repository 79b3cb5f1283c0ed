// Sets of gumbo's element tags, as tables indexed by tag.
#pragma once

#include <gumbo.h>

#include <array>
#include <initializer_list>

namespace quillet {

class TagSet {
 public:
  constexpr TagSet(std::initializer_list<GumboTag> tags) {
    for (GumboTag tag : tags) members_[tag] = true;
  }
  constexpr bool Has(GumboTag tag) const { return tag <= GUMBO_TAG_LAST && members_[tag]; }

 private:
  std::array<bool, GUMBO_TAG_LAST + 1> members_{};
};

constexpr bool IsHeadingTag(GumboTag tag) {
  return tag >= GUMBO_TAG_H1 && tag <= GUMBO_TAG_H6;
}

}  // namespace quillet
