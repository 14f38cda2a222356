#pragma once

#include <signal.h>

#include "SimOptions.h"

namespace karune::modemsim {

// Plays the terminal of a listening line: connects to options.connect (from options.source when
// set), answers the PC's words with no modem in between, and prints one report line per call.
// Each call is one connection; the next one follows once the PC has hung up. A refused
// connection is a call without a final word. Returns the simulator's exit status. Signals in
// `waitMask` are let through only while waiting; `stopSignal` turns non-zero when one came.
int runTcpTerminal(const SimOptions& options, const sigset_t& waitMask,
                   const volatile sig_atomic_t& stopSignal);

}  // namespace karune::modemsim
