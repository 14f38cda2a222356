#include "platform/NetworkTexts.h"

namespace karune {
namespace {

constexpr std::string_view kConnectFailed = " に接続できません";
constexpr std::string_view kConnectionLost = " との接続が切れました。";
constexpr std::string_view kListenFailed = " で着信を待てません";
constexpr std::string_view kListenerBroken = " の着信の受付が止まりました。";

std::string withReason(std::string_view name, std::string_view text, std::string_view reason) {
    return std::string(name) + std::string(text) + "（" + std::string(reason) + "）。";
}

}  // namespace

std::string connectFailedText(std::string_view name, std::string_view reason) {
    return withReason(name, kConnectFailed, reason);
}

std::string connectionLostText(std::string_view name) {
    return std::string(name) + std::string(kConnectionLost);
}

std::string listenFailedText(std::string_view name, std::string_view reason) {
    return withReason(name, kListenFailed, reason);
}

std::string listenerBrokenText(std::string_view name) {
    return std::string(name) + std::string(kListenerBroken);
}

}  // namespace karune
