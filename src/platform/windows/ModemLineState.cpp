#include "platform/windows/ModemLineState.h"

namespace karune {

DCB modemLineState(const DCB& reported) {
    DCB state = reported;
    state.DCBlength = sizeof state;
    state.BaudRate = CBR_38400;
    state.ByteSize = 8;
    state.Parity = NOPARITY;
    state.StopBits = ONESTOPBIT;
    state.fBinary = TRUE;
    state.fParity = FALSE;
    state.fOutxCtsFlow = FALSE;
    state.fOutxDsrFlow = FALSE;
    state.fDtrControl = DTR_CONTROL_ENABLE;
    state.fDsrSensitivity = FALSE;
    state.fTXContinueOnXoff = TRUE;
    state.fOutX = FALSE;
    state.fInX = FALSE;
    state.fErrorChar = FALSE;
    state.fNull = FALSE;
    state.fRtsControl = RTS_CONTROL_ENABLE;
    state.fAbortOnError = FALSE;
    state.XonChar = 0x11;
    state.XoffChar = 0x13;
    // A quarter of the input queue each way, well inside what any driver accepts.
    state.XonLim = kPortQueueBytes / 4;
    state.XoffLim = kPortQueueBytes / 4;
    return state;
}

COMMTIMEOUTS modemLineTimeouts() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = kWriteStallMs;
    return timeouts;
}

}  // namespace karune
