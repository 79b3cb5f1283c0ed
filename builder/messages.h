// The words a person reads when something fails, in Spanish and English, made
// from a Status; the window's message box, its tooltips and the command line
// all show these.
#pragma once

#include <string>

#include "richtext/status.h"

namespace quillet {

// "" for a status that is ok.
std::string Message(const Status& status);

// The command line's options that are out of range: --parts not a whole
// number from 1 to `mostParts`, --max-kb not one from 1 to `largestKb`, an
// empty --out, a helper's time limit outside a millisecond to a day.
std::string PartsOptionMessage(int mostParts);
std::string MaxKbOptionMessage(int largestKb);
std::string OutOptionMessage();
std::string HelperSecondsMessage();

}  // namespace quillet
