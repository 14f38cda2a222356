// The output path and the progress bar belong to the window for the whole program run, not to
// one reception.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "session/Reception.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/FileBytes.h"
#include "support/ScriptedModem.h"
#include "support/TempFolder.h"
#include "support/UploadingTerminal.h"

namespace karune::test {
namespace {

TEST(WindowFields, OutliveAStopAndANewStart) {
    sim::VirtualClock clock;
    sim::SimulatedLine wire{clock};
    ScriptedModem modem{wire};
    modem.terminal = UploadingTerminal("abc", {"1,a"});
    FakePorts ports{wire};
    FakeDisplay display;
    FakeMessages messages;
    TempFolder folder;
    std::mutex mutex;
    std::condition_variable changed;
    int finished = 0;
    Reception reception({ports, clock, display, messages}, folder.path() / "Back.txt", [&] {
        std::lock_guard lock(mutex);
        ++finished;
        changed.notify_all();
    });
    auto runOnce = [&](int count) {
        Settings settings = defaultSettings(folder.text());
        settings.TimeAdjust = "0";
        reception.start(settings);
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return finished == count; });
    };

    runOnce(1);
    ports.failWith("gone");  // the next reception ends before the file-name exchange
    runOnce(2);

    const std::string history = fileBytes(folder.path() / "2007-06.txt");
    EXPECT_TRUE(history.ends_with(":" + folder.text() + "/abc.txt\r\n")) << history;
    EXPECT_EQ(display.last("progress"), "1 1 hidden");
}

}  // namespace
}  // namespace karune::test
