#pragma once

#include <string>

namespace karune::ui {

// What the about box shows once it has loaded the program's version information.
struct AboutTexts {
    std::string caption;  // the title and "のﾊﾞｰｼﾞｮﾝ情報"
    std::string title;
    std::string version;  // "Ver." and the three numbers as plain decimals: Ver.3.4.0
    std::string company;
};

AboutTexts aboutTexts();

// "Ver." and the three version numbers, without leading zeros or blanks.
std::string versionLabel(int major, int minor, int patch);

}  // namespace karune::ui
