#pragma once

#include <string>

namespace karune::modemsim {

// The master side of a fresh pseudo-terminal in raw mode at 38400 baud. The simulator keeps one
// descriptor of the slave open itself, so that the PC closing and reopening its port between
// calls is not a hang-up of the master.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False with `error` set when the pseudo-terminal could not be made.
    bool open(std::string& error);
    void close();

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int heldSlave_ = -1;
    std::string slavePath_;
};

}  // namespace karune::modemsim
