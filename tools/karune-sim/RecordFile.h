#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karune::modemsim {

// The records of an upload file: one per line, bytes kept as they are (CP932). LF or CR LF end a
// line; the last line needs no line end, and a final line end does not add an empty record.
std::vector<std::string> splitRecords(std::string_view fileBytes);

}  // namespace karune::modemsim
