#include "platform/ComPortClient.h"

#include <array>

namespace karune {
namespace {

// The server answers a command with its code plus this.
constexpr std::uint8_t kReply = 100;

constexpr std::uint8_t kSetBaudRate = 1;
constexpr std::uint8_t kSetDataSize = 2;
constexpr std::uint8_t kSetParity = 3;
constexpr std::uint8_t kSetStopSize = 4;
constexpr std::uint8_t kSetControl = 5;
constexpr std::uint8_t kNotifyModemState = 7;
constexpr std::uint8_t kSetModemStateMask = 11;
constexpr std::uint8_t kPurgeData = 12;

// SET-CONTROL values and the answers that confirm them.
constexpr char kNoFlowControl = 1;   // confirmed by any flow control setting, 1 to 3
constexpr char kDtrOn = 8;           // DTR state: 8 on, 9 off
constexpr char kRtsOn = 11;          // RTS state: 11 on, 12 off
constexpr std::uint8_t kDsr = 0x20;  // in a modem state
// DCD and DSR and their changes: the lines the modem's line uses.
constexpr char kModemStateMask = static_cast<char>(0x80 | kDsr | 0x08 | 0x02);
constexpr char kPurgeBothBuffers = 3;

enum Confirmation : unsigned {
    kBaudRateSet = 1u << 0,
    kDataSizeSet = 1u << 1,
    kParitySet = 1u << 2,
    kStopSizeSet = 1u << 3,
    kFlowControlSet = 1u << 4,
    kDtrSet = 1u << 5,
    kRtsSet = 1u << 6,
    kPurged = 1u << 7,
    kEverything = (1u << 8) - 1,
};

struct Command {
    std::uint8_t code;
    std::string_view value;
};
// 38400 baud as four bytes in network order, 8 data bits, parity NONE (1), 1 stop bit.
constexpr std::array<Command, 9> kLineSettings{{
    {kSetBaudRate, {"\x00\x00\x96\x00", 4}},
    {kSetDataSize, "\x08"},
    {kSetParity, "\x01"},
    {kSetStopSize, "\x01"},
    {kSetControl, {&kNoFlowControl, 1}},
    {kSetControl, {&kDtrOn, 1}},
    {kSetControl, {&kRtsOn, 1}},
    {kSetModemStateMask, {&kModemStateMask, 1}},
    {kPurgeData, {&kPurgeBothBuffers, 1}},
}};

unsigned controlConfirmation(std::uint8_t value) {
    if (value >= 1 && value <= 3)
        return kFlowControlSet;
    if (value == 8 || value == 9)
        return kDtrSet;
    if (value == 11 || value == 12)
        return kRtsSet;
    return 0;
}

}  // namespace

ComPortClient::Inbound ComPortClient::receive(std::string_view bytes) {
    Inbound out;
    while (!bytes.empty()) {
        telnet::TelnetClient::Received received;
        bytes.remove_prefix(telnet_.receive(bytes, received));
        if (!purging_)
            out.data += received.data;
        out.replies += received.replies;
        if (!settingsSent_ && telnet_.ourEnabled(kOption)) {
            settingsSent_ = true;
            for (const Command& c : kLineSettings) {
                out.replies += telnet::TelnetClient::subnegotiation(
                    kOption, std::string(1, static_cast<char>(c.code)) + std::string(c.value));
            }
        }
        if (received.subnegotiation)
            serverSaid(*received.subnegotiation);
    }
    return out;
}

void ComPortClient::serverSaid(std::string_view subnegotiation) {
    if (subnegotiation.size() < 3 || static_cast<std::uint8_t>(subnegotiation[0]) != kOption)
        return;
    const auto code = static_cast<std::uint8_t>(subnegotiation[1]);
    const auto value = static_cast<std::uint8_t>(subnegotiation[2]);
    switch (code) {
        case kReply + kSetBaudRate:
            confirmed_ |= kBaudRateSet;
            break;
        case kReply + kSetDataSize:
            confirmed_ |= kDataSizeSet;
            break;
        case kReply + kSetParity:
            confirmed_ |= kParitySet;
            break;
        case kReply + kSetStopSize:
            confirmed_ |= kStopSizeSet;
            break;
        case kReply + kSetControl:
            confirmed_ |= controlConfirmation(value);
            break;
        case kReply + kNotifyModemState:
            modemState_ = value;
            break;
        case kReply + kPurgeData:
            confirmed_ |= kPurged;
            purging_ = false;
            break;
        default:
            break;
    }
}

bool ComPortClient::settled() const {
    return telnet_.ourRefused(kOption) || confirmed_ == kEverything;
}

std::optional<bool> ComPortClient::modemReady() const {
    if ((confirmed_ & kDtrSet) == 0 || !modemState_)
        return std::nullopt;
    return (*modemState_ & kDsr) != 0;
}

}  // namespace karune
