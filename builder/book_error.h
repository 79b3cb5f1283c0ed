// The one failure type of the builder: what went wrong, said for the user.
#pragma once

#include <string>

namespace quillet {

// Why something could not be done, in Spanish and English; the caller shows it.
struct BookError {
  std::string message;
};

}  // namespace quillet
