#pragma once

#include <functional>

#include "config/OperatorMessages.h"
#include "ui/settings/FileSystemRoots.h"

namespace karune::ui {

// What the folder chooser needs of the world: the roots to offer, the operator's message boxes and
// the system beep.
struct ChooserServices {
    const FileSystemRoots& roots;
    OperatorMessages& messages;
    std::function<void()> beep;
};

}  // namespace karune::ui
