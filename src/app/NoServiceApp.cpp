#include <iostream>

#include "app/ServiceApp.h"

namespace karune {

// systemd runs the headless program as it is (packaging/karune-modem@.service).
int runService(const Startup&) {
    std::cerr << "karune-modem: --service is for Windows' service control manager; under systemd "
                 "use --headless\n";
    return 2;
}

}  // namespace karune
