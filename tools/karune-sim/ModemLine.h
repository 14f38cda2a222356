#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HayesModem.h"
#include "LineSplitter.h"
#include "TerminalPeer.h"

namespace karune::modemsim {

// How a call ends when the terminal reaches its drop point.
enum class DropMode {
    Silent,   // the terminal stops answering; the modem still holds the call
    Carrier,  // the modem loses the carrier and says "NO CARRIER"
    Close,    // the line itself goes away (the simulator closes the pseudo-terminal)
};

// The far end of the PC's serial port: the modem, and behind it the terminal of each call.
// Bytes from the PC go in; bytes for the PC, report lines and the request to close the line come
// out. No I/O and no clock of its own, so it can be driven by a test or by the pty loop alike.
class ModemLine {
public:
    struct Output {
        std::string bytes;                 // for the PC
        std::vector<std::string> reports;  // one line per ended call, for the operator
        bool closeLine = false;
    };

    ModemLine(ModemOptions modem, TerminalOptions terminal, DropMode dropMode);

    Output receive(std::string_view bytes, TimePoint now);
    Output tick(TimePoint now);
    std::optional<TimePoint> nextEvent() const { return modem_.nextEvent(); }

    // Every call has been hung up (or the line closed).
    bool finished() const { return closed_ || modem_.allCallsEnded(); }
    // Every call ended with the PC's final "ACK".
    bool allAcknowledged() const;

private:
    void handleLine(const std::string& line, TimePoint now, Output& out);
    void endCall(Output& out);

    HayesModem modem_;
    TerminalOptions terminalOptions_;
    DropMode dropMode_;
    LineSplitter splitter_;
    std::optional<TerminalPeer> terminal_;
    std::vector<std::optional<std::string>> finalWords_;
    bool closed_ = false;
};

// "call 2: ACK, 3 records acknowledged"; "none" when the PC never sent a final word.
std::string callReport(int callNumber, const std::optional<std::string>& finalWord,
                       int acknowledged);

}  // namespace karune::modemsim
