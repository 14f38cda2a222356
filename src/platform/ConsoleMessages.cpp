#include "platform/ConsoleMessages.h"

#include <string_view>

namespace karune {
namespace {

// CR LF, or a CR or LF alone, becomes one space.
std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.push_back(' ');
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

}  // namespace

void ConsoleMessages::show(const OperatorMessage& message) {
    const std::string& title = message.title.empty() ? defaultTitle_ : message.title;
    log_.write(message.icon == MessageIcon::Critical ? Severity::Error : Severity::Warning,
               title + ": " + oneLine(message.text));
}

}  // namespace karune
