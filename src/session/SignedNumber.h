#pragma once

#include <string>

namespace karune {

// A number with one leading sign position: " 3", " 0", "-3". Port numbers, counters and error
// numbers appear this way in messages and in the transfer log.
std::string signPosition(long long value);

}  // namespace karune
