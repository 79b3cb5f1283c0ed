// What the window tells the user when one of its handlers fails.
#pragma once

#include <exception>
#include <string>

namespace quillet {

// What the user reads when a handler failed with `failure`, in Spanish and
// English: running out of memory in plain words, another exception with its
// own text, and anything else as an unexpected error.
std::string FailureMessage(const std::exception_ptr& failure);

}  // namespace quillet
