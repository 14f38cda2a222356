#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "config/FileSystem.h"
#include "config/Settings.h"

namespace karune {

enum class SettingsReadStatus {
    Read,        // `settings` holds the file's record
    CannotOpen,  // missing, not a readable file, or reading it failed
    Malformed,   // fewer than 30 items, or an item not of its field's type
};

struct SettingsReadResult {
    SettingsReadStatus status = SettingsReadStatus::CannotOpen;
    Settings settings;  // the empty record unless status is Read
};

// Only the first MiB is looked at: a real settings line is a few hundred bytes, and a huge file
// must not be read into memory whole.
SettingsReadResult readSettingsFile(const std::filesystem::path& iniFile);

// What went wrong while writing, each as the platform's error description. After a failed open
// the write is still attempted and fails too, so both are set. A record that cannot be encoded
// sets only writeError and leaves the file untouched.
struct SettingsWriteResult {
    std::optional<std::string> openError;
    std::optional<std::string> writeError;
    bool ok() const { return !openError && !writeError; }
};

// Writes the record as the file's one line, as a Replacement (see FileCommits.h), so that after a
// crash at any moment the file is the old one or the new one. A failure at any step is reported,
// never taken for success, and leaves the old file; a write-protected file is refused.
SettingsWriteResult writeSettingsFile(const std::filesystem::path& iniFile,
                                      const Settings& settings,
                                      FileSystem& files = systemFileSystem());

}  // namespace karune
