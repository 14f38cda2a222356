#pragma once

#include <string_view>

#include "platform/DisplayPresence.h"

namespace karune {

// The rule on X11 and Wayland systems, from the environment (empty: unset): QT_QPA_PLATFORM names
// the toolkit's platform; "xcb" needs DISPLAY, "wayland" needs WAYLAND_DISPLAY, unset needs either,
// and any other platform (offscreen, vnc, a framebuffer) needs none.
bool toolkitFindsDisplay(std::string_view qpaPlatform, std::string_view x11Display,
                         std::string_view waylandDisplay);

}  // namespace karune
