#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace karune::test {

// A program started for a test, with its standard output and error on pipes. Output is collected
// only while the test waits on the process (for a line or for its exit), so a chatty child can
// block on a full pipe between waits, never lose output. The destructor kills a child that is
// still running and reaps it, so a failing test leaves no process behind.
class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    // `env` entries are added to (or replace those of) the test's own environment. On failure
    // running() is false and errorOutput() says why.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool running() const { return pid_ > 0 && !status_; }
    pid_t pid() const { return pid_; }

    // The next complete stdout line (without its LF) that `wanted` accepts, skipping others;
    // nullopt when the timeout passes or stdout ends first. Every line read is kept in lines().
    std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& wanted,
                                           Clock::duration timeout);
    // The next stdout line, whatever it says.
    std::optional<std::string> nextLine(Clock::duration timeout);

    bool signal(int signalNumber) const;

    // The exit status (128 + n when signal n ended it); nullopt when it still runs at the timeout.
    std::optional<int> waitForExit(Clock::duration timeout);

    const std::vector<std::string>& lines() const { return lines_; }
    const std::string& errorOutput() const { return err_; }

private:
    // Reads what is waiting on the pipes and notices the exit, waiting until `deadline` at most
    // for something to happen. False when nothing can happen any more (all closed, exited).
    bool pump(Clock::time_point deadline);
    void takeLines();
    void reap();

    pid_t pid_ = -1;
    int pidFd_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string outPending_;
    std::size_t nextUnread_ = 0;
    std::vector<std::string> lines_;
    std::string err_;
    std::optional<int> status_;
};

}  // namespace karune::test
