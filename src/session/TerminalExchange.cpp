#include "session/TerminalExchange.h"

namespace karune {

// Until the terminal protocol is in, a connected call goes straight to the closing sequence.
void ServeTerminal(SessionContext&) {}

}  // namespace karune
