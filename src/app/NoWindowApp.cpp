#include <iostream>

#include "app/WindowApp.h"

namespace karune {

int runWindow(int&, char** argv, const Startup&) {
    std::cerr << argv[0] << ": this build has no window; use --headless or --convert OUTPUT\n";
    return 2;
}

}  // namespace karune
