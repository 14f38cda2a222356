#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "config/FileSystem.h"
#include "session/SessionContext.h"

namespace karune {

// The two files of one transfer: the back-up file (ctx.backFile), which collects the accepted
// records as raw bytes and is the input of the conversion, and "LOG.TXT" in the save folder, one
// line per text received from the terminal. Both are emptied when opened (an unconverted
// back-up is kept first, see KeptBackups) and closed by close() or when the object goes away.
//
// Failures are shown in the session's labels with a beep, as the transfer expects; the caller
// only learns whether it may go on.
// What the operator is told when the log could not be opened with `errorNumber`: "LogFile", the
// error as a sign-position number, ":" and its description, and for a file that another program
// holds, that it does.
std::string logLossNote(int errorNumber);

class TransferFiles {
public:
    explicit TransferFiles(SessionContext& ctx) : ctx_(ctx) {}

    // Keeps an unconverted back-up (the operator is told), opens the back-up file, then the log,
    // and logs the accepted file-name frame with counter 0. False (message shown) when the
    // back-up cannot be kept or opened, or the log cannot be opened for another reason than
    // another program holding it: that costs a beep and a status line, and the transfer goes on
    // without the log, with ctx.logError set.
    bool open(std::string_view fileNameFrame);

    // One log line: date, time, ctx.recordCounter as a sign-position number, and the received
    // bytes exactly, each field in double quotes. Log trouble never stops a transfer.
    void log(std::string_view received);

    // Appends the record's bytes and CR LF to the back-up file and puts them on the disk: the
    // record may be answered "ACK" then. False (message shown) on error.
    bool writeRecord(std::string_view record);

    void close();

private:
    SessionContext& ctx_;
    std::unique_ptr<WrittenFile> back_;
    std::unique_ptr<WrittenFile> log_;
};

}  // namespace karune
