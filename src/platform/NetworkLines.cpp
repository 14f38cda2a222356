#include "platform/NetworkLines.h"

#include <iostream>
#include <memory>
#include <utility>

#include "platform/ComPortClient.h"
#include "platform/NetworkTexts.h"
#include "platform/PortMapping.h"
#include "platform/PortNames.h"
#include "platform/TerminalServerLine.h"

namespace karune {

ConnectionLog standardErrorLog() {
    return [](const std::string& message) { std::cerr << "karune-modem: " + message + "\n"; };
}

std::shared_ptr<Socket> Listeners::listenerFor(const std::string& name, const IpAddress& address,
                                               std::uint16_t port, std::string& reason) {
    std::shared_ptr<Socket>& listener = open_[name];
    if (listener && listener->isOpen())
        return listener;
    SocketResult listening = listenSocket(address, port);
    if (!listening.socket.isOpen()) {
        reason = listening.reason;
        return nullptr;
    }
    listener = std::make_shared<Socket>(std::move(listening.socket));
    return listener;
}

PortOpenResult openNetworkLine(std::string_view text, const Clock& clock, const ConnectionLog& log,
                               Listeners& listeners) {
    NetworkMappingResult parsed = parseNetworkMapping(text);
    if (!parsed.mapping)
        return {nullptr, std::string(text) + ": " + parsed.error};
    NetworkMapping& m = *parsed.mapping;

    if (m.kind == NetworkLineKind::Listen) {
        std::string reason;
        std::shared_ptr<Socket> listener =
            listeners.listenerFor(m.name, *parseIpAddress(m.host), m.port, reason);
        if (!listener)
            return {nullptr, listenFailedText(m.name, reason)};
        return {std::make_unique<ListenLine>(std::move(listener), std::move(m.allow), clock, m.name,
                                             log),
                {}};
    }

    SocketResult connected = connectSocket(m.host, m.port, kConnectTimeout);
    if (!connected.socket.isOpen())
        return {nullptr, connectFailedText(m.name, connected.reason)};
    std::unique_ptr<ComPortClient> comPort;
    if (m.kind == NetworkLineKind::Rfc2217)
        comPort = std::make_unique<ComPortClient>();
    auto line = std::make_unique<TerminalServerLine>(std::move(connected.socket),
                                                     std::move(comPort), clock, m.name);
    if (!line->settle())
        return {nullptr, line->lostReason()};
    return {std::move(line), {}};
}

std::vector<std::string> portMappingProblems() {
    std::vector<std::string> problems;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        const std::optional<std::string> text = portOverride(n);
        if (!text || !isNetworkMapping(*text))
            continue;
        if (const NetworkMappingResult parsed = parseNetworkMapping(*text); !parsed.mapping)
            problems.push_back(portEnvironmentName(n) + "=" + *text + ": " + parsed.error);
    }
    return problems;
}

}  // namespace karune
