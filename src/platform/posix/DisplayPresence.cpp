#include "platform/posix/DisplayPresence.h"

#include <cstdlib>

namespace karune {
namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

bool toolkitFindsDisplay(std::string_view qpaPlatform, std::string_view x11Display,
                         std::string_view waylandDisplay) {
    if (qpaPlatform.empty())
        return !x11Display.empty() || !waylandDisplay.empty();
    if (qpaPlatform.starts_with("xcb"))
        return !x11Display.empty();
    if (qpaPlatform.starts_with("wayland"))
        return !waylandDisplay.empty();
    return true;
}

bool displayAvailable() {
    return toolkitFindsDisplay(environment("QT_QPA_PLATFORM"), environment("DISPLAY"),
                               environment("WAYLAND_DISPLAY"));
}

}  // namespace karune
