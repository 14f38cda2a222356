// karune-bench-terminal: the modem and the terminal on a pseudo-terminal, like karune-sim --pace,
// timing every record from the terminal's side: from the first byte of its frame to the "ACK"
// that answers it. Bytes leave at 38400 baud in bursts of --burst bytes (karune-sim uses 8; 1 is
// a UART handing over every byte as it comes). With --connect the terminal alone calls a
// listening line over TCP instead, as karune-sim --connect does.
//
// Prints key=value lines: records, the mean turnaround and floor, and the overhead beyond the
// floor (mean, p50, p99, max), for all records and for those whose CR arrived alone.

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LineSplitter.h"
#include "ModemLine.h"
#include "PseudoTerminal.h"
#include "RecordFile.h"
#include "Turnaround.h"

namespace {

using namespace karune::bench;
using namespace karune::modemsim;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kUsage =
    "usage: karune-bench-terminal --records FILE (--link PATH | --connect HOST:PORT) [--burst N]\n"
    "                             [--timeout S]\n";

struct Options {
    std::string recordsFile;
    std::string linkPath;
    std::string connect;  // HOST:PORT of a listening line
    std::size_t burst = 8;
    std::chrono::seconds timeout{120};
};

std::optional<Options> parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--records")
            o.recordsFile = value;
        else if (option == "--link")
            o.linkPath = value;
        else if (option == "--connect")
            o.connect = value;
        else if (option == "--burst")
            o.burst = static_cast<std::size_t>(std::max(1, std::atoi(value.c_str())));
        else if (option == "--timeout")
            o.timeout = std::chrono::seconds(std::atoi(value.c_str()));
        else
            return std::nullopt;
    }
    if (argc % 2 == 0 || o.recordsFile.empty() || o.linkPath.empty() == o.connect.empty())
        return std::nullopt;
    return o;
}

TimePoint now() {
    return std::chrono::time_point_cast<karune::Clock::Duration>(SteadyClock::now());
}

Micros between(TimePoint from, TimePoint to) {
    return std::chrono::duration_cast<Micros>(to - from);
}

// A record frame is "^", its sequence digit, the payload, "*" and the checksum.
bool isRecordFrame(const std::string& bytes) {
    return bytes.size() > 2 && bytes[0] == '^' && bytes[1] >= '0' && bytes[1] <= '9';
}

// The record on its way: set when its frame is queued, timed when the PC's answer comes.
struct InFlight {
    std::size_t lineBytes = 0;
    std::optional<TimePoint> firstWrite;
    std::optional<TimePoint> lastWrite;
    bool crAlone = false;
};

// The terminal of a listening line: no modem, the PC's words go to it at once.
class DirectTerminal {
public:
    explicit DirectTerminal(TerminalOptions options) : terminal_(std::move(options)) {}

    ModemLine::Output receive(std::string_view bytes, TimePoint) {
        ModemLine::Output out;
        for (const std::string& line : splitter_.feed(bytes))
            out.bytes += terminal_.answer(line);
        return out;
    }
    ModemLine::Output tick(TimePoint) { return {}; }
    std::optional<TimePoint> nextEvent() const { return std::nullopt; }
    bool finished() const { return terminal_.finalWord().has_value(); }
    bool allAcknowledged() const { return terminal_.finalWord() == "ACK"; }

private:
    TerminalPeer terminal_;
    LineSplitter splitter_;
};

// Drives the far end (ModemLine or DirectTerminal) on `master`, a pseudo-terminal or a socket.
template <typename FarEnd>
class Run {
public:
    Run(const Options& options, FarEnd& line, int master)
        : options_(options), line_(line), master_(master) {}

    // 0 when the call ended with the final "ACK" and every record was timed.
    int loop();
    const std::vector<RecordTiming>& records() const { return records_; }
    int refusals() const { return refusals_; }

private:
    void queue(const ModemLine::Output& out);
    bool writeBurst(TimePoint t);
    void heard(std::string_view bytes, TimePoint t);

    const Options& options_;
    FarEnd& line_;
    int master_;
    std::string queue_;
    TimePoint nextBurst_{};
    std::optional<InFlight> inFlight_;
    LineSplitter fromPc_;
    std::vector<RecordTiming> records_;
    int refusals_ = 0;
};

template <typename FarEnd>
void Run<FarEnd>::queue(const ModemLine::Output& out) {
    if (queue_.empty() && isRecordFrame(out.bytes))
        inFlight_ = InFlight{out.bytes.size(), std::nullopt, std::nullopt, false};
    queue_ += out.bytes;
    for (const std::string& report : out.reports)
        std::cerr << "karune-bench-terminal: " << report << '\n';
}

template <typename FarEnd>
bool Run<FarEnd>::writeBurst(TimePoint t) {
    const std::size_t size = std::min(options_.burst, queue_.size());
    const ssize_t written = ::write(master_, queue_.data(), size);
    if (written < 0)
        return errno == EAGAIN || errno == EINTR;
    queue_.erase(0, static_cast<std::size_t>(written));
    nextBurst_ = t + std::chrono::duration_cast<karune::Clock::Duration>(
                         kByteTime * static_cast<double>(written));
    if (inFlight_ && !inFlight_->lastWrite) {
        if (!inFlight_->firstWrite)
            inFlight_->firstWrite = t;
        if (queue_.empty()) {
            inFlight_->lastWrite = now();
            inFlight_->crAlone = written == 1;
        }
    }
    return true;
}

template <typename FarEnd>
void Run<FarEnd>::heard(std::string_view bytes, TimePoint t) {
    for (const std::string& word : fromPc_.feed(bytes)) {
        if (!inFlight_ || !inFlight_->lastWrite)
            continue;
        if (word == "ACK") {
            RecordTiming r;
            r.lineBytes = inFlight_->lineBytes;
            r.crAlone = inFlight_->crAlone;
            r.turnaround = between(*inFlight_->firstWrite, t);
            r.reaction = between(*inFlight_->lastWrite, t);
            records_.push_back(r);
        } else {
            ++refusals_;  // "NAK" or "BEL": the timing of this record means nothing
        }
        inFlight_.reset();
    }
}

template <typename FarEnd>
int Run<FarEnd>::loop() {
    const TimePoint giveUpAt = now() + options_.timeout;
    for (;;) {
        TimePoint t = now();
        if (t >= giveUpAt) {
            std::cerr << "karune-bench-terminal: timed out\n";
            return 3;
        }
        queue(line_.tick(t));
        const bool burstDue = !queue_.empty() && t >= nextBurst_;
        if (burstDue && !writeBurst(t)) {
            std::cerr << "karune-bench-terminal: write: " << std::strerror(errno) << '\n';
            return 2;
        }
        if (queue_.empty() && line_.finished())
            return line_.allAcknowledged() && refusals_ == 0 ? 0 : 1;

        TimePoint wakeAt = giveUpAt;
        if (const std::optional<TimePoint> event = line_.nextEvent())
            wakeAt = std::min(wakeAt, *event);
        if (!queue_.empty())
            wakeAt = std::min(wakeAt, nextBurst_);
        const auto wait = std::max(wakeAt - now(), karune::Clock::Duration::zero());
        timespec timeout{};
        timeout.tv_sec = std::chrono::duration_cast<std::chrono::seconds>(wait).count();
        timeout.tv_nsec = (wait - std::chrono::seconds(timeout.tv_sec)).count();
        pollfd pfd{master_, POLLIN, 0};
        const int ready = ::ppoll(&pfd, 1, &timeout, nullptr);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            std::cerr << "karune-bench-terminal: poll: " << std::strerror(errno) << '\n';
            return 2;
        }
        if ((pfd.revents & POLLIN) != 0) {
            char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n == 0) {
                std::cerr << "karune-bench-terminal: the program hung up\n";
                return 2;
            }
            if (n > 0) {
                const TimePoint heardAt = now();
                const std::string_view bytes(buffer, static_cast<std::size_t>(n));
                heard(bytes, heardAt);
                queue(line_.receive(bytes, heardAt));
            }
        } else if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            std::cerr << "karune-bench-terminal: the pseudo-terminal failed\n";
            return 2;
        }
    }
}

void printSpread(const char* key, const std::vector<RecordTiming>& records, bool onlyCrAlone) {
    std::vector<double> overheads;
    for (const RecordTiming& r : records) {
        if (!onlyCrAlone || r.crAlone)
            overheads.push_back(overhead(r).count() / 1000.0);
    }
    const Spread s = spreadOf(overheads);
    std::printf("%s_count=%zu\n%s_mean_ms=%.3f\n%s_p50_ms=%.3f\n%s_p99_ms=%.3f\n%s_max_ms=%.3f\n",
                key, overheads.size(), key, s.mean, key, s.p50, key, s.p99, key, s.max);
}

void printResults(const std::vector<RecordTiming>& records) {
    double turnaround = 0;
    double floor = 0;
    for (const RecordTiming& r : records) {
        turnaround += r.turnaround.count() + (kByteTime * static_cast<double>(kAckBytes)).count();
        floor += turnaroundFloor(r.lineBytes, r.crAlone).count();
    }
    const double n = std::max<double>(1.0, static_cast<double>(records.size()));
    std::printf("records=%zu\nturnaround_mean_ms=%.3f\nfloor_mean_ms=%.3f\n", records.size(),
                turnaround / n / 1000.0, floor / n / 1000.0);
    // A CR that went out alone but was answered only after the quiet gap reached the program
    // together with the byte before it: the program was not reading when that byte came.
    const auto missed = std::count_if(records.begin(), records.end(), [](const RecordTiming& r) {
        return r.crAlone && r.reaction >= kQuietGap;
    });
    std::printf("lone_cr_missed=%td\n", missed);
    printSpread("overhead", records, false);
    printSpread("overhead_cr_alone", records, true);
}

// A connection to HOST:PORT, tried until the program listens; -1 when it never did.
int connectTo(const std::string& endpoint, std::chrono::seconds timeout) {
    const std::size_t colon = endpoint.rfind(':');
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (colon == std::string::npos ||
        ::getaddrinfo(endpoint.substr(0, colon).c_str(), endpoint.substr(colon + 1).c_str(), &hints,
                      &found) != 0)
        return -1;
    const auto giveUpAt = SteadyClock::now() + timeout;
    int fd = -1;
    while (fd < 0 && SteadyClock::now() < giveUpAt) {
        fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd >= 0 && ::connect(fd, found->ai_addr, found->ai_addrlen) != 0) {
            ::close(fd);
            fd = -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    ::freeaddrinfo(found);
    // Bytes leave as the paced writes hand them over, as from a UART: Nagle's algorithm would hold
    // a frame's CR back until the program's delayed acknowledgement of the bytes before it.
    const int on = 1;
    if (fd >= 0)
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

// Runs the call on `fd` and prints what it measured. The exit status.
template <typename FarEnd>
int measure(const Options& options, FarEnd& line, int fd, std::size_t records) {
    Run run(options, line, fd);
    const int status = run.loop();
    printResults(run.records());
    std::printf("refusals=%d\n", run.refusals());
    if (status == 0 && run.records().size() != records)
        return 1;
    return status;
}

bool readFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    bytes = std::move(contents).str();
    return in.good() || in.eof();
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parse(argc, argv);
    if (!options) {
        std::cerr << kUsage;
        return 2;
    }
    std::string bytes;
    if (!readFile(options->recordsFile, bytes)) {
        std::cerr << "karune-bench-terminal: cannot read " << options->recordsFile << '\n';
        return 2;
    }
    // Sleeps end on time, so the pacing holds to a few microseconds.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    TerminalOptions terminal;
    terminal.records = splitRecords(bytes);
    const std::size_t records = terminal.records.size();
    if (!options->connect.empty()) {
        const int fd = connectTo(options->connect, options->timeout);
        if (fd < 0) {
            std::cerr << "karune-bench-terminal: nobody listens on " << options->connect << '\n';
            return 2;
        }
        DirectTerminal line(std::move(terminal));
        const int status = measure(*options, line, fd, records);
        ::close(fd);
        return status;
    }
    ModemOptions modem;
    modem.ringDelay = std::chrono::seconds(1);

    PseudoTerminal pty;
    std::string error;
    if (!pty.open(error)) {
        std::cerr << "karune-bench-terminal: " << error << '\n';
        return 2;
    }
    std::error_code ec;
    std::filesystem::remove(options->linkPath, ec);
    std::filesystem::create_symlink(pty.slavePath(), options->linkPath, ec);
    if (ec) {
        std::cerr << "karune-bench-terminal: " << options->linkPath << ": " << ec.message() << '\n';
        return 2;
    }

    ModemLine line(modem, terminal, DropMode::Silent);
    const int status = measure(*options, line, pty.master(), records);
    std::filesystem::remove(options->linkPath, ec);
    return status;
}
