#include "session/TransferFiles.h"

#include <cerrno>
#include <string>

#include "config/Utf8Path.h"
#include "session/Labels.h"
#include "session/SignedNumber.h"

namespace karune {
namespace {

constexpr std::string_view kLogFileName = "LOG.TXT";
constexpr std::string_view kBackFileOpenError = "> BackFile ";
constexpr std::string_view kLogFileOpenError = "> LogFile";
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

bool TransferFiles::open(std::string_view fileNameFrame) {
    errno = 0;
    back_ = openStdioFile(ctx_.backFile, "wb");
    if (!back_) {
        const int err = errno;
        ctx_.beep();
        ctx_.showError(kReplace, ctx_.stamp() + std::string(kBackFileOpenError) + errnoDetail(err));
        return false;
    }
    // The folder is joined as the operator wrote it; a doubled separator does no harm.
    errno = 0;
    log_ = openStdioFile(pathFromUtf8(ctx_.settings.Folder + std::string(kPathSeparator) +
                                      std::string(kLogFileName)),
                         "wb");
    if (!log_) {
        const int err = errno;
        ctx_.beep();
        ctx_.showError(kReplace, ctx_.stamp() + std::string(kLogFileOpenError) + errnoDetail(err));
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
    std::fwrite(line.data(), 1, line.size(), log_.get());
    std::fflush(log_.get());
}

bool TransferFiles::writeRecord(std::string_view record) {
    errno = 0;
    std::FILE* file = back_.get();
    const bool written = file != nullptr &&
                         std::fwrite(record.data(), 1, record.size(), file) == record.size() &&
                         std::fwrite("\r\n", 1, 2, file) == 2 && std::fflush(file) == 0;
    if (written)
        return true;
    const int err = errno != 0 ? errno : EIO;
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
