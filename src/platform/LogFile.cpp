#include "platform/LogFile.h"

#include <string>
#include <system_error>
#include <utility>

namespace karune {

LogFile::LogFile(std::filesystem::path path, const Clock& clock, std::uintmax_t limitBytes,
                 int kept)
    : path_(std::move(path)), clock_(clock), limitBytes_(limitBytes), kept_(kept) {
    open();
}

void LogFile::write(Severity, std::string_view line) {
    const LocalDateTime now = clock_.localNow();
    std::string stamped = dateText(now) + " " + timeText(now) + " ";
    stamped.append(line).append("\r\n");
    const std::lock_guard lock(mutex_);
    if (!file_.is_open())
        open();
    file_ << stamped << std::flush;
    size_ += stamped.size();
    if (size_ >= limitBytes_)
        rotate();
}

void LogFile::open() {
    file_.clear();
    file_.open(path_, std::ios::binary | std::ios::app);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path_, error);
    size_ = error ? 0 : size;
}

void LogFile::rotate() {
    file_.close();
    // Each rename replaces the file of the generation after it: the oldest goes first.
    std::error_code error;
    for (int generation = kept_ - 1; generation >= 1; --generation)
        std::filesystem::rename(keptPath(generation), keptPath(generation + 1), error);
    std::filesystem::rename(path_, keptPath(1), error);
    open();
}

// karune-modem.log keeps karune-modem.1.log, karune-modem.2.log ...: still .log files for the
// viewer the system opens them with.
std::filesystem::path LogFile::keptPath(int generation) const {
    std::filesystem::path kept = path_;
    kept.replace_filename(path_.stem().concat("." + std::to_string(generation)) +=
                          path_.extension());
    return kept;
}

}  // namespace karune
