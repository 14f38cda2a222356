#include "platform/PortErrors.h"

#include <windows.h>

#include <array>

namespace karune {
namespace {

constexpr std::string_view kPathToken = "{path}";

struct ErrorText {
    std::array<DWORD, 3> errors;  // unused slots repeat a listed value
    std::string_view text;
};

// Another program holding the port makes CreateFileW fail with "access denied".
constexpr std::array<ErrorText, 4> kErrorTexts = {{
    {{ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_NAME},
     "デバイス {path} がありません。"},
    {{ERROR_GEN_FAILURE, ERROR_NOT_READY, ERROR_DEVICE_NOT_CONNECTED},
     "{path} にシリアルポートの機器がないか、応答しません。"},
    {{ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION, ERROR_BUSY},
     "{path} は他のプログラムが使用中です。"},
    {{ERROR_INVALID_FUNCTION, ERROR_INVALID_HANDLE, ERROR_NOT_SUPPORTED},
     "{path} はシリアルポートではありません。"},
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

// The system's own text for the error, UTF-8, without its line break.
std::string systemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                             nullptr, nullptr);
        reason.resize(static_cast<std::size_t>(size));
        WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), reason.data(), size,
                            nullptr, nullptr);
    }
    LocalFree(text);
    reason.erase(reason.find_last_not_of("\r\n .") + 1);
    return reason;
}

}  // namespace

std::string portOpenErrorText(int error, std::string_view devicePath) {
    const auto code = static_cast<DWORD>(error);
    for (const ErrorText& entry : kErrorTexts) {
        for (DWORD listed : entry.errors) {
            if (listed == code)
                return replaced(entry.text, kPathToken, devicePath);
        }
    }
    std::string text = replaced(kOtherError, kPathToken, devicePath);
    text = replaced(text, "{code}", std::to_string(error));
    return replaced(text, "{reason}", systemReason(code));
}

std::string portNumberErrorText(int portNumber) {
    return replaced(kBadPortNumber, "{number}", std::to_string(portNumber));
}

}  // namespace karune
