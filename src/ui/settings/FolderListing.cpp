#include "ui/settings/FolderListing.h"

#include <QCollator>
#include <algorithm>
#include <filesystem>

#include "session/SignedNumber.h"

namespace karune::ui {

namespace fs = std::filesystem;

std::variant<QStringList, std::error_code> listSubfolders(const QString& folder) {
    std::error_code ec;
    const fs::path path(folder.toStdU16String());
    if (!fs::is_directory(path, ec)) {
        return ec ? ec : std::make_error_code(std::errc::not_a_directory);
    }
    fs::directory_iterator it(path, ec);
    if (ec) {
        return ec;
    }
    QStringList names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            return ec;
        }
        std::error_code entryError;
        if (!it->is_directory(entryError)) {
            continue;
        }
        const QString name = QString::fromStdU16String(it->path().filename().u16string());
        // Dot folders are the platform's hidden ones; its own folder lists leave them out too.
        if (!name.startsWith(QLatin1Char('.'))) {
            names << name;
        }
    }
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

QString rootOf(const QStringList& roots, const QString& path) {
    QString best;
    for (const QString& root : roots) {
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        const bool holds = path == root || path.startsWith(prefix);
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

std::string folderErrorText(const std::error_code& error) {
    return "ｴﾗｰ" + signPosition(error.value()) + "\r\n" + error.message();
}

}  // namespace karune::ui
