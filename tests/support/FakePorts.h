#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace karune::test {

// Serial ports for tests: every successful open hands out a handle on the same line (the modem
// stays on its port across cycles, as a real one does); closing is destroying the handle. Opens
// can be made to fail with an error text. Safe to inspect from another thread than the session's.
class FakePorts : public SerialPorts {
public:
    // A session that keeps reopening the port (a test whose stop never comes) ends after this
    // many opens, because further opens fail.
    static constexpr int kDefaultOpenLimit = 100;

    explicit FakePorts(SerialLine& line) : line_(line) {}

    PortOpenResult open(int portNumber) override;

    // Opens fail with `error` until succeed() is called.
    void failWith(std::string error);
    void succeed();
    void setOpenLimit(int opens);

    // Called on the session thread at each open request with the number of requests so far.
    std::function<void(int requests)> onOpen;

    std::vector<int> requestedPorts() const;  // every request, failed ones included
    int opens() const;                        // successful opens
    int closes() const;
    bool isOpen() const;
    int mostOpenAtOnce() const;

private:
    class Handle;
    void closed();

    SerialLine& line_;
    mutable std::mutex mutex_;
    std::optional<std::string> error_;
    int openLimit_ = kDefaultOpenLimit;
    std::vector<int> requested_;
    int opens_ = 0;
    int closes_ = 0;
    int mostOpen_ = 0;
};

}  // namespace karune::test
