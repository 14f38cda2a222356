#pragma once

#include <QString>
#include <QStringList>
#include <system_error>
#include <variant>

namespace karune::ui {

// The names of the visible sub-folders of `folder`, sorted, or the error that kept the folder from
// being read (missing, not a folder, no permission).
std::variant<QStringList, std::error_code> listSubfolders(const QString& folder);

// The root among `roots` that holds `path` (the longest matching one), or an empty text.
QString rootOf(const QStringList& roots, const QString& path);

// The chooser's message for a root that cannot be read: "ｴﾗｰ", the error number with its sign
// position, CR LF, the error's description.
std::string folderErrorText(const std::error_code& error);

}  // namespace karune::ui
