#pragma once

#include <string>
#include <string_view>

namespace karune {

// The modes of the two label writers (ShowStatus, ShowError).
enum LabelMode : int {
    kReplace = 0,  // the text replaces the label
    kNewLine = 1,  // old text, CR LF, text
    kAppend = 2,   // old text directly followed by text
};

// The label's new text after writing `text` with `mode`; any other mode leaves it unchanged.
std::string applyLabelMode(std::string_view old, int mode, std::string_view text);

}  // namespace karune
