#include "platform/PortErrors.h"

#include <array>
#include <cerrno>
#include <system_error>

namespace karune {
namespace {

constexpr std::string_view kPathToken = "{path}";

struct ErrorText {
    std::array<int, 3> errors;  // unused slots repeat a listed value
    std::string_view text;
};

constexpr std::array<ErrorText, 5> kErrorTexts = {{
    {{ENOENT, ENOENT, ENOENT}, "デバイス {path} がありません。"},
    {{ENODEV, ENXIO, EIO}, "{path} にシリアルポートの機器がないか、応答しません。"},
    {{EACCES, EPERM, EROFS},
     "{path} を開く権限がありません（ユーザーを dialout グループに加えてください）。"},
    {{EBUSY, EWOULDBLOCK, EAGAIN}, "{path} は他のプログラムが使用中です。"},
    {{ENOTTY, EISDIR, ENOTDIR}, "{path} はシリアルポートではありません。"},
}};

constexpr std::string_view kOtherError = "{path} を開けません（エラー {code}: {reason}）。";
constexpr std::string_view kBadPortNumber = "ポート番号 {number} はありません（1～8）。";

std::string replaced(std::string_view text, std::string_view token, std::string_view value) {
    std::string out(text);
    const std::size_t at = out.find(token);
    if (at != std::string::npos)
        out.replace(at, token.size(), value);
    return out;
}

}  // namespace

std::string portOpenErrorText(int error, std::string_view devicePath) {
    for (const ErrorText& entry : kErrorTexts) {
        for (int listed : entry.errors) {
            if (listed == error)
                return replaced(entry.text, kPathToken, devicePath);
        }
    }
    std::string text = replaced(kOtherError, kPathToken, devicePath);
    text = replaced(text, "{code}", std::to_string(error));
    return replaced(text, "{reason}", std::generic_category().message(error));
}

std::string portNumberErrorText(int portNumber) {
    return replaced(kBadPortNumber, "{number}", std::to_string(portNumber));
}

}  // namespace karune
