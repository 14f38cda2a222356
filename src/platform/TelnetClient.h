#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace karune::telnet {

inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kIac = 255;

inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;

// A subnegotiation longer than this is dropped whole (a server's signature text fits).
inline constexpr std::size_t kMaxSubnegotiation = 256;

// The client end of a Telnet connection (RFC 854, 855, 856): it asks for a fixed set of options on
// its own side and on the server's, agrees to those alone, and hands subnegotiations up whole.
// Option states follow the rules of RFC 1143, so that no request is answered twice and no
// negotiation loops.
class TelnetClient {
public:
    TelnetClient(std::initializer_list<std::uint8_t> ours,
                 std::initializer_list<std::uint8_t> theirs);

    // WILL for each option of ours and DO for each of the server's.
    std::string requests();

    struct Received {
        std::string data;     // the stream's own bytes, unescaped
        std::string replies;  // negotiation answers to send
        // One subnegotiation: the option code, then its parameters, unescaped.
        std::optional<std::string> subnegotiation;
    };
    // Takes bytes from the server up to and including the first complete subnegotiation, so that
    // the caller sees data and subnegotiations in order. Returns how many bytes it took.
    std::size_t receive(std::string_view bytes, Received& out);

    // Data for the server: IAC doubled, and a CR followed by NUL while our side is not binary.
    std::string escape(std::string_view data) const;
    // IAC SB option parameters (escaped) IAC SE.
    static std::string subnegotiation(std::uint8_t option, std::string_view parameters);

    bool ourEnabled(std::uint8_t option) const { return ours_[option].enabled; }
    // The server answered our WILL with DONT.
    bool ourRefused(std::uint8_t option) const { return ours_[option].refused; }
    bool theirEnabled(std::uint8_t option) const { return theirs_[option].enabled; }

private:
    struct Option {
        bool wanted = false;
        bool asked = false;  // our request waits for its answer
        bool enabled = false;
        bool refused = false;
    };
    enum class State { Data, Cr, Iac, Verb, Sub, SubIac };

    // True when `b` completed a subnegotiation.
    bool take(std::uint8_t b, Received& out);
    void keepInSubnegotiation(std::uint8_t b);
    void negotiate(std::uint8_t verb, std::uint8_t option, std::string& replies);

    std::array<Option, 256> ours_{};
    std::array<Option, 256> theirs_{};
    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    std::string sub_;
    bool subTooLong_ = false;
};

}  // namespace karune::telnet
