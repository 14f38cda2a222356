#pragma once

#include <windows.h>

namespace karune {

// Input and output queue sizes the port is asked for; XonLim and XoffLim are set inside them.
inline constexpr DWORD kPortQueueBytes = 4096;
// A write that cannot go on for this long has met a stuck line.
inline constexpr DWORD kWriteStallMs = 2000;

// The modem's line from the state the driver reported: 38400 baud, 8 data bits, no parity, 1 stop
// bit, every byte value passed, no hardware or software flow control, DTR and RTS on. The XON and
// XOFF characters and limits are set although XON/XOFF is off: SetCommState refuses a state whose
// XonChar equals XoffChar (error 87), and several USB and virtual COM drivers report 0 for both.
DCB modemLineState(const DCB& reported);

// The time-outs a port gets when it opens, before the first write: a read returns what is waiting
// at once, a write gives up after kWriteStallMs. Whatever the last program left must not apply.
COMMTIMEOUTS modemLineTimeouts();

}  // namespace karune
