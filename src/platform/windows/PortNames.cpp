#include "platform/PortNames.h"

#include <cstdlib>
#include <filesystem>

#include "config/Utf8Path.h"

namespace karune {

// Read through the wide environment, so that any name survives.
std::optional<std::string> portOverride(int portNumber) {
    const std::string name = portEnvironmentName(portNumber);
    const std::wstring wideName(name.begin(), name.end());
    const wchar_t* value = _wgetenv(wideName.c_str());
    if (value == nullptr || *value == L'\0')
        return std::nullopt;
    return utf8FromPath(std::filesystem::path(value));
}

// The device namespace reaches COM10 and above too, where a plain "COM10" would not.
std::string systemPortDevice(int portNumber) {
    return "\\\\.\\COM" + std::to_string(portNumber);
}

std::string deviceNamed(const std::string& name) {
    return name.starts_with("\\\\") ? name : "\\\\.\\" + name;
}

}  // namespace karune
