#include "RecordFile.h"

namespace karune::modemsim {

std::vector<std::string> splitRecords(std::string_view fileBytes) {
    std::vector<std::string> records;
    while (!fileBytes.empty()) {
        const std::size_t end = fileBytes.find('\n');
        std::string_view line = fileBytes.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        records.emplace_back(line);
        if (end == std::string_view::npos)
            break;
        fileBytes.remove_prefix(end + 1);
    }
    return records;
}

}  // namespace karune::modemsim
