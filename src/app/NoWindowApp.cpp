#include "app/WindowApp.h"

#include "app/StartupRefusal.h"

#include <iostream>

namespace karune {

int runWindow(int&, char** argv, const Startup&) {
    std::cerr << argv[0] << ": this build has no window; use --headless or --convert OUTPUT\n";
    return 2;
}

// Without a window, standard error has said it all.
void showStartupRefusal(int&, char**, const std::string&) {}

}  // namespace karune
