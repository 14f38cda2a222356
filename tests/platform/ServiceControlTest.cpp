// The service control manager's requests as the program answers them (Wine's manager sends no
// shutdown or pre-shutdown), and the command line it is given. A stop is the stop button, whose
// effect on a call the session's tests show.
#include "platform/windows/ServiceControl.h"
#include "platform/windows/ServiceInstall.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace karune {
namespace {

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
        const DWORD answer = service.control(c[0]);
        EXPECT_EQ((std::vector<DWORD>{c[0], answer, stops, reports.back().dwCurrentState}), c);
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
