#pragma once

#include <string>

#include "session/SessionContext.h"

namespace karune {

// The outcome of a cycle on screen and to the terminal, the first step of the closing sequence:
// the stop time, the progress bar hidden, the result texts in the status and error labels, and the
// final word: "ACK" after a completed transfer, "CAN" otherwise (nothing when the port is closed).
// After a failure the stop-button text stands in for a message only when the error label is
// empty; it carries a time stamp only when the stop button was pressed in this cycle.
void ReportCompletion(SessionContext& ctx);

// Appends the cycle's line to the month's history file, Folder + "/" + yyyy-mm + ".txt":
// the stop time, "->", the error label, and ":" + OutputPath when there is one, in CP932 and ended
// by CR LF. A file that cannot be opened or written costs a beep and nothing else. Line breaks
// inside the label (a modem reply shown in a message) are left out, so that every cycle stays one
// line of the file.
void WriteHistoryLine(SessionContext& ctx);

// Appends `line` (UTF-8, line breaks left out) to the month's history file as above; a warning
// that must outlive the error label goes there too.
void AppendHistoryLine(SessionContext& ctx, std::string line);

}  // namespace karune
