// What the window tells the user when one of its handlers fails.
#pragma once

#include <exception>

#include "richtext/status.h"

namespace quillet {

// The status of a handler that failed with `failure`: running out of memory,
// another exception with its own text, or anything else as unexpected.
Status FailureStatus(const std::exception_ptr& failure);

}  // namespace quillet
