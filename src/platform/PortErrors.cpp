#include "platform/PortErrors.h"

namespace karune {
namespace {

std::string_view faultText(PortFault fault) {
    switch (fault) {
        case PortFault::NoDevice:
            return "デバイス {path} がありません。";
        case PortFault::NotResponding:
            return "{path} にシリアルポートの機器がないか、応答しません。";
        case PortFault::NoPermission:
            return "{path} を開く権限がありません（ユーザーを dialout グループに加えてください）。";
        case PortFault::InUse:
            return "{path} は他のプログラムが使用中です。";
        case PortFault::NotSerial:
            return "{path} はシリアルポートではありません。";
        case PortFault::Other:
            break;
    }
    return "{path} を開けません（エラー {code}: {reason}）。";
}

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
    const PortFault fault = classifyPortError(error);
    std::string text = replaced(faultText(fault), "{path}", devicePath);
    if (fault != PortFault::Other)
        return text;
    text = replaced(text, "{code}", std::to_string(error));
    return replaced(text, "{reason}", systemErrorReason(error));
}

std::string portNumberErrorText(int portNumber) {
    return replaced(kBadPortNumber, "{number}", std::to_string(portNumber));
}

}  // namespace karune
