#include "session/SignedNumber.h"

namespace karune {

std::string signPosition(long long value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace karune
