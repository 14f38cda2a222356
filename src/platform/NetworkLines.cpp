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

PortOpenResult openNetworkLine(std::string_view text, const Clock& clock,
                               const ConnectionLog& log) {
    NetworkMappingResult parsed = parseNetworkMapping(text);
    if (!parsed.mapping)
        return {nullptr, std::string(text) + ": " + parsed.error};
    NetworkMapping& m = *parsed.mapping;

    if (m.kind == NetworkLineKind::Listen) {
        SocketResult listening = listenSocket(*parseIpAddress(m.host), m.port);
        if (!listening.socket.isOpen())
            return {nullptr, listenFailedText(m.name, listening.reason)};
        return {std::make_unique<ListenLine>(std::move(listening.socket), std::move(m.allow), clock,
                                             m.name, log),
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
