#pragma once

#include "ui/core/FileOpener.h"

namespace karune::ui {

// The desktop's handler for local files.
class DesktopFileOpener : public FileOpener {
public:
    bool open(const std::string& path) override;
};

}  // namespace karune::ui
