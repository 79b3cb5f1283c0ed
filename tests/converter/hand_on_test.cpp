// What one conversion hands on to the next: two converters that say they hand
// on the same state must convert every page alike, or a book converted in two
// halves would differ from the same book converted in turn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "converter/converter.h"

namespace quillet {
namespace {

constexpr const char* kOptions = "+H+G+F=3";

struct Page {
  const char* name;
  const char* rtf;
};

// Pages that leave each piece of kept state behind, and pages that show it.
const std::vector<Page>& Pages() {
  static const std::vector<Page> pages{
      {"Plain", "{\\rtf1 x}"},
      {"Empty", ""},
      {"Colour", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 red}"},
      {"ColourTableOnly", "{\\rtf1{\\colortbl;\\red0\\green0\\blue255;} x}"},
      {"ColourFromKeptTable", "{\\rtf1 \\cf1 y}"},
      {"Size", "{\\rtf1 \\fs40 big}"},
      {"SizeBack", "{\\rtf1 \\fs24 y}"},
      {"Centred", "{\\rtf1 \\qc mid\\par}"},
      {"AlignedLeft", "{\\rtf1 \\ql left\\par}"},
      {"Reset", "{\\rtf1 \\pard\\plain x}"},
      {"ListTextSkip", "{\\rtf1 {\\pntext\\pntxta .}item}"},
      {"SkipAtTheEnd", "{\\rtf1 x\\pntxtb}"},
      {"NoHeader", "{y z}"},
      {"BoldOpen", "{\\rtf1 \\b x}"},
      {"Unicode", "{\\rtf1 \\uc2\\u233 ab x}"},
  };
  return pages;
}

// Every converter state one page (or none) leaves on a fresh converter.
std::vector<std::pair<std::string, Converter>> StatesAfterOnePage() {
  std::vector<std::pair<std::string, Converter>> states;
  states.emplace_back("Fresh", Converter());
  for (const Page& page : Pages()) {
    Converter converter;
    converter.ConvertRtfToHtml(page.rtf, kOptions);
    states.emplace_back(page.name, std::move(converter));
  }
  return states;
}

TEST(HandOn, ConvertersHandingOnTheSameStateConvertEveryPageAlike) {
  const auto states = StatesAfterOnePage();
  int same = 0;
  int different = 0;
  for (const auto& [firstName, first] : states) {
    for (const auto& [secondName, second] : states) {
      if (!first.HandsOnSameStateAs(second)) {
        ++different;
        continue;
      }
      ++same;
      for (const Page& page : Pages()) {
        Converter a = first.Fork();
        Converter b = second.Fork();
        EXPECT_EQ(a.ConvertRtfToHtml(page.rtf, kOptions), b.ConvertRtfToHtml(page.rtf, kOptions))
            << "after " << firstName << " and after " << secondName << ", page " << page.name;
        EXPECT_TRUE(a.HandsOnSameStateAs(b))
            << firstName << ", " << secondName << ", " << page.name;
      }
    }
  }
  // Both answers occur, so neither half of the check is empty.
  EXPECT_GT(same, static_cast<int>(states.size()));
  EXPECT_GT(different, 0);
}

// Each kept piece of state, left by a page, makes a later page differ, and
// the check sees it.
TEST(HandOn, EveryKeptPieceOfStateIsSeen) {
  struct Row {
    const char* name;
    const char* before;
    const char* page;
  };
  for (const Row& row : {
           Row{"ColourTable", "{\\rtf1{\\colortbl;\\red0\\green0\\blue255;} x}",
               "{\\rtf1 \\cf1 y}"},
           Row{"Colour", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 red}", "{\\rtf1 y}"},
           Row{"Size", "{\\rtf1 \\fs40 big}", "{\\rtf1 y}"},
           Row{"SkippedToken", "{\\rtf1 x\\pntxtb}", "{y z}"},
       }) {
    Converter kept;
    kept.ConvertRtfToHtml(row.before, kOptions);
    Converter fresh;
    Converter forked = kept.Fork();
    EXPECT_FALSE(kept.HandsOnSameStateAs(fresh)) << row.name;
    EXPECT_TRUE(kept.HandsOnSameStateAs(forked)) << row.name;
    const std::string afterKept = kept.ConvertRtfToHtml(row.page, kOptions);
    EXPECT_NE(afterKept, fresh.ConvertRtfToHtml(row.page, kOptions)) << row.name;
    EXPECT_EQ(afterKept, forked.ConvertRtfToHtml(row.page, kOptions)) << row.name;
  }
}

TEST(HandOn, TakingAnotherConvertersStateKeepsTheHandOverVariables) {
  Converter book;
  book.RtfSource = "source";
  book.FilePrefix = "PREFIX";
  Converter ahead = book.Fork();
  ahead.ConvertRtfToHtml("{\\rtf1 \\qc mid}", kOptions);
  Converter expected = ahead.Fork();
  book.TakeStateOf(std::move(ahead));
  EXPECT_TRUE(book.HandsOnSameStateAs(expected));
  EXPECT_EQ(book.RtfSource, "source");
  EXPECT_EQ(book.FilePrefix, "PREFIX");
}

}  // namespace
}  // namespace quillet
