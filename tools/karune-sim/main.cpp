// karune-sim: a modem and a handheld terminal on a pseudo-terminal, for running the reception
// program against something that answers like the real line.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "ModemLine.h"
#include "PseudoTerminal.h"
#include "RecordFile.h"
#include "SimOptions.h"
#include "TcpTerminal.h"

namespace {

using namespace karune::modemsim;
using std::chrono::steady_clock;

enum ExitStatus { kAcknowledged = 0, kNotAcknowledged = 1, kSetupFailed = 2, kTimedOut = 3 };

// At 38400 baud 8N1 a byte takes 260 µs; paced output leaves in bursts of this many bytes.
constexpr std::size_t kBurst = 8;
constexpr std::chrono::microseconds kByteTime{260};

volatile sig_atomic_t gStopSignal = 0;
extern "C" void onStopSignal(int signal) {
    gStopSignal = signal;
}

TimePoint now() {
    return std::chrono::time_point_cast<karune::Clock::Duration>(steady_clock::now());
}

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream contents;
    contents << in.rdbuf();
    bytes = std::move(contents).str();
    return !in.bad();
}

// Signals that end the run are blocked except inside ppoll(), so none slips in between the
// check and the wait.
sigset_t blockStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigset_t stops;
    sigemptyset(&stops);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(s, &action, nullptr);
        sigaddset(&stops, s);
    }
    sigset_t previous;
    sigprocmask(SIG_BLOCK, &stops, &previous);
    return previous;
}

class Link {
public:
    explicit Link(std::string path) : path_(std::move(path)) {}
    ~Link() {
        if (made_)
            std::filesystem::remove(path_);
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    bool make(const std::string& target, std::string& error) {
        std::error_code ec;
        if (std::filesystem::is_symlink(path_, ec))
            std::filesystem::remove(path_, ec);
        std::filesystem::create_symlink(target, path_, ec);
        if (ec)
            error = path_ + ": " + ec.message();
        made_ = !ec;
        return made_;
    }

private:
    std::string path_;
    bool made_ = false;
};

int run(const SimOptions& options, ModemLine& line, int master, const sigset_t& waitMask) {
    std::string queue;
    TimePoint nextBurst = now();
    std::optional<TimePoint> giveUpAt;
    if (options.timeout.count() > 0)
        giveUpAt = now() + options.timeout;

    auto take = [&](const ModemLine::Output& out) {
        queue += out.bytes;
        for (const std::string& report : out.reports)
            std::cout << report << '\n' << std::flush;
    };

    for (;;) {
        if (gStopSignal != 0)
            return kNotAcknowledged;
        TimePoint t = now();
        if (giveUpAt && t >= *giveUpAt) {
            std::cerr << "karune-sim: timed out\n";
            return kTimedOut;
        }
        take(line.tick(t));

        if (!queue.empty() && (!options.pace || t >= nextBurst)) {
            const std::size_t size = options.pace ? std::min(kBurst, queue.size()) : queue.size();
            const ssize_t written = ::write(master, queue.data(), size);
            if (written > 0) {
                queue.erase(0, static_cast<std::size_t>(written));
                if (options.pace)
                    nextBurst = t + kByteTime * written;
            } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
                std::cerr << "karune-sim: write: " << std::strerror(errno) << '\n';
                return kSetupFailed;
            }
        }
        if (queue.empty() && line.finished()) {
            return line.allAcknowledged() ? kAcknowledged : kNotAcknowledged;
        }

        std::optional<TimePoint> wakeAt = line.nextEvent();
        auto earliest = [&](TimePoint candidate) {
            if (!wakeAt || candidate < *wakeAt)
                wakeAt = candidate;
        };
        if (giveUpAt)
            earliest(*giveUpAt);
        const bool burstDue = !queue.empty() && (!options.pace || t >= nextBurst);
        if (!queue.empty() && options.pace && !burstDue)
            earliest(nextBurst);

        pollfd pfd{master, static_cast<short>(POLLIN | (burstDue ? POLLOUT : 0)), 0};
        timespec timeout{};
        timespec* timeoutPointer = nullptr;
        if (wakeAt) {
            const auto wait = std::max(*wakeAt - t, karune::Clock::Duration::zero());
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
            timeout.tv_sec = seconds.count();
            timeout.tv_nsec = (wait - seconds).count();
            timeoutPointer = &timeout;
        }
        const int ready = ::ppoll(&pfd, 1, timeoutPointer, &waitMask);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            std::cerr << "karune-sim: poll: " << std::strerror(errno) << '\n';
            return kSetupFailed;
        }
        if ((pfd.revents & POLLIN) != 0) {
            char buffer[4096];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0) {
                const ModemLine::Output out =
                    line.receive(std::string_view(buffer, static_cast<std::size_t>(n)), now());
                take(out);
                if (out.closeLine)
                    return kNotAcknowledged;
            }
        } else if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            std::cerr << "karune-sim: the pseudo-terminal failed\n";
            return kSetupFailed;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 0 ? argv[0] : "karune-sim";
    const auto parsed =
        parseSimOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        if (usage->message.empty()) {
            std::cout << usageText(program);
            return kAcknowledged;
        }
        std::cerr << program << ": " << usage->message << "\n\n" << usageText(program);
        return kSetupFailed;
    }
    SimOptions options = std::get<SimOptions>(parsed);

    if (!options.recordsFile.empty()) {
        std::string bytes;
        if (!readFile(options.recordsFile, bytes)) {
            std::cerr << program << ": cannot read " << options.recordsFile << '\n';
            return kSetupFailed;
        }
        options.terminal.records = splitRecords(bytes);
    }

    const sigset_t waitMask = blockStopSignals();
    if (!options.connect.empty())
        return runTcpTerminal(options, waitMask, gStopSignal);
    PseudoTerminal pty;
    std::string error;
    if (!pty.open(error)) {
        std::cerr << program << ": " << error << '\n';
        return kSetupFailed;
    }
    Link link(options.linkPath);
    if (!options.linkPath.empty() && !link.make(pty.slavePath(), error)) {
        std::cerr << program << ": " << error << '\n';
        return kSetupFailed;
    }
    std::cout << pty.slavePath() << '\n' << std::flush;

    ModemLine line(options.modem, options.terminal, options.dropMode);
    return run(options, line, pty.master(), waitMask);
}
