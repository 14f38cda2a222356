#include "config/DocumentsFolder.h"

#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>

#include "config/Utf8Path.h"

namespace karune {

namespace {

constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
constexpr std::string_view kHomeVariable = "$HOME";

// The text between the quotes, with backslash escapes undone; nullopt when not quoted.
std::optional<std::string> unquote(std::string_view value) {
    if (value.size() < 2 || value.front() != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"')
            return text;
        if (c == '\\' && i + 1 < value.size()) {
            text += value[++i];
            continue;
        }
        text += c;
    }
    return std::nullopt;
}

std::optional<std::string> expandHome(const std::string& value,
                                      const std::optional<std::string>& home) {
    if (value.starts_with('/'))
        return value;
    if (!value.starts_with(kHomeVariable))
        return std::nullopt;
    const std::string_view rest = std::string_view(value).substr(kHomeVariable.size());
    if (!rest.empty() && rest.front() != '/')
        return std::nullopt;  // "$HOMEX" is another name
    if (!home || home->empty())
        return std::nullopt;
    return *home + std::string(rest);
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace

std::optional<std::string> documentsDirFromUserDirs(const std::string& content,
                                                    const std::optional<std::string>& home) {
    std::optional<std::string> found;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        std::string_view text(line);
        text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
        if (!text.starts_with(kKey))
            continue;
        text.remove_prefix(kKey.size());
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        const auto value = unquote(text);
        found = value ? expandHome(*value, home) : std::nullopt;
    }
    return found;
}

std::string findDocumentsFolder(const std::optional<std::string>& home,
                                const std::optional<std::string>& xdgConfigHome) {
    std::filesystem::path configDir;
    if (xdgConfigHome && xdgConfigHome->starts_with('/'))
        configDir = pathFromUtf8(*xdgConfigHome);
    else if (home && !home->empty())
        configDir = pathFromUtf8(*home) / ".config";

    if (!configDir.empty()) {
        if (const auto content = readFile(configDir / "user-dirs.dirs")) {
            if (auto folder = documentsDirFromUserDirs(*content, home))
                return *folder;
        }
    }
    if (home && !home->empty()) {
        const auto documents = pathFromUtf8(*home) / "Documents";
        std::error_code ec;
        if (std::filesystem::is_directory(documents, ec))
            return utf8FromPath(documents);
    }
    return {};
}

}  // namespace karune
