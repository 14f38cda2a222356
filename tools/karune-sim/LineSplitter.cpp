#include "LineSplitter.h"

namespace karune::modemsim {

std::vector<std::string> LineSplitter::feed(std::string_view bytes) {
    std::vector<std::string> lines;
    for (char c : bytes) {
        if (c == '\r') {
            lines.push_back(std::move(partial_));
            partial_.clear();
        } else if (c != '\n' && c != '\0') {
            partial_ += c;
        }
    }
    return lines;
}

}  // namespace karune::modemsim
