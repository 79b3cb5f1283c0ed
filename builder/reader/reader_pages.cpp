#include "builder/reader/reader_pages.h"

#include <algorithm>

#include "builder/reader/part_headings.h"
#include "converter/page_frame.h"

namespace quillet::reader {
namespace {

// The default pages leave the head open and the body unopened; these close
// the one and open the other.
constexpr std::string_view kBodyStart = "</HEAD>\r\n<BODY>\r\n";
constexpr std::string_view kIndexHeading = "INDICE<br><br>\r\n";

std::string Link(std::string_view target, std::string_view text) {
  std::string link = "<a href=\"";
  link += target;
  link += "\">";
  link += text;
  link += "</a>";
  return link;
}

// A page file ends with a line end, as every write of a page does.
std::string Foot() {
  return PageFooter() + std::string(kCrLf);
}

// The head of a page up to its title, as the page frame writes it.
std::string HeadBeforeTitle() {
  const std::string head = PageHeader("");
  return head.substr(0, head.find("<TITLE>"));
}

// Sizes are rounded up, so that no page shows more than the budget allows.
std::string SizeText(std::size_t bytes) {
  return "(" + std::to_string((bytes + 1023) / 1024) + " KB)";
}

}  // namespace

std::string PartNumberText(int part, int partCount) {
  std::string number = std::to_string(part);
  const std::size_t digits = partCount > 99 ? 3 : 2;
  if (number.size() < digits) number.insert(0, digits - number.size(), '0');
  return number;
}

std::string PageComposer::PartPage(int part, int partCount, std::string_view heading,
                                   std::string_view body) const {
  std::string title = names_.titlePrefix;
  if (titles_) {
    title += " " + PartNumberText(part, partCount) + "/" + PartNumberText(partCount, partCount);
    if (!heading.empty()) title += " - " + std::string(heading);
  }
  const std::string links =
      navigation_ && partCount > 1 ? Navigation(part, partCount) + std::string(kCrLf) : "";
  std::string page = PageHeader(title);
  page.reserve(page.size() + kBodyStart.size() + body.size() + 2 * links.size() + 32);
  page += kBodyStart;
  page += links;
  page += body;
  page += kCrLf;
  page += links;
  page += Foot();
  return page;
}

std::size_t PageComposer::MaxFrameBytes() const {
  // The second of 999 parts links both neighbours, with three digits each.
  return PartPage(2, 999, std::string(kHeadingBytes, 'x'), "").size();
}

std::string PageComposer::IndexPage(const std::vector<IndexEntry>& entries,
                                    std::size_t pageBytes) const {
  const int count = static_cast<int>(entries.size());
  std::string page = titles_ ? PageHeader(names_.titlePrefix + " - INDICE")
                             : HeadBeforeTitle() + "<TITLE>:: INDICE ::</TITLE>\r\n";
  page += kBodyStart;
  page += kIndexHeading;
  // Room for each heading and the space before it.
  std::size_t room = kHeadingBytes + 1;
  if (titles_ && pageBytes > 0 && count > 0) {
    std::size_t bare = page.size() + Foot().size();
    for (int part = 1; part <= count; ++part) {
      bare += IndexLine(part, count, "", entries[part - 1].pageBytes).size();
    }
    room = bare < pageBytes ? std::min(room, (pageBytes - bare) / count) : 0;
  }
  for (int part = 1; part <= count; ++part) {
    const IndexEntry& entry = entries[part - 1];
    const std::string heading =
        room > 1 ? ShortenAtWord(entry.heading, kHeadingCharacters, room - 1) : "";
    page += IndexLine(part, count, heading, entry.pageBytes);
  }
  page += Foot();
  return page;
}

bool PageComposer::IndexFits(int partCount, std::size_t pageBytes) const {
  const std::vector<IndexEntry> entries(static_cast<std::size_t>(partCount),
                                        IndexEntry{"", pageBytes});
  return IndexPage(entries, 0).size() <= pageBytes;
}

std::string PageComposer::Navigation(int part, int partCount) const {
  std::string links = "<p>";
  if (part > 1) links += Link(PartFile(part - 1, partCount), "&lt;&lt; Anterior") + " | ";
  links += Link(names_.linkPrefix + ".html", "&Iacute;ndice");
  if (part < partCount) links += " | " + Link(PartFile(part + 1, partCount), "Siguiente &gt;&gt;");
  links += "</p>";
  return links;
}

std::string PageComposer::PartFile(int part, int partCount) const {
  return names_.linkPrefix + PartNumberText(part, partCount) + ".html";
}

std::string PageComposer::IndexLine(int part, int partCount, std::string_view heading,
                                    std::size_t pageBytes) const {
  const std::string number = PartNumberText(part, partCount);
  if (!titles_) return Link(PartFile(part, partCount), names_.shownPrefix + number) + "<br>\r\n";
  const std::string text = heading.empty() ? number : number + " " + std::string(heading);
  return Link(PartFile(part, partCount), text) + " " + SizeText(pageBytes) + "<br>\r\n";
}

}  // namespace quillet::reader
