#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace karune::test {

// Serial ports for tests, used on the session's thread: every successful open hands out a handle
// on the same line (the modem stays on its port across cycles, as a real one does); closing is
// destroying the handle. Opens fail with `error` when it is set, and after `openLimit` opens, so
// that a session whose stop never comes still ends.
class FakePorts : public SerialPorts {
public:
    explicit FakePorts(SerialLine& line, int openLimit = 100) : line_(line), limit_(openLimit) {}

    PortOpenResult open(int portNumber) override {
        requested.push_back(portNumber);
        PortOpenResult result;
        if (error) {
            result.error = *error;
        } else if (opens >= limit_) {
            result.error = "open limit of the test reached";
        } else {
            ++opens;
            mostOpenAtOnce = std::max(mostOpenAtOnce, opens - closes);
            result.line = std::make_unique<Handle>(*this);
        }
        if (onOpen)
            onOpen(static_cast<int>(requested.size()));
        return result;
    }

    std::optional<std::string> error;
    std::function<void(int requests)> onOpen;  // with the number of requests so far
    std::vector<int> requested;                // every request, failed ones included
    int opens = 0;
    int closes = 0;
    int mostOpenAtOnce = 0;

private:
    class Handle : public SerialLine {
    public:
        explicit Handle(FakePorts& owner) : owner_(owner) {}
        ~Handle() override { ++owner_.closes; }
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        std::string readUntil(Clock::TimePoint deadline) override {
            return owner_.line_.readUntil(deadline);
        }
        bool write(std::string_view bytes) override { return owner_.line_.write(bytes); }
        std::string lostReason() const override { return owner_.line_.lostReason(); }
        std::optional<bool> modemReady() const override { return owner_.line_.modemReady(); }

    private:
        FakePorts& owner_;
    };

    SerialLine& line_;
    int limit_;
};

}  // namespace karune::test
