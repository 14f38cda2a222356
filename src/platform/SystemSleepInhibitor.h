#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "session/SleepInhibitor.h"

namespace karune {

// The system's way of keeping the computer awake. On Linux a "sleep" inhibitor lock of logind in
// mode "block", taken over the system bus (whatever DBUS_SYSTEM_BUS_ADDRESS names, else the
// standard socket) and released by closing the descriptor logind handed out; without a system bus
// or logind nothing is held. On Windows a system-required power request: the display may still
// turn off. `reason` is what the system shows as the holder's reason (systemd-inhibit --list,
// powercfg /requests). `refused` hears why a system that is there did not grant the hold (logind
// lets a user outside a login session block sleep only by a polkit rule).
class SystemSleepInhibitor : public SleepInhibitor {
public:
    using Refusal = std::function<void(const std::string& why)>;

    explicit SystemSleepInhibitor(std::string reason, Refusal refused = {});
    ~SystemSleepInhibitor() override;
    SystemSleepInhibitor(const SystemSleepInhibitor&) = delete;
    SystemSleepInhibitor& operator=(const SystemSleepInhibitor&) = delete;

    void hold() override;
    void release() override;

private:
    std::string reason_;
    Refusal refused_;
    std::intptr_t handle_ = -1;  // logind's descriptor, or the power request
};

// The reason the program gives.
inline constexpr const char* kReceptionSleepReason =
    "karune-modem answers calls from handheld terminals";

}  // namespace karune
