#pragma once

namespace karune::ui {

// Runs the thread's messages until WM_QUIT and returns its exit code. The program's windows get
// the dialog keys: Tab and the arrows move the focus, Esc and Enter reach them as IDCANCEL and
// IDOK.
int runMessageLoop();

}  // namespace karune::ui
