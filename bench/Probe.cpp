// karune-bench-probe: runs a program and measures it from the outside.
//
//   run [--out FILE] -- CMD...
//                    wall time, CPU time and peak resident set (wait4) of a run to its end
//   idle [--seconds N] [--settle S] [--wait-line] -- CMD...
//                    time from exec to the first line on stdout (--wait-line), then, after S
//                    more seconds, the CPU share over N seconds from /proc/<pid>/stat and the
//                    peak resident set (VmHWM), and how often its threads woke up; then
//                    SIGTERM
//
// Results go to stdout as key=value lines.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "ProcessStats.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace karune::bench;

constexpr const char* kUsage =
    "usage: karune-bench-probe run [--out FILE] -- CMD...\n"
    "       karune-bench-probe idle [--seconds N] [--settle S] [--wait-line] -- CMD...\n";

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double millis(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Starts `command` with its stdout on `stdoutFd` (-1: /dev/null). The child's status is -1 when
// the exec failed.
pid_t spawn(const std::vector<char*>& command, int stdoutFd) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    const int out = stdoutFd >= 0 ? stdoutFd : ::open("/dev/null", O_WRONLY);
    ::dup2(out, STDOUT_FILENO);
    ::execvp(command[0], command.data());
    std::perror(command[0]);
    ::_exit(127);
}

void report(const char* key, double value) {
    std::printf("%s=%.3f\n", key, value);
}

void reportEnd(int status, const rusage& usage) {
    report("user_ms", millis(usage.ru_utime));
    report("sys_ms", millis(usage.ru_stime));
    std::printf("maxrss_kb=%ld\n", usage.ru_maxrss);
    std::printf("exit=%d\n", WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

// `out`: where the program's stdout goes, empty for nowhere.
int runToEnd(const std::vector<char*>& command, const std::string& out) {
    const int outFd =
        out.empty() ? -1 : ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (!out.empty() && outFd < 0) {
        std::perror(out.c_str());
        return 2;
    }
    const Clock::time_point start = Clock::now();
    const pid_t pid = spawn(command, outFd);
    if (outFd >= 0)
        ::close(outFd);
    if (pid < 0)
        return 2;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return 2;
    report("wall_ms", millisSince(start));
    reportEnd(status, usage);
    return 0;
}

// The child's stdout as far as it has been read.
struct Output {
    std::string pending;  // an incomplete last line
    std::string firstLine;
    std::string lastLine;
};

// Reads the child's stdout until `deadline`; false at end of file. With `untilLine`, returns as
// soon as a line is complete.
bool drainUntil(int fd, Clock::time_point deadline, bool untilLine, Output& out) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return true;
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left));
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        out.pending.append(buffer, static_cast<std::size_t>(n));
        bool gotLine = false;
        for (std::size_t nl = out.pending.find('\n'); nl != std::string::npos;
             nl = out.pending.find('\n')) {
            out.lastLine = out.pending.substr(0, nl);
            out.pending.erase(0, nl + 1);
            if (!gotLine && out.firstLine.empty())
                out.firstLine = out.lastLine;
            gotLine = true;
        }
        if (untilLine && gotLine)
            return true;
    }
}

int watchIdle(const std::vector<char*>& command, double seconds, double settle, bool waitLine) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return 2;
    const Clock::time_point start = Clock::now();
    const pid_t pid = spawn(command, pipeFds[1]);
    ::close(pipeFds[1]);
    if (pid < 0)
        return 2;

    Output out;
    bool alive = true;
    if (waitLine) {
        alive = drainUntil(pipeFds[0], start + std::chrono::seconds(20), true, out);
        if (out.firstLine.empty()) {
            std::cerr << "karune-bench-probe: no line on stdout\n";
            alive = false;
        } else {
            report("first_line_ms", millisSince(start));
            std::printf("first_line=%s\n", out.firstLine.c_str());
        }
    }
    auto asSteady = [](double s) {
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(s));
    };
    if (alive)
        alive = drainUntil(pipeFds[0], Clock::now() + asSteady(settle), false, out);

    const std::optional<long long> before = cpuTicks(pid);
    const std::optional<long long> switchesBefore = contextSwitches(pid);
    const Clock::time_point from = Clock::now();
    if (alive)
        alive = drainUntil(pipeFds[0], from + asSteady(seconds), false, out);
    const std::optional<long long> after = cpuTicks(pid);
    const std::optional<long long> switchesAfter = contextSwitches(pid);
    const double elapsed = std::chrono::duration<double>(Clock::now() - from).count();
    const std::optional<long long> hwm = statusValue(pid, "VmHWM");

    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    ::close(pipeFds[0]);

    if (!alive || !before || !after || !hwm) {
        std::cerr << "karune-bench-probe: the program ended during the measurement\n";
        return 1;
    }
    const double tick = 1.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    std::printf("cpu_ticks=%lld\n", *after - *before);
    report("idle_s", elapsed);
    report("cpu_percent", 100.0 * static_cast<double>(*after - *before) * tick / elapsed);
    if (switchesBefore && switchesAfter)
        report("wakeups_per_s", static_cast<double>(*switchesAfter - *switchesBefore) / elapsed);
    std::printf("vmhwm_kb=%lld\n", *hwm);
    std::printf("last_line=%s\n", out.lastLine.c_str());
    reportEnd(status, usage);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    std::size_t dashes = 0;
    while (dashes < args.size() && args[dashes] != "--")
        ++dashes;
    if (args.empty() || dashes + 1 >= args.size()) {
        std::cerr << kUsage;
        return 2;
    }
    std::vector<char*> command(argv + 2 + dashes, argv + argc);
    command.push_back(nullptr);

    if (args[0] == "run" && (dashes == 1 || (dashes == 3 && args[1] == "--out")))
        return runToEnd(command, dashes == 3 ? args[2] : std::string());
    if (args[0] != "idle") {
        std::cerr << kUsage;
        return 2;
    }
    double seconds = 60;
    double settle = 1;
    bool waitLine = false;
    for (std::size_t i = 1; i < dashes; ++i) {
        if (args[i] == "--wait-line")
            waitLine = true;
        else if (args[i] == "--seconds" && i + 1 < dashes)
            seconds = std::atof(args[++i].c_str());
        else if (args[i] == "--settle" && i + 1 < dashes)
            settle = std::atof(args[++i].c_str());
        else {
            std::cerr << kUsage;
            return 2;
        }
    }
    std::fflush(stdout);
    return watchIdle(command, seconds, settle, waitLine);
}
