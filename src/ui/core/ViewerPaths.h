#pragma once

#include <string>
#include <string_view>

namespace karune::ui {

// The month's history file: save folder (one trailing separator dropped, for a root folder), the
// path separator, the first seven characters of the date text (yyyy-mm) and ".txt".
std::string historyFilePath(std::string_view folder, std::string_view dateText);

// The latest output file: the folder label (one trailing separator dropped, for a root folder)
// followed by the file label, which starts with its own separator. Empty when the file label is
// empty (nothing received yet).
std::string outputFilePath(std::string_view folderLabel, std::string_view fileLabel);

}  // namespace karune::ui
