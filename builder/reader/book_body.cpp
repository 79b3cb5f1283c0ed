#include "builder/reader/book_body.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "converter/converter.h"
#include "converter/markup_sink.h"

namespace quillet::reader {
namespace {

// The destinations our RTF writer puts around notes.
constexpr std::string_view kReferenceWord = "\\quilletnoteref";
constexpr std::string_view kSectionWord = "\\quilletnotes";
constexpr std::string_view kNoteWord = "\\quilletnote";
constexpr std::string_view kSectionEndWord = "\\quilletnotesend";

// The element an end tag closes; kOther for none the balancer knows.
BodyToken TagToken(TokenKind kind, std::string_view endTag, std::string_view text) {
  // The converter writes every element but the list around items.
  for (int index = 0; index < static_cast<int>(Element::kList); ++index) {
    const auto element = static_cast<Element>(index);
    // A font tag with nothing to set was never one the balancer takes.
    if (EndTagOf(element) == endTag &&
        (element != Element::kFont || kind == TokenKind::kEnd || text.starts_with("<font "))) {
      return {kind, element, text};
    }
  }
  return {TokenKind::kOther, Element::kB, text};
}

// The note number a citation's destination carries ("\quilletnoteref3": 3), or 0.
std::size_t NoteNumber(std::string_view word) {
  const std::string_view digits = word.substr(kReferenceWord.size());
  std::size_t number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return error == std::errc() && end == digits.data() + digits.size() ? number : 0;
}

// Takes the converter's pieces: tags and breaks go to the balancer as tokens,
// text is gathered until the next piece that is not text (the balancer sees
// one text between two tags), and the notes' destinations become places.
class BookPieces : public MarkupSink {
 public:
  BookPieces(std::size_t expectedBytes, int defaultFontSize)
      : balancer_(expectedBytes, defaultFontSize) {}

  void Text(std::string_view html) override { text_ += html; }
  void StartTag(std::string_view endTag, std::string_view startTag) override {
    // An element whose start tag is empty was never opened.
    if (startTag.empty()) return;
    Flush();
    balancer_.Add(TagToken(TokenKind::kStart, endTag, startTag));
  }
  void EndTag(std::string_view endTag) override {
    Flush();
    balancer_.Add(TagToken(TokenKind::kEnd, endTag, endTag));
  }
  void LineBreak() override {
    Flush();
    balancer_.Add({TokenKind::kBreak, Element::kB, "<br>"});
  }
  void Destination(std::string_view word) override;

  BookBody Finish();

 private:
  void Flush();
  // The place right here: after the text so far, before the tags that follow.
  std::size_t Here() {
    Flush();
    return balancer_.Size();
  }

  Balancer balancer_;
  std::string text_;
  // Citations, in order, and the notes they cite (0-based).
  std::vector<std::size_t> places_;
  std::vector<std::size_t> cited_;
  bool inSection_ = false;
  bool sectionEnded_ = false;
  std::size_t bodyEnd_ = 0;
  std::size_t bodyTextEnd_ = 0;
  // The section's heading and each note begin where their first text does:
  // after the line break and end tags before it, before its start tags.
  std::vector<std::size_t> starts_;  // the heading's, then each note's
  std::size_t startsOwed_ = 0;
};

void BookPieces::Destination(std::string_view word) {
  if (word == kSectionEndWord) {
    sectionEnded_ = true;
  } else if (word == kSectionWord) {
    if (inSection_) return;
    inSection_ = true;
    bodyEnd_ = Here();
    bodyTextEnd_ = balancer_.TextEnd();
    ++startsOwed_;
  } else if (word == kNoteWord && inSection_) {
    Flush();  // the text before the note is the one before's
    ++startsOwed_;
  } else if (word.starts_with(kReferenceWord) && !inSection_) {
    const std::size_t number = NoteNumber(word);
    if (number == 0) return;
    places_.push_back(Here());
    cited_.push_back(number - 1);
  }
}

void BookPieces::Flush() {
  if (text_.empty()) return;
  for (; startsOwed_ > 0; --startsOwed_) starts_.push_back(balancer_.Size());
  balancer_.Add({TokenKind::kText, Element::kB, text_});
  text_.clear();
}

// Each part's notes start on a line of their own.
constexpr std::string_view kNotesBreak = "<br>";

// The body up to `end`, where the notes section began, with what is open
// there closed, as at the end of any body.
void CutOffAt(BalancedBody& body, std::size_t end, std::size_t textEnd) {
  const std::uint32_t open = body.StateAt(end);
  body.html.resize(end);
  body.textEnd = textEnd;
  std::erase_if(body.changes,
                [end](const BalancedBody::Change& change) { return change.tagEnd > end; });
  std::erase_if(body.headings, [end](const Span& heading) { return heading.begin >= end; });
  std::erase_if(body.texts, [end](const TextRun& text) { return text.begin >= end; });
  for (Span& heading : body.headings) heading.end = std::min(heading.end, end);
  for (std::uint32_t state = open; state != 0;) {
    const std::size_t tagStart = body.html.size();
    body.html += EndTagOf(body.tagElements[body.states[state].tag]);
    state = body.states[state].parent;
    body.changes.push_back({tagStart, body.html.size(), state});
  }
}

BookBody BookPieces::Finish() {
  Flush();
  BookBody book{balancer_.Finish(), std::nullopt};
  // A note section with text after it, or without a note, leaves the book whole.
  if (!inSection_ || sectionEnded_ || starts_.size() < 2) return book;
  BalancedBody& body = book.body;
  BookNotes notes;
  notes.heading = std::string(kNotesBreak) + body.Standalone({starts_[0], starts_[1]});
  for (std::size_t note = 1; note < starts_.size(); ++note) {
    const std::size_t end = note + 1 < starts_.size() ? starts_[note + 1] : body.html.size();
    notes.notes.push_back(body.Standalone({starts_[note], end}));
  }
  notes.places = std::move(places_);
  notes.cited = std::move(cited_);
  CutOffAt(body, bodyEnd_, bodyTextEnd_);
  book.notes = std::move(notes);
  return book;
}

}  // namespace

BookBody ConvertBook(Converter& converter, std::string rtf, std::string_view options,
                     int defaultFontSize) {
  BookPieces pieces(rtf.size(), defaultFontSize);
  converter.ConvertRtfToMarkup(std::move(rtf), options, pieces);
  return pieces.Finish();
}

}  // namespace quillet::reader
