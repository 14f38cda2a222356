#include "ProcessStats.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace karune::bench {
namespace {

std::optional<std::string> readAll(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

std::optional<long long> number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<long long> cpuTicksFromStat(std::string_view stat) {
    // Fields after the command: state is field 3, utime 14, stime 15.
    const std::size_t close = stat.rfind(')');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = stat.substr(close + 1);
    std::optional<long long> utime;
    for (int field = 3; field <= 15; ++field) {
        const std::size_t start = rest.find_first_not_of(' ');
        if (start == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(start);
        const std::size_t end = std::min(rest.find(' '), rest.size());
        if (field == 14)
            utime = number(rest.substr(0, end));
        if (field == 15) {
            const std::optional<long long> stime = number(rest.substr(0, end));
            if (!utime || !stime)
                return std::nullopt;
            return *utime + *stime;
        }
        rest.remove_prefix(end);
    }
    return std::nullopt;
}

std::optional<long long> cpuTicks(pid_t pid) {
    const std::optional<std::string> stat = readAll("/proc/" + std::to_string(pid) + "/stat");
    return stat ? cpuTicksFromStat(*stat) : std::nullopt;
}

std::optional<long long> statusValueFromText(std::string_view status, std::string_view field) {
    std::size_t at = 0;
    while (at < status.size()) {
        const std::size_t end = std::min(status.find('\n', at), status.size());
        std::string_view line = status.substr(at, end - at);
        at = end + 1;
        if (!line.starts_with(field) || line.size() <= field.size() || line[field.size()] != ':')
            continue;
        line.remove_prefix(field.size() + 1);
        const std::size_t digits = line.find_first_not_of(" \t");
        return digits == std::string_view::npos ? std::nullopt : number(line.substr(digits));
    }
    return std::nullopt;
}

std::optional<long long> statusValue(pid_t pid, std::string_view field) {
    const std::optional<std::string> status = readAll("/proc/" + std::to_string(pid) + "/status");
    return status ? statusValueFromText(*status, field) : std::nullopt;
}

std::optional<long long> contextSwitches(pid_t pid) {
    std::error_code ec;
    std::filesystem::directory_iterator tasks("/proc/" + std::to_string(pid) + "/task", ec);
    if (ec)
        return std::nullopt;
    long long sum = 0;
    for (const auto& task : tasks) {
        const std::optional<std::string> status = readAll(task.path().string() + "/status");
        if (!status)
            continue;  // a thread that has just ended
        for (std::string_view field : {"voluntary_ctxt_switches", "nonvoluntary_ctxt_switches"})
            sum += statusValueFromText(*status, field).value_or(0);
    }
    return sum;
}

}  // namespace karune::bench
