#pragma once

#include <cstdint>
#include <string>

#include "session/SleepInhibitor.h"

namespace karune {

// The system's way of keeping the computer awake. On Linux a "sleep" inhibitor lock of logind in
// mode "block", taken over the system bus (whatever DBUS_SYSTEM_BUS_ADDRESS names, else the
// standard socket) and released by closing the descriptor logind handed out; without a system bus
// or logind nothing is held. On Windows a system-required power request: the display may still
// turn off. `reason` is what the system shows as the holder's reason (systemd-inhibit --list,
// powercfg /requests).
class SystemSleepInhibitor : public SleepInhibitor {
public:
    explicit SystemSleepInhibitor(std::string reason);
    ~SystemSleepInhibitor() override;
    SystemSleepInhibitor(const SystemSleepInhibitor&) = delete;
    SystemSleepInhibitor& operator=(const SystemSleepInhibitor&) = delete;

    void hold() override;
    void release() override;

private:
    std::string reason_;
    std::intptr_t handle_ = -1;  // logind's descriptor, or the power request
};

// The reason the program gives.
inline constexpr const char* kReceptionSleepReason =
    "karune-modem answers calls from handheld terminals";

}  // namespace karune
