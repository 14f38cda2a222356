#include "session/FreeSpace.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <system_error>

#include "config/Utf8Path.h"
#include "session/ClosingReport.h"
#include "session/Labels.h"
#include "session/SignedNumber.h"

namespace karune {
namespace {

constexpr std::string_view kLowSpace = "ﾃﾞｨｽｸ空き容量不足! 残り";

constexpr std::uintmax_t kMegabyte = 1024 * 1024;
constexpr std::uintmax_t kMinimumFreeSpace = 16 * kMegabyte;
constexpr std::uintmax_t kTransfersOfRoom = 4;

}  // namespace

std::optional<std::uintmax_t> availableSpace(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    if (error)
        return std::nullopt;
    return space.available;
}

std::uintmax_t spaceMargin(std::uintmax_t largestTransfer) {
    return std::max(kMinimumFreeSpace, kTransfersOfRoom * largestTransfer);
}

void warnOfLowSpace(SessionContext& ctx, const SpaceProbe& probe, std::uintmax_t& largestTransfer) {
    std::error_code error;
    const std::uintmax_t lastTransfer = std::filesystem::file_size(ctx.backFile, error);
    if (!error)
        largestTransfer = std::max(largestTransfer, lastTransfer);

    int mode = kReplace;
    for (const std::string& folder :
         {utf8FromPath(ctx.backFile.parent_path()), ctx.settings.Folder}) {
        const std::optional<std::uintmax_t> free = probe(pathFromUtf8(folder));
        if (!free || *free >= spaceMargin(largestTransfer))
            continue;
        const std::string message =
            ctx.stamped(std::string(kLowSpace) +
                        signPosition(static_cast<long long>(*free / kMegabyte)) + "MB: " + folder);
        ctx.beep();
        ctx.showError(mode, message);
        const LocalDateTime now = ctx.now();
        AppendHistoryLine(ctx, dateText(now) + " " + timeText(now) + "->" + message);
        mode = kNewLine;
    }
}

}  // namespace karune
