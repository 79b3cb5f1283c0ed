#include "converter/page_frame.h"

namespace quillet {

std::string PageHeader(std::string_view filePrefix) {
  std::string head = "<!doctype html public '-//W3C//DTD HTML Experimental 19960712//EN'>\r\n";
  head += "<HTML>\r\n<HEAD>\r\n<TITLE>:: QUILLET - ";
  head += filePrefix;
  head += " ::</TITLE>\r\n";
  return head;
}

std::string PageFooter() {
  return "</BODY>\r\n\r\n</html>";
}

}  // namespace quillet
