#include "support/FakePorts.h"

#include <algorithm>
#include <memory>

namespace karune::test {

class FakePorts::Handle : public SerialLine {
public:
    Handle(FakePorts& owner, SerialLine& line) : owner_(owner), line_(line) {}
    ~Handle() override { owner_.closed(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    std::string readUntil(Clock::TimePoint deadline) override { return line_.readUntil(deadline); }
    bool write(std::string_view bytes) override { return line_.write(bytes); }

private:
    FakePorts& owner_;
    SerialLine& line_;
};

PortOpenResult FakePorts::open(int portNumber) {
    int requests = 0;
    PortOpenResult result;
    {
        std::lock_guard lock(mutex_);
        requested_.push_back(portNumber);
        requests = static_cast<int>(requested_.size());
        if (error_) {
            result.error = *error_;
        } else if (opens_ >= openLimit_) {
            result.error = "open limit of the test reached";
        } else {
            ++opens_;
            mostOpen_ = std::max(mostOpen_, opens_ - closes_);
            result.line = std::make_unique<Handle>(*this, line_);
        }
    }
    if (onOpen)
        onOpen(requests);
    return result;
}

void FakePorts::failWith(std::string error) {
    std::lock_guard lock(mutex_);
    error_ = std::move(error);
}

void FakePorts::succeed() {
    std::lock_guard lock(mutex_);
    error_.reset();
}

void FakePorts::setOpenLimit(int opens) {
    std::lock_guard lock(mutex_);
    openLimit_ = opens;
}

void FakePorts::closed() {
    std::lock_guard lock(mutex_);
    ++closes_;
}

std::vector<int> FakePorts::requestedPorts() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

int FakePorts::opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

int FakePorts::closes() const {
    std::lock_guard lock(mutex_);
    return closes_;
}

bool FakePorts::isOpen() const {
    std::lock_guard lock(mutex_);
    return opens_ > closes_;
}

int FakePorts::mostOpenAtOnce() const {
    std::lock_guard lock(mutex_);
    return mostOpen_;
}

}  // namespace karune::test
