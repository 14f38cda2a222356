#include "config/SettingsMessages.h"

namespace karune {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

constexpr std::string_view kReadErrorTitle = "File Read";
constexpr std::string_view kReadErrorPrefix = "INIﾌｧｲﾙ読み込みｴﾗｰ : ";
constexpr std::string_view kResetNotice = "INIﾌｧｲﾙを初期化します";
constexpr std::string_view kDocumentsDefault = "保存ﾌｫﾙﾀﾞの初期値はﾏｲﾄﾞｷｭﾒﾝﾄﾌｫﾙﾀﾞです";
constexpr std::string_view kProgramFolderDefaultBefore = "保存ﾌｫﾙﾀﾞの初期値は ";
constexpr std::string_view kProgramFolderDefaultAfter = " です";
constexpr std::string_view kSetFolderAgain = "運用に適したﾌｫﾙﾀﾞを再設定してください";

constexpr std::string_view kOpenErrorTitle = "File Open Error";
constexpr std::string_view kOpenErrorPrefix = "INIﾌｧｲﾙ書き込みｵｰﾌﾟﾝｴﾗｰ : ";
constexpr std::string_view kWriteErrorTitle = "File Write Error";
constexpr std::string_view kWriteErrorPrefix = "INIﾌｧｲﾙ書き込みｴﾗｰ : ";

constexpr std::string_view kFolderErrorTitle = "エラー！！";
constexpr std::string_view kFolderMissing = "保存ﾌｫﾙﾀﾞが存在しません";
constexpr std::string_view kFolderSetAgain = "再設定を行ってください！！";

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

}  // namespace

OperatorMessage resetMessage(std::string_view reason, bool documentsDefault,
                             std::string_view programFolder) {
    const std::string defaultFolderLine =
        documentsDefault
            ? std::string(kDocumentsDefault)
            : concat({kProgramFolderDefaultBefore, programFolder, kProgramFolderDefaultAfter});
    return {std::string(kReadErrorTitle),
            concat({kReadErrorPrefix, reason, kLineBreak, kResetNotice, kLineBreak,
                    defaultFolderLine, kLineBreak, kSetFolderAgain}),
            MessageIcon::None};
}

OperatorMessage settingsOpenErrorMessage(std::string_view description) {
    return {std::string(kOpenErrorTitle), concat({kOpenErrorPrefix, description}),
            MessageIcon::None};
}

OperatorMessage settingsWriteErrorMessage(std::string_view description) {
    return {std::string(kWriteErrorTitle), concat({kWriteErrorPrefix, description}),
            MessageIcon::None};
}

std::string missingFolderText() {
    return concat({kFolderMissing, kLineBreak, kFolderSetAgain});
}

OperatorMessage missingFolderMessage() {
    return {std::string(kFolderErrorTitle), missingFolderText(), MessageIcon::Critical};
}

}  // namespace karune
