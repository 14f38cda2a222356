#include "session/FileNameFrame.h"

#include "link/Cp932.h"
#include "session/LeadingNumber.h"

namespace karune {

std::optional<FileNameFrame> parseFileNameFrame(std::string_view frame) {
    constexpr std::size_t kNameStart = 2;  // after "^#"
    if (frame.size() < kNameStart)
        return std::nullopt;
    const std::size_t at = findOnCharBoundary(frame, "@");
    if (at == std::string_view::npos || at < kNameStart)
        return std::nullopt;
    return FileNameFrame{std::string(frame.substr(kNameStart, at - kNameStart)),
                         leadingInteger(frame.substr(at + 1))};
}

}  // namespace karune
