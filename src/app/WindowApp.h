#pragma once

#include "app/Startup.h"

namespace karune {

// The program with its window: start-up messages as message boxes, the main window, and reception
// on a worker thread reporting into the window. Returns the process's exit status.
int runWindow(int& argc, char** argv, const Startup& startup);

}  // namespace karune
