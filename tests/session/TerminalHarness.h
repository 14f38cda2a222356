#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/Settings.h"
#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/Frame.h"
#include "link/LineIo.h"
#include "session/SessionContext.h"
#include "session/TerminalExchange.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune::test {

// One answer of the terminal: when the PC sends a line that starts with `trigger`, the terminal
// sends `line` and CR (nothing when `line` is empty). PC lines that do not match the next entry
// get no answer.
struct Reply {
    std::string trigger;
    std::string line;
};

// "^" sequence payload "*" and the checksum of the variant (`crcType` as in the settings).
inline std::string frameOf(char sequence, const std::string& payload, int crcType) {
    const std::string head = std::string("^") + sequence;
    const std::string covered = payload + "*";
    return head + covered + FrameChecksum(crcType == 0 ? head + covered : covered);
}

// ServeTerminal in virtual time against a scripted terminal, its folders in a temporary one.
class TerminalHarness {
public:
    explicit TerminalHarness(const std::function<void(Settings&)>& adjust = {},
                             FileSystem& files = systemFileSystem())
        : line_(clock_),
          io_(line_, clock_),
          ctx_(clock_, display, messages, flags, makeSettings(adjust), programFolder() / "Back.txt",
               {}, files) {
        flags.running = true;
        ctx_.line = &io_;
        line_.setPeer([this](const std::string& pcLine, sim::SimulatedLine& line) {
            heard.push_back(pcLine);
            if (next_ >= script.size() || pcLine.rfind(script[next_].trigger, 0) != 0)
                return;
            const Reply& reply = script[next_++];
            if (!reply.line.empty())
                line.deliver(reply.line + "\r", Clock::Duration{});
        });
    }

    void run() { ServeTerminal(ctx_); }

    std::filesystem::path saveFolder() const { return dir_.path() / "save"; }
    std::filesystem::path programFolder() const { return dir_.path() / "prog"; }
    std::string backup() const { return fileBytes(ctx_.backFile); }
    std::string logText() const { return fileBytes(saveFolder() / "LOG.TXT"); }
    std::string output(const std::string& name) const { return fileBytes(saveFolder() / name); }
    std::string written() const { return line_.written(); }
    // The error label after its time stamp ("2007-06-06-09:15:00").
    std::string errorMessage() const {
        const std::string error = display.last("error");
        return error.substr(std::min<std::size_t>(19, error.size()));
    }
    SessionContext& ctx() { return ctx_; }
    sim::VirtualClock& clock() { return clock_; }

    std::vector<Reply> script;
    std::vector<std::string> heard;
    FakeDisplay display;
    FakeMessages messages;
    SessionFlags flags;

private:
    Settings makeSettings(const std::function<void(Settings&)>& adjust) {
        std::filesystem::create_directories(saveFolder());
        std::filesystem::create_directories(programFolder());
        Settings s = defaultSettings(saveFolder().string());
        s.TimeAdjust = "0";
        if (adjust)
            adjust(s);
        return s;
    }

    TempFolder dir_;
    sim::VirtualClock clock_;
    sim::SimulatedLine line_;
    LineIo io_;
    SessionContext ctx_;
    std::size_t next_ = 0;
};

}  // namespace karune::test
