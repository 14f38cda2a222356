#include "session/TransferFiles.h"

#include <cerrno>
#include <string>

#include "config/Utf8Path.h"
#include "session/KeptBackups.h"
#include "session/Labels.h"
#include "session/SignedNumber.h"

namespace karune {
namespace {

constexpr std::string_view kLogFileName = "LOG.TXT";
constexpr std::string_view kBackFileOpenError = "> BackFile ";
constexpr std::string_view kLogFileOpenError = "LogFile";
constexpr std::string_view kLogFileInUse =
    "［LOG.TXTは他のﾌﾟﾛｸﾞﾗﾑが使用中です。この通信は記録されません］";
constexpr std::string_view kBackFileWriteError = "BackFile#1WR ";

std::string errnoDetail(int errorNumber) {
    return signPosition(errorNumber) + ":" + errorText(errorNumber);
}

void appendQuoted(std::string& line, std::string_view field) {
    line += '"';
    line += field;
    line += '"';
}

}  // namespace

std::string logLossNote(int errorNumber) {
    std::string note = std::string(kLogFileOpenError) + errnoDetail(errorNumber);
    if (errorNumber == EBUSY)
        note += " " + std::string(kLogFileInUse);
    return note;
}

bool TransferFiles::open(std::string_view fileNameFrame) {
    const KeptBackup kept = keepUnconverted(ctx_.files, ctx_.backFile);
    if (!kept.path.empty()) {
        ctx_.keptBackup = utf8FromPath(kept.path);
        ctx_.messages.show({{}, std::string(kKeptBackupNote) + ctx_.keptBackup, MessageIcon::None});
    }
    FileSystem::Opened back{};
    if (kept.error == 0)
        back = ctx_.files.open(ctx_.backFile, FileSystem::Mode::Empty);
    // A record synced into a file whose name is not on the disk yet would be lost with it.
    if (back.file)
        back.error = ctx_.files.syncFolder(ctx_.backFile.parent_path());
    if (back.error == 0)
        back_ = std::move(back.file);
    if (!back_) {
        const int err = kept.error != 0 ? kept.error : back.error;
        ctx_.beep();
        ctx_.showError(kReplace, ctx_.stamp() + std::string(kBackFileOpenError) + errnoDetail(err));
        return false;
    }
    // The folder is joined as the operator wrote it; a doubled separator does no harm.
    FileSystem::Opened logFile =
        ctx_.files.open(pathFromUtf8(ctx_.settings.Folder + std::string(kPathSeparator) +
                                     std::string(kLogFileName)),
                        FileSystem::Mode::Empty);
    log_ = std::move(logFile.file);
    // The log only helps to trace a transfer: a spreadsheet holding LOG.TXT must not cost the
    // terminal its upload, so the call goes on without it and the report says what is missing.
    // Any other failure (the save folder gone) would fail the conversion too: the call ends now.
    if (!log_ && logFile.error == EBUSY) {
        ctx_.logError = logFile.error;
        ctx_.beep();
        ctx_.showStatus(kNewLine, logLossNote(ctx_.logError));
        return true;
    }
    if (!log_) {
        ctx_.beep();
        ctx_.showError(kReplace, ctx_.stamp() + "> " + logLossNote(logFile.error));
        return false;
    }
    log(fileNameFrame);
    return true;
}

void TransferFiles::log(std::string_view received) {
    if (!log_)
        return;
    const LocalDateTime now = ctx_.now();
    std::string line;
    line.reserve(received.size() + 40);
    appendQuoted(line, dateText(now));
    line += ',';
    appendQuoted(line, timeText(now));
    line += ',';
    appendQuoted(line, signPosition(ctx_.recordCounter));
    line += ',';
    appendQuoted(line, received);
    line += "\r\n";
    log_->write(line);
}

bool TransferFiles::writeRecord(std::string_view record) {
    std::string line(record);
    line += "\r\n";
    int err = back_ ? back_->write(line) : EBADF;
    if (err == 0)
        err = back_->sync();
    if (err == 0)
        return true;
    ctx_.beep();
    ctx_.showError(kReplace,
                   ctx_.stamp() + "> " + std::string(kBackFileWriteError) + errnoDetail(err));
    ctx_.showStatus(kNewLine, std::string(kBackFileWriteError) + errnoDetail(err));
    return false;
}

void TransferFiles::close() {
    back_.reset();
    log_.reset();
}

}  // namespace karune
