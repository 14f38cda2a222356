#include "integration/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace karune::test {
namespace {

int openPidFd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> merged;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        if (!extra.contains(name))
            merged.push_back(entry);
    }
    for (const auto& [name, value] : extra)
        merged.push_back(name + "=" + value);
    return merged;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (std::string& t : texts)
        out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        err_ = std::strerror(errno);
        return;
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        err_ = std::strerror(errno);
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);

    // The test runner may block or ignore signals; the child starts with the defaults.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp = mergedEnvironment(env);
    std::vector<char*> argvPointers = pointers(argv);
    std::vector<char*> envPointers = pointers(envp);
    const int rc = ::posix_spawn(&pid_, program.c_str(), &actions, &attributes, argvPointers.data(),
                                 envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
    if (rc != 0) {
        pid_ = -1;
        err_ = program + ": " + std::strerror(rc);
        closeFd(outFd_);
        closeFd(errFd_);
        return;
    }
    pidFd_ = openPidFd(pid_);
}

ChildProcess::~ChildProcess() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    closeFd(pidFd_);
    closeFd(outFd_);
    closeFd(errFd_);
}

bool ChildProcess::signal(int signalNumber) const {
    return running() && ::kill(pid_, signalNumber) == 0;
}

void ChildProcess::reap() {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done != pid_)
        return;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    closeFd(pidFd_);
}

bool ChildProcess::pump(Clock::time_point deadline) {
    std::vector<pollfd> fds;
    for (int fd : {outFd_, errFd_, pidFd_}) {
        if (fd >= 0)
            fds.push_back({fd, POLLIN, 0});
    }
    if (fds.empty())
        return false;
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const int ms = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
    const int ready = ::poll(fds.data(), fds.size(), ms);
    if (ready < 0)
        return errno == EINTR;
    for (const pollfd& p : fds) {
        if ((p.revents & (POLLIN | POLLHUP | POLLERR)) == 0)
            continue;
        if (p.fd == pidFd_) {
            reap();
            continue;
        }
        char buffer[65536];
        const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
        if (n <= 0) {
            closeFd(p.fd == outFd_ ? outFd_ : errFd_);
            continue;
        }
        (p.fd == outFd_ ? outPending_ : err_).append(buffer, static_cast<std::size_t>(n));
    }
    takeLines();
    return true;
}

void ChildProcess::takeLines() {
    for (std::size_t end = outPending_.find('\n'); end != std::string::npos;
         end = outPending_.find('\n')) {
        lines_.push_back(outPending_.substr(0, end));
        outPending_.erase(0, end + 1);
    }
}

std::optional<std::string> ChildProcess::waitForLine(
    const std::function<bool(const std::string&)>& wanted, Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        while (nextUnread_ < lines_.size()) {
            const std::string& line = lines_[nextUnread_++];
            if (wanted(line))
                return line;
        }
        if (outFd_ < 0 || Clock::now() >= deadline)
            return std::nullopt;
        if (!pump(deadline))
            return std::nullopt;
    }
}

std::optional<std::string> ChildProcess::nextLine(Clock::duration timeout) {
    return waitForLine([](const std::string&) { return true; }, timeout);
}

std::optional<int> ChildProcess::waitForExit(Clock::duration timeout) {
    if (pid_ <= 0)
        return std::nullopt;
    const auto deadline = Clock::now() + timeout;
    while (!status_ || outFd_ >= 0 || errFd_ >= 0) {
        if (pidFd_ < 0 && !status_)
            reap();  // no pidfd: the pipes' end is the only wake-up
        if (Clock::now() >= deadline)
            break;
        if (!pump(deadline) && !status_) {
            int status = 0;
            if (::waitpid(pid_, &status, 0) == pid_)
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
    return status_;
}

}  // namespace karune::test
