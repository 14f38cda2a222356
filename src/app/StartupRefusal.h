#pragma once

#include <string>

namespace karune {

// Tells the operator of the window why the program does not start, in a message box: started
// from the desktop menu, nobody reads its standard error. Returns once the box is answered.
void showStartupRefusal(int& argc, char** argv, const std::string& text);

}  // namespace karune
