#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace karune {

// The separator this system's users write between folder names, as the program shows and joins
// paths: "\\" on Windows, "/" elsewhere.
#ifdef _WIN32
inline constexpr std::string_view kPathSeparator = "\\";
#else
inline constexpr std::string_view kPathSeparator = "/";
#endif

// File names are UTF-8 in memory on every platform; std::filesystem::path uses the platform's
// own encoding (UTF-16 on Windows), so conversions go through char8_t explicitly.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace karune
