#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace karune {

// The program-wide settings record, in the order of the settings file's 30 items. Texts are
// UTF-8 in memory and CP932 in the file. Values are 16-bit as the file and its readers expect.
// A new record is empty (numbers 0, texts empty) until the settings are loaded.
struct Settings {
    static constexpr int kFieldCount = 20;

    std::int16_t AddDate = 0;      // 0 none, 1 date, 2 date+time, 3 name+date, 4 name+date+time
    std::string FixFname;          // fixed output name without ".txt"; empty: the terminal's name
    std::string Folder;            // save folder
    std::int16_t Port = 0;         // COM1..COM8
    std::int16_t CrcType = 0;      // 0 covers "^".."*", 1 covers payload and "*"
    std::int16_t OverWrite = 0;    // 0 append, 1 replace the output file
    std::int16_t StartUpSize = 0;  // 0 normal window, 1 minimised
    std::int16_t AutoStart = 0;    // 1 start at program start and serve call after call
    std::int16_t Protocol = 0;     // 0 framed, 1 simple lines
    std::array<std::int16_t, kFieldCount> Field{};  // Field[n-1] is F(n): 1 keeps the field
    std::string TimeAdjust;                         // "1" sets the terminal's clock

    // F(n) for n = 1..20, as the settings and the dialog number them.
    std::int16_t& field(int n) { return Field[static_cast<std::size_t>(n - 1)]; }
    std::int16_t field(int n) const { return Field[static_cast<std::size_t>(n - 1)]; }

    bool operator==(const Settings&) const = default;
};

// The record InitSettings writes: every field at its default and the given save folder.
Settings defaultSettings(std::string folder);

}  // namespace karune
