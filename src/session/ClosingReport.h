#pragma once

#include <string>

#include "session/SessionContext.h"

namespace karune {

// The outcome of a cycle on screen and to the terminal, the first step of the closing sequence:
// the stop time, the progress bar hidden, the result texts in the status and error labels, and the
// final word: "ACK" after a completed transfer, "CAN" otherwise (nothing when the port is closed).
// After a failure the stop-button text stands in for a message only when the error label is
// empty; it carries a time stamp only when the stop button was pressed in this cycle.
// An output file that another program held (ctx.conversionError EBUSY) is named in the error
// label, the status label and an operator message, with the note that the terminal sends the
// records again; a lost log (ctx.logError) and a kept back-up are noted in the error label.
void ReportCompletion(SessionContext& ctx);

// Appends the cycle's line to the month's history file, Folder + "/" + yyyy-mm + ".txt":
// the stop time, "->", the error label, and ":" + OutputPath when there is one, in CP932 and ended
// by CR LF, and puts it on the disk. Line breaks inside the label (a modem reply shown in a
// message) are left out, so that every cycle stays one line of the file.
// A history file that another program holds (or that refuses the line for any other reason) costs
// a beep and a note in the error label; the line waits in a hidden file of the save folder and is
// added, in its order, before the line of the next cycle that finds the file free. Only a line
// that cannot wait either (the folder is gone) is lost.
void WriteHistoryLine(SessionContext& ctx);

// Appends `line` (UTF-8, line breaks left out) to the month's history file as above; a warning
// that must outlive the error label goes there too.
void AppendHistoryLine(SessionContext& ctx, std::string line);

}  // namespace karune
