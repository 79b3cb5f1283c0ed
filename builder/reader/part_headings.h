// What the index and the titles call a part: its first heading, else its
// first words, as plain page text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "builder/reader/balancer.h"

namespace quillet::reader {

// About this many characters of a heading or of a part's first words.
inline constexpr std::size_t kHeadingCharacters = 60;
// A heading never takes more bytes than this (references are long).
inline constexpr std::size_t kHeadingBytes = 320;

// The text of a stretch of page markup: tags dropped, every run of white
// space (no-break spaces and line breaks too) one space, no space at the ends;
// references stay as they are. Stops once it has more than `characters`.
std::string PlainText(std::string_view html, std::size_t characters);

// The text cut after a whole word to at most `characters` characters and
// `bytes` bytes; a single word longer than that is cut between characters.
std::string ShortenAtWord(std::string_view text, std::size_t characters, std::size_t bytes);

// The part's first heading, else its first words.
std::string PartHeading(const BalancedBody& body, Span part);

}  // namespace quillet::reader
