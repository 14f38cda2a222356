#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "integration/ChildProcess.h"

#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune::test {

using namespace std::chrono_literals;

// The programs under test, from the build tree.
std::string modemProgram();
std::string simProgram();

// The settings line the program reads, built item by item. Every field flag is on by default.
struct SettingsLine {
    int addDate = 0;
    std::string fixFname;
    std::string folder;
    int port = 1;
    int crcType = 0;
    int overWrite = 0;
    int startUpSize = 0;
    int autoStart = 0;
    int protocol = 0;
    std::array<int, 20> fields = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::string timeAdjust = "1";

    std::string text() const;  // one line, CR LF at its end
};

std::string cp932(std::string_view utf8);
// Lines joined with CR LF after each.
std::string crlfLines(const std::vector<std::string>& lines);
// The line with every ASCII digit among its first `count` bytes turned into 'd', so time stamps
// compare by their shape.
std::string maskDigits(std::string line, std::size_t count);
std::vector<std::string> splitCrLf(const std::string& bytes);
// The month's history files (yyyy-mm.txt) in `folder`.
std::vector<std::filesystem::path> historyFiles(const std::filesystem::path& folder);

// A home folder with its settings file and a save folder "out" inside it.
struct Home {
    TempFolder scratch;
    std::filesystem::path dir = scratch.path() / "home";
    std::filesystem::path out = scratch.path() / "out";

    Home();
    void write(SettingsLine settings) const;  // the save folder is filled in when empty
    std::filesystem::path backFile() const { return dir / "Back.txt"; }
};

// karune-sim with its pseudo-terminal ready.
struct Simulator {
    std::unique_ptr<ChildProcess> process;
    std::string ptyPath;  // empty when it did not start
};
Simulator startSimulator(const std::vector<std::string>& args);

// The program in headless mode on COM1 = `device`.
std::unique_ptr<ChildProcess> startHeadless(const Home& home, const std::string& device);

}  // namespace karune::test
