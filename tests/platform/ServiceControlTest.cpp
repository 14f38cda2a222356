// The service control manager's requests, as the program answers them. Wine's manager never
// delivers a stop to the handler, so the handler's side is checked here.
#include "platform/windows/ServiceControl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "session/Reception.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

TEST(ServiceControl, StopShutdownAndPreShutdownActAsTheStopButton) {
    struct Case {
        DWORD control;
        DWORD answer;
        int stops;
        DWORD state;  // the last state reported
    };
    const Case cases[] = {
        {SERVICE_CONTROL_STOP, NO_ERROR, 1, SERVICE_STOP_PENDING},
        {SERVICE_CONTROL_SHUTDOWN, NO_ERROR, 1, SERVICE_STOP_PENDING},
        {SERVICE_CONTROL_PRESHUTDOWN, NO_ERROR, 1, SERVICE_STOP_PENDING},
        {SERVICE_CONTROL_INTERROGATE, NO_ERROR, 0, SERVICE_RUNNING},
        {SERVICE_CONTROL_PAUSE, ERROR_CALL_NOT_IMPLEMENTED, 0, SERVICE_RUNNING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        std::vector<SERVICE_STATUS> reports;
        int stops = 0;
        ServiceControl service([&](const SERVICE_STATUS& s) { reports.push_back(s); },
                               [&] { ++stops; });
        service.starting();
        service.running();
        EXPECT_EQ(service.control(c.control), c.answer);
        EXPECT_EQ(stops, c.stops);
        ASSERT_EQ(reports.size(), 2u + c.stops);
        EXPECT_EQ(reports[0].dwCurrentState, static_cast<DWORD>(SERVICE_START_PENDING));
        EXPECT_GT(reports[0].dwWaitHint, 0u);
        EXPECT_EQ(reports[1].dwControlsAccepted,
                  static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN |
                                     SERVICE_ACCEPT_PRESHUTDOWN));
        EXPECT_EQ(reports.back().dwCurrentState, c.state);
        EXPECT_EQ(reports.back().dwWaitHint > 0, c.stops > 0);
    }
}

// Recovery actions restart a service that stops with an error of its own.
TEST(ServiceControl, AnEndWithoutAStopIsAServiceSpecificError) {
    for (const int exitCode : {0, 1}) {
        SERVICE_STATUS last{};
        ServiceControl service([&](const SERVICE_STATUS& s) { last = s; }, [] {});
        service.running();
        service.stopped(exitCode);
        EXPECT_EQ(last.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
        EXPECT_EQ(last.dwWin32ExitCode,
                  exitCode == 0 ? NO_ERROR : static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR));
        EXPECT_EQ(last.dwServiceSpecificExitCode, static_cast<DWORD>(exitCode));
    }
}

// A stop from the manager while a terminal is connected: the call closes with its closing
// sequence and its history line, as with the stop button.
TEST(ServiceControl, AStopDuringACallClosesTheCall) {
    sim::VirtualClock clock;
    sim::SimulatedLine line{clock};
    line.setPeer([](const std::string& command, sim::SimulatedLine& self) {
        if (command == "ATE0") {
            self.deliver("\r\nOK\r\n", 10ms);
            self.deliver("\r\nRING\r\n", 1s);
        }
        if (command == "ATA")
            self.deliver("\r\nCONNECT 9600\r\n", 10ms);
    });
    test::FakePorts ports{line};
    test::FakeDisplay display;
    test::FakeMessages messages;
    test::TempFolder folder;
    Settings settings;
    settings.Folder = folder.text();
    settings.AutoStart = 1;
    settings.TimeAdjust = "0";
    {
        Reception reception({ports, clock, display, messages}, folder.path() / "Back.txt");
        ServiceControl service([](const SERVICE_STATUS&) {}, [&] { reception.stop(); });
        service.running();
        display.onStatus = [&](const std::string& status) {
            if (status == "ﾓﾃﾞﾑ接続完了 ... ")
                service.control(SERVICE_CONTROL_STOP);
        };
        reception.start(settings);
        reception.waitUntilIdle();
    }
    EXPECT_TRUE(line.written().ends_with("ATA\rCAN\r+++\0\rATH0\r"s)) << line.written();
    EXPECT_EQ(ports.opens, 1);
    bool history = false;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        history = history || entry.path().extension() == ".txt";
    EXPECT_TRUE(history);
}

}  // namespace
}  // namespace karune
