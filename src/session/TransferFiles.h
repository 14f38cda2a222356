#pragma once

#include <string_view>

#include "session/SessionContext.h"
#include "session/StdioFile.h"

namespace karune {

// The two files of one transfer: the back-up file (ctx.backFile), which collects the accepted
// records as raw bytes and is the input of the conversion, and "LOG.TXT" in the save folder, one
// line per text received from the terminal. Both are emptied when opened and closed by close()
// or when the object goes away.
//
// Failures are shown in the session's labels with a beep, as the transfer expects; the caller
// only learns whether it may go on.
class TransferFiles {
public:
    explicit TransferFiles(SessionContext& ctx) : ctx_(ctx) {}

    // Opens the back-up file, then the log, and logs the accepted file-name frame with counter 0.
    // False (message shown) when either cannot be opened.
    bool open(std::string_view fileNameFrame);

    // One log line: date, time, ctx.recordCounter as a sign-position number, and the received
    // bytes exactly, each field in double quotes. Log trouble never stops a transfer.
    void log(std::string_view received);

    // Appends the record's bytes and CR LF to the back-up file and pushes them to the system, so
    // that a full disk is noticed at the record that did not fit. False (message shown) on error.
    bool writeRecord(std::string_view record);

    void close();

private:
    SessionContext& ctx_;
    StdioFile back_;
    StdioFile log_;
};

}  // namespace karune
