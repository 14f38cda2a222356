#pragma once

#include <optional>
#include <string>

namespace karune {

// The user's documents folder on a freedesktop system, as UTF-8; empty when none is known.
// Takes $HOME and $XDG_CONFIG_HOME as arguments (nullopt: unset) so the caller decides where they
// come from. Order: XDG_DOCUMENTS_DIR from user-dirs.dirs in $XDG_CONFIG_HOME (when set and
// absolute, else in $HOME/.config), with "$HOME" expanded, taken as written; else
// $HOME/Documents when that folder exists; else empty.
std::string findDocumentsFolder(const std::optional<std::string>& home,
                                const std::optional<std::string>& xdgConfigHome);

// The value of XDG_DOCUMENTS_DIR in the content of a user-dirs.dirs file, "$HOME" expanded;
// nullopt when the file does not set it to an absolute path or to one under "$HOME". The last
// assignment wins, as when the shell sources the file.
std::optional<std::string> documentsDirFromUserDirs(const std::string& content,
                                                    const std::optional<std::string>& home);

}  // namespace karune
