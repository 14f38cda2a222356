#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace karune::test {

// The far end of a pseudo-terminal played by the test itself, for dialogues karune-sim does not
// script: the test reads what the program sends and answers by hand.
class PtyPeer {
public:
    using Clock = std::chrono::steady_clock;

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& devicePath() const { return slavePath_; }

    // Collects what arrives until `text` is among everything received so far; false at the
    // timeout or when the other side went away first.
    bool waitFor(std::string_view text, Clock::duration timeout);
    void send(std::string_view bytes);

    const std::string& received() const { return received_; }

private:
    // One wait for data; false when nothing more can come.
    bool readSome(Clock::time_point deadline);

    int master_ = -1;
    // Held open so that the master reads as silence, not as a hang-up, before the program opens
    // the device and after it closes it.
    int slave_ = -1;
    std::string slavePath_;
    std::string received_;
};

}  // namespace karune::test
