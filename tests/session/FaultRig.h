#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FaultyTerminal.h"
#include "config/Settings.h"
#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "session/SessionFlags.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/ScriptedModem.h"
#include "support/TempFolder.h"

namespace karune::test {

// The line as the session sees it: the simulated line, except while the terminal babbles, when
// every read returns bytes at once (at the line's speed in virtual time) until the PC escapes.
class BabblingLine : public SerialLine {
public:
    static constexpr std::size_t kChunk = 256;
    // 38400 baud, ten bits a byte.
    static constexpr Clock::Duration kChunkTime = std::chrono::microseconds(260) * kChunk;

    BabblingLine(sim::SimulatedLine& inner, std::function<FaultyTerminal*()> terminal)
        : inner_(inner), terminal_(std::move(terminal)) {}

    std::string readUntil(Clock::TimePoint deadline) override;
    bool write(std::string_view bytes) override;

    std::size_t babbled() const { return babbled_; }

private:
    sim::SimulatedLine& inner_;
    std::function<FaultyTerminal*()> terminal_;
    std::size_t babbled_ = 0;
};

// What one cycle left behind when the PC hung up ("ATH0").
struct CycleEnd {
    std::string finalWord;  // the PC's last line to the terminal; empty when never connected
    std::string error;      // the error label
    std::optional<std::string> backup;  // the back-up file, when it is a regular file
    std::optional<std::string> output;  // DATA.txt in the save folder, likewise
};

// A modem and terminal in virtual time for fault injection, with automatic start on. The first
// connected call can be given a fault and noise; later calls upload the same records cleanly.
// run() serves cycles (starting reception again when it stopped itself) until `cyclesWanted`
// have hung up.
struct FaultRig {
    sim::VirtualClock clock;
    sim::SimulatedLine line{clock};
    ScriptedModem modem{line};
    BabblingLine babblingLine{line, [this] { return terminal ? &*terminal : nullptr; }};
    FakePorts ports{babblingLine};
    FakeDisplay display;
    FakeMessages messages;
    SessionFlags flags;
    TempFolder root;
    std::filesystem::path out = root.path() / "out";
    std::filesystem::path backFile = root.path() / "Back.txt";
    Settings settings;

    FaultyTerminal::Options healthy;
    std::optional<LineFault> firstCallFault;
    std::string firstCallNoise;
    std::size_t cyclesWanted = 2;
    // Extra hooks: every line the PC sends; the start of the modem initialisation after the
    // first cycle ended (its history line written), to undo a fault before the next call.
    std::function<void(const std::string& line)> onLine;
    std::function<void()> afterFirstCycle;

    std::vector<CycleEnd> ends;
    std::optional<FaultyTerminal> terminal;
    int naksInFirstCall = -1;

    explicit FaultRig(std::vector<std::string> records);
    void run();

    std::filesystem::path output() const { return out / "DATA.txt"; }

private:
    void pcLine(const std::string& text);

    int connects_ = 0;
    long linesSent_ = 0;
    std::string lastWord_;
    bool healed_ = false;
};

// The bytes of a regular file; nullopt for anything else (a device behind a link reads forever).
std::optional<std::string> regularFileBytes(const std::filesystem::path& path);

}  // namespace karune::test
