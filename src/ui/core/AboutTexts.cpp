#include "ui/core/AboutTexts.h"

#include "ui/core/ProgramInfo.h"

namespace karune::ui {

std::string versionLabel(int major, int minor, int patch) {
    return "Ver." + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(patch);
}

AboutTexts aboutTexts() {
    return {std::string(kProgramTitle) + "のﾊﾞｰｼﾞｮﾝ情報", kProgramTitle,
            versionLabel(kVersionMajor, kVersionMinor, kVersionPatch), kCompanyName};
}

}  // namespace karune::ui
