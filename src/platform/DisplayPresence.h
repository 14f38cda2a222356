#pragma once

namespace karune {

// Whether the window toolkit will find a display to open the window on. Without one it would
// abort the process, so the program asks first and explains instead.
bool displayAvailable();

}  // namespace karune
