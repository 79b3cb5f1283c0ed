// Quillet's RTF-to-HTML converter.
//
// ConvertRtfToHtml takes the RTF of one page (a document in one pair of braces,
// with CR LF line breaks, as a rich-edit control writes it) and an option
// string, and returns the HTML body of that page. Adding the page's head and
// foot is the caller's job (page_frame.h). Texts are byte strings: RTF is 7-bit,
// and any byte of 128 or more passes through as one Windows-1252 character.
//
// Options: "+CR" ends emitted lines with CR LF; "+F=" and digits sets the
// default font size, which is never written.
//
// One Converter is one set of converter state: the font, alignment and colour
// state and a few more variables carry over from one conversion to the next on
// the same object. Conversions on one object must not overlap.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quillet {

class ConverterState;  // converter/converter_state.h
class DebugHost;
class MarkupSink;  // converter/markup_sink.h

class Converter {
 public:
  Converter();
  ~Converter();
  Converter(Converter&&) noexcept;
  Converter& operator=(Converter&&) noexcept;

  std::string ConvertRtfToHtml(std::string_view rtf, std::string_view options);
  // The same for RTF handed over with std::move: it is cut down in place, so
  // a big text is never held twice.
  std::string ConvertRtfToHtmlInPlace(std::string rtf, std::string_view options);
  // The same conversion handed to `sink` piece by piece, for a reader that
  // needs to know what each piece is; nothing is returned or kept in HtmlResult.
  void ConvertRtfToMarkup(std::string rtf, std::string_view options, MarkupSink& sink);

  // Variables through which the book builder hands a page in and out.
  std::string RtfSource;
  std::string HtmlResult;
  std::string FilePrefix;
  // With DebugMode, the host is shown the state before every token; it sets
  // DebugContinue to let the next pause pass.
  bool DebugMode = false;
  bool DebugContinue = false;
  void SetDebugHost(DebugHost* host) { debugHost_ = host; }

  // A converter starting from this one's state, with no debug host, for
  // converting ahead on another thread.
  Converter Fork() const;
  // True when the next conversion gives the same page on both converters:
  // they hand on the same state (everything else starts afresh each time).
  bool HandsOnSameStateAs(const Converter& other) const;
  // Takes over the state `other` reached; the hand-over variables stay this one's.
  void TakeStateOf(Converter&& other);

  // The state that conversions share, for the debug trace and tests.
  ConverterState& State() { return *state_; }
  const ConverterState& State() const { return *state_; }

 private:
  void RunTokenLoop(std::string_view body);
  void DebugTrace(std::string_view word);

  std::unique_ptr<ConverterState> state_;
  DebugHost* debugHost_ = nullptr;
};

// Receives the pauses of the debug trace. Pause returns when the user lets the
// conversion go on; a converter without a host never pauses.
class DebugHost {
 public:
  virtual ~DebugHost() = default;
  virtual void Pause(Converter& converter, const std::string& dump) = 0;
};

}  // namespace quillet
