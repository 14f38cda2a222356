#pragma once

#include "session/SessionContext.h"

namespace karune {

// The conversation with the terminal after "CONNECT": clock setting, file name, records, "END"
// and the conversion into the output file. Every way out leads back to the closing sequence;
// ctx.completed is set only when "END" arrived and the output file was written.
void ServeTerminal(SessionContext& ctx);

}  // namespace karune
