// Writes the document model as RTF in the shape a Windows rich-edit control
// writes, which the RTF-to-HTML converter is tuned to:
//
//   {\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Arial;}}
//   {\colortbl ;\red255\green0\blue0;}
//   \viewkind4\uc1\pard\plain\f0 Plain \b bold\b0  text\par
//   }
//
// Lines end in CR LF. Font 0 is the default face (Arial); font 1 is Symbol when
// the document has bullet items; the colour table is written only when colours
// are used. Every control word that text follows ends with a space, and the
// text starts with \pard\plain so that no earlier formatting carries over.
// Characters outside ASCII are written as \'xx when Windows-1252 has them and
// as \uN\'3f otherwise; "\", "{" and "}" as \'5c, \'7b and \'7d. A size is
// written only where it differs from the 12-point default (\fs24).
//
// A document's notes (see Note) are written as the ordinary paragraphs of the
// notes section, which is what the converter shows, and are described by
// ignorable groups of our own that the RTF reader reads back:
// {\*\quilletnotes} opens the section's heading, {\*\quilletnote MARK} (with
// \quilletendnote for an endnote) the first paragraph of each note,
// {\*\quilletnotemore} each further paragraph of a note, {\*\quilletnotesend}
// the first paragraph after the section, if any, and {\*\quilletnoteref N}
// stands before the mark of the N-th note in the text.
#pragma once

#include <string>

#include "richtext/document.h"

namespace quillet {

// The face written for runs without one.
inline constexpr const char* kDefaultFontFace = "Arial";

std::string WriteRtf(const Document& document);

}  // namespace quillet
