#pragma once

#include <sys/types.h>

#include <optional>
#include <string_view>

namespace karune::bench {

// CPU time of a whole process (every thread), from the utime and stime fields of
// /proc/<pid>/stat, in clock ticks.
std::optional<long long> cpuTicks(pid_t pid);

// The same from the text of a stat file; the command name may hold spaces and parentheses.
std::optional<long long> cpuTicksFromStat(std::string_view stat);

// A "Vm..." line of /proc/<pid>/status, in kB (VmHWM: the peak resident set so far).
std::optional<long long> statusKilobytes(pid_t pid, std::string_view field);

std::optional<long long> statusKilobytesFromText(std::string_view status, std::string_view field);

}  // namespace karune::bench
