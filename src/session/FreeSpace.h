#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "session/SessionContext.h"

namespace karune {

// The bytes this program may still write in a folder; nullopt when the system cannot tell.
using SpaceProbe = std::function<std::optional<std::uintmax_t>(const std::filesystem::path&)>;

// The system's answer.
std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder);

// What a folder keeps free before the operator is warned: room for a few transfers as large as
// the largest seen (a transfer writes its records more than once: the back-up file, the log, the
// output file), and never less than a few megabytes.
std::uintmax_t spaceMargin(std::uintmax_t largestTransfer);

// Compares the free space of the home (the back-up file's folder) and of the save folder with
// spaceMargin(): for each folder under it, a beep, a stamped message in the error label and a
// line of its own in the month's history file, so that the warning outlives the label.
// `largestTransfer` grows to the back-up file's size: the last transfer's records.
void warnOfLowSpace(SessionContext& ctx, const SpaceProbe& probe, std::uintmax_t& largestTransfer);

}  // namespace karune
