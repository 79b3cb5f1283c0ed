// A conversion's output as the pieces it is written from, for a client that
// wants the page's structure rather than its text. Handed in order, the pieces
// make exactly the text ConvertRtfToHtml returns: an end tag, a start tag, a
// line break or text each time; a destination of our own ({\*\word ...})
// writes nothing and is told where it stood.
#pragma once

#include <string_view>

namespace quillet {

class MarkupSink {
 public:
  virtual ~MarkupSink() = default;

  // Text as it is written, character references and all.
  virtual void Text(std::string_view html) = 0;
  // An element opens: `endTag` names it ("</b>", "</font>", "</li>",
  // "</td></tr></table>"), `startTag` is what is written ("<font size=5>").
  virtual void StartTag(std::string_view endTag, std::string_view startTag) = 0;
  // An element closes; it may not have been opened.
  virtual void EndTag(std::string_view endTag) = 0;
  // "<br>"; the line end the options ask for follows as text.
  virtual void LineBreak() = 0;
  // The first control word of an ignored destination, "\word" with its
  // parameter: where it stands between the pieces around it.
  virtual void Destination(std::string_view word) = 0;
};

}  // namespace quillet
