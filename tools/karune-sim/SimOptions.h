#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "HayesModem.h"
#include "ModemLine.h"
#include "TerminalPeer.h"

namespace karune::modemsim {

struct SimOptions {
    ModemOptions modem;
    TerminalOptions terminal;  // records still empty: main reads recordsFile
    DropMode dropMode = DropMode::Silent;
    std::string recordsFile;          // empty: an upload without records
    std::string linkPath;             // empty: no symlink to the pseudo-terminal
    std::string connect;              // HOST:PORT: the terminal calls a listening line over TCP
    std::string source;               // the address the TCP terminal calls from
    bool pace = false;                // bytes leave at 38400 baud instead of all at once
    std::chrono::seconds timeout{0};  // 0: run until every call has ended
};

struct UsageError {
    std::string message;
};

// Parses the command line (argv without the program name). A request for help is a UsageError
// with an empty message.
std::variant<SimOptions, UsageError> parseSimOptions(const std::vector<std::string>& args);

std::string usageText(const std::string& program);

}  // namespace karune::modemsim
