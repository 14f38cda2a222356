#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace karune {

enum class RunMode { Window, Headless, Convert };

struct CommandLine {
    RunMode mode = RunMode::Window;
    std::optional<std::filesystem::path> home;  // --home DIR: replaces the program folder
    std::filesystem::path convertOutput;        // --convert OUTPUT
};

struct CommandLineError {
    std::string message;  // empty for --help
};

// Options other than ours (Qt's -platform and the like) are left to the window toolkit when the
// program runs with a window, and refused otherwise.
std::variant<CommandLine, CommandLineError> parseCommandLine(const std::vector<std::string>& args);

std::string usageText(const std::string& program);

}  // namespace karune
