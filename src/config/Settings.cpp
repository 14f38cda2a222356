#include "config/Settings.h"

namespace karune {

Settings defaultSettings(std::string folder) {
    Settings s;
    s.AddDate = 0;
    s.FixFname.clear();
    s.Folder = std::move(folder);
    s.Port = 1;
    s.CrcType = 0;
    s.OverWrite = 0;
    s.StartUpSize = 0;
    s.AutoStart = 0;
    s.Protocol = 0;
    s.Field.fill(1);
    s.TimeAdjust = "1";
    return s;
}

}  // namespace karune
