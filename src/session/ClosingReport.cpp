#include "session/ClosingReport.h"

#include <filesystem>
#include <string>
#include <string_view>

#include "config/Utf8Path.h"
#include "link/Cp932.h"
#include "session/KeptBackups.h"
#include "session/Labels.h"

namespace karune {
namespace {

constexpr std::string_view kReceivedPrefix = "ﾚｺｰﾄﾞ受信<";
constexpr std::string_view kReceivedSuffix = "件> : 正常終了 ";
constexpr std::string_view kStopPressed = "［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］";
constexpr std::string_view kAbnormalEndStatus = "[異常終了]";
constexpr std::string_view kAbnormalEndError = " [異常終了]";

void sendFinalWord(SessionContext& ctx, std::string_view word) {
    if (ctx.line != nullptr)
        ctx.line->SendLine(word);
}

std::string withoutLineBreaks(std::string text) {
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

// Also in the history line, which repeats the error label.
void showKeptBackup(SessionContext& ctx) {
    if (!ctx.keptBackup.empty())
        ctx.showError(kAppend, " " + std::string(kKeptBackupNote) + ctx.keptBackup);
}

}  // namespace

void ReportCompletion(SessionContext& ctx) {
    const LocalDateTime end = ctx.now();
    ctx.setStopText(dateText(end) + " " + timeText(end));
    ctx.setProgressVisible(false);

    if (ctx.completed) {
        const std::string received = std::string(kReceivedPrefix) +
                                     std::to_string(ctx.announcedCount) +
                                     std::string(kReceivedSuffix);
        ctx.beep();
        ctx.showError(kReplace, ctx.stamped(received));
        ctx.showStatus(kNewLine, received);
        sendFinalWord(ctx, "ACK");
        showKeptBackup(ctx);
        return;
    }

    sendFinalWord(ctx, "CAN");
    if (ctx.errorText().empty()) {
        if (ctx.flags.stopPressed)
            ctx.showError(kReplace, ctx.stamp() + ">");
        ctx.showStatus(kAppend, kStopPressed);
        ctx.showError(kAppend, kStopPressed);
    }
    ctx.showStatus(kAppend, kAbnormalEndStatus);
    ctx.showError(kAppend, kAbnormalEndError);
    showKeptBackup(ctx);
}

void WriteHistoryLine(SessionContext& ctx) {
    std::string line = ctx.stopText() + "->" + ctx.errorText();
    if (!ctx.outputPath.empty())
        line += ":" + ctx.outputPath;
    AppendHistoryLine(ctx, std::move(line));
}

void AppendHistoryLine(SessionContext& ctx, std::string line) {
    const std::string month = dateText(ctx.now()).substr(0, 7);
    const std::filesystem::path file =
        pathFromUtf8(ctx.settings.Folder + std::string(kPathSeparator) + month + ".txt");

    FileSystem::Opened out = ctx.files.open(file, FileSystem::Mode::Append);
    if (!out.file) {
        ctx.beep();
        return;
    }
    if (out.file->write(utf8ToCp932Lossy(withoutLineBreaks(std::move(line))) + "\r\n") != 0 ||
        out.file->close() != 0)
        ctx.beep();
}

}  // namespace karune
