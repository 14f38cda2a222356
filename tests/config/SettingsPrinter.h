#pragma once

#include <ostream>

#include "config/Settings.h"

namespace karune {

// Lets a failed comparison show the record as its fields instead of raw bytes.
inline void PrintTo(const Settings& s, std::ostream* os) {
    *os << "{AddDate " << s.AddDate << ", FixFname \"" << s.FixFname << "\", Folder \"" << s.Folder
        << "\", Port " << s.Port << ", CrcType " << s.CrcType << ", OverWrite " << s.OverWrite
        << ", StartUpSize " << s.StartUpSize << ", AutoStart " << s.AutoStart << ", Protocol "
        << s.Protocol << ", Field";
    for (std::int16_t flag : s.Field)
        *os << ' ' << flag;
    *os << ", TimeAdjust \"" << s.TimeAdjust << "\"}";
}

}  // namespace karune
