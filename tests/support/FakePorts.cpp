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
    std::string lostReason() const override { return line_.lostReason(); }

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

void FakePorts::closed() {
    locked([&] { ++closes_; });
}

}  // namespace karune::test
