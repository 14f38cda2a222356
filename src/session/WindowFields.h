#pragma once

#include <string>

namespace karune {

// The main window's fields that the session writes and that belong to the window for the whole
// program run, not to one reception: the output path, which the history line of any later cycle
// carries until the next file-name try, and the progress bar, which keeps its maximum when a
// transfer announces no count.
struct WindowFields {
    std::string outputPath;  // UTF-8
    int progressMax = 100;
    int progressValue = 0;
    bool progressVisible = false;
};

}  // namespace karune
