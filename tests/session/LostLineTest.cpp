#include <gtest/gtest.h>

#include <chrono>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "session/CommSession.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

// A line whose device goes away once `lostAfterReads` reads have returned.
class LosingLine : public SerialLine {
public:
    LosingLine(SerialLine& inner, int lostAfterReads) : inner_(inner), left_(lostAfterReads) {}
    std::string readUntil(Clock::TimePoint deadline) override {
        --left_;
        return inner_.readUntil(deadline);
    }
    bool write(std::string_view bytes) override { return inner_.write(bytes); }
    std::string lostReason() const override { return left_ <= 0 ? "gone" : ""; }

private:
    SerialLine& inner_;
    int left_;
};

TEST(LostLine, EndsTheCallWaitWithThePortErrorAndStopsEvenWithAutomaticStart) {
    sim::VirtualClock clock;
    sim::SimulatedLine line{clock};
    // A modem that answers "ATE0" and never rings.
    line.setPeer([](const std::string& command, sim::SimulatedLine& self) {
        if (command == "ATE0")
            self.deliver("\r\nOK\r\n", std::chrono::milliseconds(10));
    });
    LosingLine losing(line, 4);  // "OK" and the quiet after it, then two silent reads
    test::FakePorts ports{losing};
    test::FakeDisplay display;
    test::FakeMessages messages;
    test::TempFolder folder;
    Settings settings = defaultSettings(folder.text());
    settings.Port = 3;
    settings.AutoStart = 1;
    SessionFlags flags;
    flags.running = true;
    // Without the port error the wait would go on for ever; the test must still end.
    display.onStatus = [&flags, n = 0](const std::string&) mutable {
        if (++n > 10)
            flags.requestStop();
    };
    CommSession({ports, clock, display, messages}, flags, settings, folder.path() / "Back.txt")
        .run();

    EXPECT_NE(display.last("error").find(">ﾎﾟｰﾄ 3: gone"), std::string::npos)
        << display.last("error");
    EXPECT_EQ(ports.opens, 1);
    EXPECT_FALSE(flags.running);
}

}  // namespace
}  // namespace karune
