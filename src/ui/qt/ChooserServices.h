#pragma once

#include <functional>

#include "config/OperatorMessages.h"
#include "ui/core/FolderChooserLogic.h"

namespace karune::ui {

// What the folder chooser needs of the world: the file system, the operator's message boxes and
// the system beep.
struct ChooserServices {
    const FolderSource& folders;
    OperatorMessages& messages;
    std::function<void()> beep;
};

}  // namespace karune::ui
