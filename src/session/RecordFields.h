#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/Settings.h"

namespace karune {

using FieldFlags = std::array<std::int16_t, Settings::kFieldCount>;

// The output line of one record: the record is cut at its commas into fields F1..F20 (no
// quoting; text after a 20th comma is dropped), the fields whose flag is exactly 1 are packed to
// the front in order, and the packed fields are joined by commas up to, not including, the
// first empty one after the first (the first is always written). The line and CR LF are appended
// to `out`. Bytes are copied as they are: "," (0x2C) is never part of a CP932 double-byte
// character, so cutting at bytes is cutting at characters.
class RecordFields {
public:
    explicit RecordFields(const FieldFlags& flags);

    void appendConverted(std::string_view record, std::string& out) const;

private:
    std::array<std::size_t, Settings::kFieldCount> selected_{};  // 0-based source field indexes
    std::size_t selectedCount_ = 0;
};

}  // namespace karune
