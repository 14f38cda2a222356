#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace karune::test {

// A fresh empty folder under the system's temporary folder (or `base`), removed with everything
// in it when the object goes.
class TempFolder {
public:
    explicit TempFolder(
        const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::random_device random;
        path_ = base / ("karune-test-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the settings hold it: UTF-8 text.
    std::string text() const {
        const std::u8string u8 = path_.u8string();
        return std::string(u8.begin(), u8.end());
    }

private:
    std::filesystem::path path_;
};

}  // namespace karune::test
