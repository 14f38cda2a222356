#include "session/ClosingReport.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "config/StdioFile.h"
#include "config/Utf8Path.h"
#include "link/Cp932.h"
#include "session/KeptBackups.h"
#include "session/Labels.h"
#include "session/SignedNumber.h"
#include "session/TransferFiles.h"

namespace karune {
namespace {

constexpr std::string_view kReceivedPrefix = "ﾚｺｰﾄﾞ受信<";
constexpr std::string_view kReceivedSuffix = "件> : 正常終了 ";
constexpr std::string_view kStopPressed = "［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］";
constexpr std::string_view kAbnormalEndStatus = "[異常終了]";
constexpr std::string_view kAbnormalEndError = " [異常終了]";
constexpr std::string_view kOutputInUse = "出力ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : ";
constexpr std::string_view kRecordsSentAgain = "［端末はﾚｺｰﾄﾞを再送します］";
constexpr std::string_view kHistoryInUse = "履歴ﾌｧｲﾙが他のﾌﾟﾛｸﾞﾗﾑで使用中です : ";
constexpr std::string_view kHistoryNotWritten = "履歴ﾌｧｲﾙに書き込めません : ";
constexpr std::string_view kHistoryWaits = "［この記録は次の通信で書き込みます］";

// History lines that could not be added to their file yet, oldest first, in the save folder:
// each is the month of its file (yyyy-mm), the line in CP932 and CR LF.
constexpr std::string_view kWaitingFileName = ".history.waiting";
constexpr std::size_t kMonthLength = 7;  // yyyy-mm

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

void showLogLoss(SessionContext& ctx) {
    if (ctx.logError != 0)
        ctx.showError(kAppend, " " + logLossNote(ctx.logError));
}

// A spreadsheet holding the output file: the operator learns which file to close, and that
// nothing is lost ("CAN" makes the terminal keep the records and send them again).
void showOutputInUse(SessionContext& ctx) {
    const std::string text =
        std::string(kOutputInUse) + ctx.outputPath + " " + std::string(kRecordsSentAgain);
    ctx.showError(kReplace, ctx.stamped(text));
    ctx.showStatus(kNewLine, text);
    ctx.messages.show({{}, text, MessageIcon::None});
}

struct HistoryLine {
    std::string month;
    std::string bytes;  // CP932, CR LF included
};

std::vector<HistoryLine> readWaitingLines(const std::filesystem::path& file) {
    std::vector<HistoryLine> lines;
    const StdioFile in = openStdioFile(file, "rb");
    if (!in)
        return lines;
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, in.get())) > 0;)
        text.append(buffer, got);
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        if (end - at >= kMonthLength)
            lines.push_back({text.substr(at, kMonthLength),
                             text.substr(at + kMonthLength, end + 2 - at - kMonthLength)});
    }
    return lines;
}

// Writes the bytes into the file, appended or in place of what it held, and puts them on the
// disk. 0 or the error.
int writeDurably(FileSystem& files, const std::filesystem::path& file, FileSystem::Mode mode,
                 std::string_view bytes) {
    FileSystem::Opened out = files.open(file, mode);
    int err = out.error;
    if (err == 0)
        err = out.file->write(bytes);
    if (err == 0)
        err = out.file->sync();
    if (err == 0)
        err = out.file->close();
    return err;
}

// Replaces the waiting file as a whole: it holds the only copy of its lines.
int writeWaitingLines(FileSystem& files, const std::filesystem::path& file,
                      const std::vector<HistoryLine>& lines) {
    std::string text;
    for (const HistoryLine& line : lines)
        text += line.month + line.bytes;
    std::filesystem::path temporary = file;
    temporary += ".new";
    int err = writeDurably(files, temporary, FileSystem::Mode::Empty, text);
    if (err == 0)
        err = files.rename(temporary, file);
    if (err == 0)
        err = files.syncFolder(file.parent_path());
    return err;
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
        showLogLoss(ctx);
        return;
    }

    sendFinalWord(ctx, "CAN");
    if (ctx.conversionError == EBUSY)
        showOutputInUse(ctx);
    if (ctx.errorText().empty()) {
        if (ctx.flags.stopPressed)
            ctx.showError(kReplace, ctx.stamp() + ">");
        ctx.showStatus(kAppend, kStopPressed);
        ctx.showError(kAppend, kStopPressed);
    }
    ctx.showStatus(kAppend, kAbnormalEndStatus);
    ctx.showError(kAppend, kAbnormalEndError);
    showKeptBackup(ctx);
    showLogLoss(ctx);
}

void WriteHistoryLine(SessionContext& ctx) {
    std::string line = ctx.stopText() + "->" + ctx.errorText();
    if (!ctx.outputPath.empty())
        line += ":" + ctx.outputPath;
    AppendHistoryLine(ctx, std::move(line));
}

void AppendHistoryLine(SessionContext& ctx, std::string line) {
    const std::string folder = ctx.settings.Folder + std::string(kPathSeparator);
    const auto historyFile = [&](const std::string& month) {
        return pathFromUtf8(folder + month + ".txt");
    };
    const std::filesystem::path waitingFile = pathFromUtf8(folder + std::string(kWaitingFileName));

    std::error_code ec;
    const bool linesWaited = std::filesystem::exists(waitingFile, ec);
    std::vector<HistoryLine> lines = readWaitingLines(waitingFile);
    lines.push_back({dateText(ctx.now()).substr(0, kMonthLength),
                     utf8ToCp932Lossy(withoutLineBreaks(std::move(line))) + "\r\n"});

    // Oldest first, the lines of one file in one append; the first file that refuses keeps its
    // lines and every later one waiting, so that each file keeps its order.
    std::size_t added = 0;
    int err = 0;
    while (added < lines.size() && err == 0) {
        std::size_t end = added;
        std::string bytes;
        for (; end < lines.size() && lines[end].month == lines[added].month; ++end)
            bytes += lines[end].bytes;
        err = writeDurably(ctx.files, historyFile(lines[added].month), FileSystem::Mode::Append,
                           bytes);
        if (err == 0)
            added = end;
    }
    if (err == 0) {
        // A cut before this leaves the lines in both files: the next call adds them again.
        if (linesWaited && ctx.files.remove(waitingFile) == 0)
            ctx.files.syncFolder(waitingFile.parent_path());
        return;
    }

    ctx.beep();
    const std::vector<HistoryLine> waiting(lines.begin() + static_cast<std::ptrdiff_t>(added),
                                           lines.end());
    if (writeWaitingLines(ctx.files, waitingFile, waiting) != 0)
        return;
    const std::string file = utf8FromPath(historyFile(waiting.front().month));
    const std::string reason = err == EBUSY ? std::string(kHistoryInUse) + file
                                            : std::string(kHistoryNotWritten) + file + " " +
                                                  signPosition(err) + ":" + errorText(err);
    ctx.showError(kAppend, " " + reason + " " + std::string(kHistoryWaits));
}

}  // namespace karune
