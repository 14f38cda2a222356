#include "session/Labels.h"

namespace karune {

std::string applyLabelMode(std::string_view old, int mode, std::string_view text) {
    switch (mode) {
        case kReplace:
            return std::string(text);
        case kNewLine:
            return std::string(old) + "\r\n" + std::string(text);
        case kAppend:
            return std::string(old) + std::string(text);
        default:
            return std::string(old);
    }
}

}  // namespace karune
