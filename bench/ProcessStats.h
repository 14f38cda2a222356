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

// A numeric line of /proc/<pid>/status; the Vm... sizes are in kB (VmHWM: the peak resident set
// so far).
std::optional<long long> statusValue(pid_t pid, std::string_view field);

std::optional<long long> statusValueFromText(std::string_view status, std::string_view field);

// Context switches of every thread of the process so far: how often it woke up.
std::optional<long long> contextSwitches(pid_t pid);

}  // namespace karune::bench
