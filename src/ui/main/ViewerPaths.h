#pragma once

#include <QString>

namespace karune::ui {

// The month's history file: save folder (one trailing separator dropped, for a root folder),
// "/", the first seven characters of the date text (yyyy-mm) and ".txt".
QString historyFilePath(const QString& folder, const QString& dateText);

// The latest output file: the folder label (one trailing separator dropped, for a root folder)
// followed by the file label, which starts with its own separator. Empty when the file label is
// empty (nothing received yet).
QString outputFilePath(const QString& folderLabel, const QString& fileLabel);

}  // namespace karune::ui
