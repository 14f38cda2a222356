#pragma once

#include <string>

namespace karune::ui {

// Opens a text file in the platform's text editor, without a shell in between, so any path
// (spaces and Japanese characters included) reaches the editor unchanged.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    // Opens a UTF-8 path; false when the editor could not be started.
    virtual bool open(const std::string& path) = 0;
};

}  // namespace karune::ui
