#include "ui/win32/WindowsFolderSource.h"

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/PortErrors.h"
#include "ui/core/FolderListing.h"
#include "ui/win32/WideText.h"

namespace karune::ui {

namespace {

// Error numbers of the system, described in its own words (UTF-8), for the chooser's "ｴﾗｰ" box.
class SystemErrors : public std::error_category {
public:
    const char* name() const noexcept override { return "windows"; }
    std::string message(int error) const override { return systemErrorReason(error); }
};

const std::error_category& systemErrors() {
    static const SystemErrors category;
    return category;
}

std::error_code lastError() {
    return {static_cast<int>(GetLastError()), systemErrors()};
}

// Runs `work` on a worker and waits at most `bound` for its result. A worker that is still held
// up by the system is left to finish on its own; its result then goes nowhere.
template <typename Result, typename Work>
std::optional<Result> withinBound(Work work, std::chrono::milliseconds bound) {
    struct Outcome {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Result> result;
    };
    auto outcome = std::make_shared<Outcome>();
    try {
        std::thread([outcome, work = std::move(work)] {
            Result result = work();
            const std::lock_guard lock(outcome->mutex);
            outcome->result = std::move(result);
            outcome->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the query counts as not answered.
        return std::nullopt;
    }
    std::unique_lock lock(outcome->mutex);
    outcome->done.wait_for(lock, bound, [&] { return outcome->result.has_value(); });
    return std::move(outcome->result);
}

std::vector<std::wstring> driveRoots() {
    std::wstring buffer(GetLogicalDriveStringsW(0, nullptr), L'\0');
    buffer.resize(GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data()));
    std::vector<std::wstring> roots;
    for (std::size_t at = 0; at < buffer.size();) {
        const std::size_t end = buffer.find(L'\0', at);
        const std::size_t stop = end == std::wstring::npos ? buffer.size() : end;
        if (stop > at)
            roots.push_back(buffer.substr(at, stop - at));
        at = stop + 1;
    }
    return roots;
}

// "c: [Volume]" as a drive list shows it; only "c:" for a drive without a name or medium.
std::string driveLabel(const std::wstring& root, const std::wstring& volume) {
    std::string label = narrow(root.substr(0, 2));
    std::transform(label.begin(), label.end(), label.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    if (!volume.empty())
        label += " [" + narrow(volume) + "]";
    return label;
}

std::vector<std::wstring> volumeNames(const std::vector<std::wstring>& roots) {
    std::vector<std::wstring> names;
    for (const std::wstring& root : roots) {
        wchar_t name[MAX_PATH + 1] = {};
        if (GetVolumeInformationW(root.c_str(), name, MAX_PATH + 1, nullptr, nullptr, nullptr,
                                  nullptr, 0) == 0)
            name[0] = L'\0';
        names.emplace_back(name);
    }
    return names;
}

using Listing = std::variant<std::vector<std::string>, std::error_code>;

Listing listFolder(const std::wstring& folder) {
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry,
                                           FindExSearchLimitToDirectories, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return lastError();
    std::vector<std::string> names;
    do {
        const std::wstring_view name = entry.cFileName;
        const bool folderEntry = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool hidden = (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        if (folderEntry && !hidden && name != L"." && name != L"..")
            names.push_back(narrow(name));
    } while (FindNextFileW(search, &entry) != 0);
    FindClose(search);
    std::sort(names.begin(), names.end(), folderNameLess);
    return names;
}

}  // namespace

WindowsFolderSource::WindowsFolderSource(std::chrono::milliseconds bound) : bound_(bound) {}

std::vector<RootEntry> WindowsFolderSource::roots() const {
    const std::vector<std::wstring> roots = driveRoots();
    const std::optional<std::vector<std::wstring>> volumes =
        withinBound<std::vector<std::wstring>>([roots] { return volumeNames(roots); }, bound_);
    std::vector<RootEntry> entries;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        const std::wstring volume = volumes ? (*volumes)[i] : std::wstring();
        entries.push_back({narrow(roots[i]), driveLabel(roots[i], volume)});
    }
    return entries;
}

Listing WindowsFolderSource::subfolders(const std::string& folder) const {
    const std::optional<Listing> listing =
        withinBound<Listing>([wide = widen(folder)] { return listFolder(wide); }, bound_);
    if (!listing)
        return std::error_code(ERROR_NOT_READY, systemErrors());
    return *listing;
}

std::string WindowsFolderSource::currentFolder() const {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return narrow(folder);
}

}  // namespace karune::ui
