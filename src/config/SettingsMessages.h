#pragma once

#include <string>
#include <string_view>

#include "config/OperatorMessages.h"

namespace karune {

// Why a reset happened, as the "File Read" message names it.
inline constexpr std::string_view kResetNoFile = "ﾌｧｲﾙなし";
inline constexpr std::string_view kResetBadFile = "ﾌｧｲﾙ不正";
inline constexpr std::string_view kResetBadOptions = "ﾊﾟﾗﾒｰﾀ不正";
inline constexpr std::string_view kResetBadFields = "ﾊﾟﾗﾒｰﾀ不正(ﾌｨｰﾙﾄﾞ)";

// The reset's announcement. With `documentsDefault` the new save folder is the documents folder,
// otherwise the program folder, which the message then names.
OperatorMessage resetMessage(std::string_view reason, bool documentsDefault,
                             std::string_view programFolder);

// The settings file could not be created or emptied; `description` is the platform's wording.
OperatorMessage settingsOpenErrorMessage(std::string_view description);

// The settings line could not be written.
OperatorMessage settingsWriteErrorMessage(std::string_view description);

// The two lines for a save folder that cannot be used; the status label repeats them.
std::string missingFolderText();
OperatorMessage missingFolderMessage();

}  // namespace karune
