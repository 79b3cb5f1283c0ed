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

// Start tags that close an open paragraph first, in HTML's tree builder.
inline constexpr TagSet kClosesParagraphTags = {
    GUMBO_TAG_ADDRESS, GUMBO_TAG_ARTICLE,  GUMBO_TAG_ASIDE,      GUMBO_TAG_BLOCKQUOTE,
    GUMBO_TAG_CENTER,  GUMBO_TAG_DETAILS,  GUMBO_TAG_DIR,        GUMBO_TAG_DIV,
    GUMBO_TAG_DL,      GUMBO_TAG_FIELDSET, GUMBO_TAG_FIGCAPTION, GUMBO_TAG_FIGURE,
    GUMBO_TAG_FOOTER,  GUMBO_TAG_HEADER,   GUMBO_TAG_HGROUP,     GUMBO_TAG_MAIN,
    GUMBO_TAG_MENU,    GUMBO_TAG_NAV,      GUMBO_TAG_OL,         GUMBO_TAG_P,
    GUMBO_TAG_SECTION, GUMBO_TAG_SUMMARY,  GUMBO_TAG_UL,         GUMBO_TAG_H1,
    GUMBO_TAG_H2,      GUMBO_TAG_H3,       GUMBO_TAG_H4,         GUMBO_TAG_H5,
    GUMBO_TAG_H6,      GUMBO_TAG_PRE,      GUMBO_TAG_LISTING,    GUMBO_TAG_FORM,
    GUMBO_TAG_LI,      GUMBO_TAG_DD,       GUMBO_TAG_DT,         GUMBO_TAG_PLAINTEXT,
    GUMBO_TAG_TABLE,   GUMBO_TAG_HR,       GUMBO_TAG_XMP};

constexpr bool IsHeadingTag(GumboTag tag) {
  return tag >= GUMBO_TAG_H1 && tag <= GUMBO_TAG_H6;
}

}  // namespace quillet
