#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace karune::modemsim {

// Cuts what the PC sends into lines at CR. LF and NUL bytes are dropped: a modem ignores them,
// and the escape "+++" travels with a NUL before its CR.
class LineSplitter {
public:
    // The lines completed by `bytes`, without their CR, in order.
    std::vector<std::string> feed(std::string_view bytes);

private:
    std::string partial_;
};

}  // namespace karune::modemsim
