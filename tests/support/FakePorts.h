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

    // Every further open fails with `error`.
    void failWith(std::string error) {
        locked([&] { error_ = std::move(error); });
    }
    void setOpenLimit(int opens) {
        locked([&] { openLimit_ = opens; });
    }

    // Called on the session thread at each open request with the number of requests so far.
    std::function<void(int requests)> onOpen;

    // Every request, failed ones included.
    std::vector<int> requestedPorts() const {
        return locked([&] { return requested_; });
    }
    int opens() const {  // successful opens
        return locked([&] { return opens_; });
    }
    int closes() const {
        return locked([&] { return closes_; });
    }
    bool isOpen() const {
        return locked([&] { return opens_ > closes_; });
    }
    int mostOpenAtOnce() const {
        return locked([&] { return mostOpen_; });
    }

private:
    class Handle;
    template <typename F>
    auto locked(F f) const -> decltype(f()) {
        std::lock_guard lock(mutex_);
        return f();
    }
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
