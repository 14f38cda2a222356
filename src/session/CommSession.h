#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "config/FileSystem.h"
#include "config/OperatorMessages.h"
#include "config/Settings.h"
#include "link/Clock.h"
#include "link/SerialPort.h"
#include "session/Display.h"
#include "session/FreeSpace.h"
#include "session/SessionFlags.h"
#include "session/SleepInhibitor.h"
#include "session/WindowFields.h"

namespace karune {

// The services a reception session reaches the world through.
struct SessionServices {
    SerialPorts& ports;
    Clock& clock;
    Display& display;
    OperatorMessages& messages;
    // The window's reception: a port that opened in this session and then failed (a USB adapter
    // gone over a sleep) is tried again every few seconds while automatic start is on, and a
    // modem that answered in this session and then fell silent is initialised again every
    // minute, instead of ending reception, so that calls are answered again once it is back. The
    // headless program leaves this off and ends, for its service manager to restart it.
    bool retryLostPort = false;
    FileSystem& files = systemFileSystem();
    // Held by Reception while a session runs or waits to run.
    SleepInhibitor& sleep = noSleepInhibitor();
    // How long the line may stay quiet while waiting for a call before the modem is asked "AT";
    // zero leaves it unasked.
    Clock::Duration modemCheck = kDefaultModemCheck;
    SpaceProbe freeSpace = availableSpace;

    static constexpr Clock::Duration kDefaultModemCheck = std::chrono::minutes(10);
};

// The reception service: opens the port, brings the modem into a known state, waits for a call,
// answers it, serves the terminal, reports, hangs up, and starts over while automatic start is on
// and reception has not been stopped. While it waits for a call it watches the modem: its ready
// line dropping, or no "OK" to "AT" after a quiet spell, is a silent modem. A port error or a
// silent modem ends reception, unless SessionServices::retryLostPort keeps trying a port and a
// modem that worked. At the start and before each answer it warns of low free space.
//
// run() blocks the calling thread (a worker, never the window's) for the whole service and
// returns when no further cycle is to run. The caller sets flags.running before calling it; the
// stop action clears it, and the session notices at its next stop check.
class CommSession {
public:
    // `window`: the window's fields as earlier receptions of this program run left them.
    CommSession(SessionServices services, SessionFlags& flags, Settings snapshot,
                std::filesystem::path backFile, WindowFields window = {});

    void run();

    // True when the last cycle run() went through ended with a completed transfer.
    bool lastCycleCompleted() const { return lastCycleCompleted_; }
    // The window's fields as run() left them, for the next reception.
    const WindowFields& windowFields() const { return window_; }

private:
    // The port opened again, or no line when reception was stopped first.
    PortOpenResult reopenLostPort();
    // The port open on a modem that has answered "ATE0" again, or no line when reception was
    // stopped first.
    PortOpenResult awaitSilentModem(SessionContext& ctx);
    // Sleeps for `pause` in steps that look at the stop flag; false when stopped.
    bool pauseUnlessStopped(Clock::Duration pause);

    SessionServices services_;
    SessionFlags& flags_;
    Settings settings_;
    std::filesystem::path backFile_;
    WindowFields window_;
    bool lastCycleCompleted_ = false;
    std::uintmax_t largestTransfer_ = 0;
};

}  // namespace karune
