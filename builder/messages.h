// The words a person reads when something fails, in Spanish and English, made
// from a Status; the window's message box, its tooltips and the command line
// all show these.
#pragma once

#include <string>

#include "richtext/status.h"

namespace quillet {

// "" for a status that is ok.
std::string Message(const Status& status);

// The command line's --parts that is not a whole number from 1 to `mostParts`.
std::string PartsOptionMessage(int mostParts);

}  // namespace quillet
