#include "platform/DisplayPresence.h"

namespace karune {

// Every Windows session has a desktop to draw on, a service's included.
bool displayAvailable() {
    return true;
}

}  // namespace karune
