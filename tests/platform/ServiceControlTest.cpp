// The service control manager's requests as the program answers them (Wine's manager sends no
// shutdown or pre-shutdown), and the command line it is given.
#include "platform/windows/ServiceControl.h"
#include "platform/windows/ServiceInstall.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "session/Reception.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/FileBytes.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

// Stop, shutdown and pre-shutdown are the stop button; an end without a stop is a service-specific
// error, for the recovery actions.
TEST(ServiceControl, AnswersTheManager) {
    const DWORD stop = SERVICE_STOP_PENDING;
    const DWORD running = SERVICE_RUNNING;
    const std::vector<std::vector<DWORD>> cases = {
        {SERVICE_CONTROL_STOP, NO_ERROR, 1, stop},
        {SERVICE_CONTROL_SHUTDOWN, NO_ERROR, 1, stop},
        {SERVICE_CONTROL_PRESHUTDOWN, NO_ERROR, 1, stop},
        {SERVICE_CONTROL_INTERROGATE, NO_ERROR, 0, running},
        {SERVICE_CONTROL_PAUSE, ERROR_CALL_NOT_IMPLEMENTED, 0, running}};
    for (const std::vector<DWORD>& c : cases) {
        std::vector<SERVICE_STATUS> reports;
        DWORD stops = 0;
        ServiceControl service([&](const SERVICE_STATUS& s) { reports.push_back(s); },
                               [&] { ++stops; });
        service.starting();
        service.running();
        EXPECT_EQ(service.control(c[0]), c[1]) << c[0];
        EXPECT_EQ(stops, c[2]) << c[0];
        EXPECT_EQ(reports.back().dwCurrentState, c[3]) << c[0];
        EXPECT_EQ(reports.back().dwWaitHint > 0, c[2] > 0) << c[0];
        EXPECT_GT(reports.front().dwWaitHint, 0u);
        EXPECT_EQ(
            reports[1].dwControlsAccepted,
            DWORD{SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PRESHUTDOWN});
        service.stopped(static_cast<int>(c[2]));
        EXPECT_EQ(reports.back().dwWin32ExitCode,
                  c[2] == 0 ? NO_ERROR : DWORD{ERROR_SERVICE_SPECIFIC_ERROR});
        EXPECT_EQ(reports.back().dwServiceSpecificExitCode, c[2]);
    }
}

// A stop from the manager while a terminal is connected closes the call with its closing
// sequence and its history line.
TEST(ServiceControl, AStopDuringACallClosesTheCall) {
    sim::VirtualClock clock;
    sim::SimulatedLine line{clock, [](const std::string& command, sim::SimulatedLine& self) {
                                self.deliver(command == "ATE0" ? "\r\nOK\r\n" : "\r\nCONNECT\r\n",
                                             10ms);
                                if (command == "ATE0")
                                    self.deliver("\r\nRING\r\n", 1s);
                            }};
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
        display.onStatus = [&](const std::string& status) {
            if (status == "ﾓﾃﾞﾑ接続完了 ... ")
                service.control(SERVICE_CONTROL_STOP);
        };
        reception.start(settings);
        reception.waitUntilIdle();
    }
    EXPECT_TRUE(line.written().ends_with("ATA\rCAN\r+++\0\rATH0\r"s));
    EXPECT_EQ(ports.opens, 1);
    EXPECT_FALSE(test::fileBytes(folder.path() / "2007-06.txt").empty());
}

// The service manager splits its command line as CommandLineToArgvW does: every home comes back
// whole, a root folder's backslash and a name outside the ANSI code page included.
TEST(ServiceInstall, TheServicesCommandLineReadsBackAsWritten) {
    const std::filesystem::path program = LR"(C:\Program Files\KARUNE_MODEM\karune-modem.exe)";
    for (const std::wstring home :
         {LR"(C:\KaruneData\line1)", LR"(D:\受信 データ\line 2)", LR"(C:\)", LR"(\\pc\share\)"}) {
        int count = 0;
        wchar_t** args = CommandLineToArgvW(serviceCommandLine(program, home).c_str(), &count);
        const std::vector<std::wstring> read(args, args + count);
        LocalFree(args);
        EXPECT_EQ(read,
                  (std::vector<std::wstring>{program.wstring(), L"--service", L"--home", home}));
    }
}

}  // namespace
}  // namespace karune
