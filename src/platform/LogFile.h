#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "link/Clock.h"
#include "platform/LogSink.h"

namespace karune {

// A log file of bounded size, for a program that runs for months where nobody reads its output.
// Each line is appended with CR LF after its local time, "yyyy-mm-dd hh:mm:ss ". Once the file
// holds `limitBytes` or more it becomes NAME.1.EXT (NAME.1.EXT becomes NAME.2.EXT and so on; the
// oldest of `kept` goes) and a new file begins. A line the file cannot take is dropped; a file
// that cannot be renamed (held open elsewhere) grows until it can.
class LogFile : public LogSink {
public:
    static constexpr std::uintmax_t kLimitBytes = 1024 * 1024;
    static constexpr int kKept = 3;

    LogFile(std::filesystem::path path, const Clock& clock, std::uintmax_t limitBytes = kLimitBytes,
            int kept = kKept);

    void write(Severity severity, std::string_view line) override;

private:
    void open();
    void rotate();
    std::filesystem::path keptPath(int generation) const;

    std::mutex mutex_;
    std::filesystem::path path_;
    const Clock& clock_;
    std::uintmax_t limitBytes_;
    int kept_;
    std::ofstream file_;
    std::uintmax_t size_ = 0;
};

}  // namespace karune
