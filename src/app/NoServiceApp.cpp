#include <iostream>

#include "app/ServiceApp.h"

namespace karune {

// systemd runs the headless program as it is (packaging/karune-modem@.service).
int runService(const Startup&) {
    std::cerr << "karune-modem: --service is for Windows' service control manager; under systemd "
                 "use --headless\n";
    return 2;
}

int runInstallService(const CommandLine&, const std::filesystem::path&) {
    std::cerr << "karune-modem: --install-service is for Windows; under systemd each line is an "
                 "instance of karune-modem@.service\n";
    return 2;
}

int runUninstallService(const std::string&) {
    std::cerr << "karune-modem: --uninstall-service is for Windows; under systemd each line is an "
                 "instance of karune-modem@.service\n";
    return 2;
}

}  // namespace karune
