#pragma once

#include <string>
#include <string_view>

namespace karune::modemsim {

// Frames as a terminal builds them: "^" seq payload "*" checksum, CP932 bytes. `corrupt` gives a
// checksum one off the right one, as a line hit by noise would carry.
std::string recordFrame(char sequence, std::string_view payload, int crcType, bool corrupt = false);

// The file-name frame "^#name@count*hh".
std::string fileNameFrame(std::string_view name, int recordCount, int crcType);

// Sequence character of the record with zero-based index `index`: "0" to "9", cycling.
char sequenceCharacter(std::size_t index);

}  // namespace karune::modemsim
