#include "app/ServiceApp.h"

#include <atomic>
#include <iostream>

#include "app/HeadlessApp.h"
#include "config/Utf8Path.h"
#include "platform/HomeLock.h"
#include "platform/LogFile.h"
#include "platform/SystemClock.h"
#include "platform/windows/EventLog.h"
#include "platform/windows/ServiceControl.h"
#include "platform/windows/ServiceInstall.h"
#include "session/StopTarget.h"

namespace karune {
namespace {

constexpr const wchar_t* kLogName = L"karune-modem.log";

// A service's lines: each in its log file, and what matters in the event log too.
class ServiceLog : public LogSink {
public:
    ServiceLog(LogSink& file, LogSink& events) : file_(file), events_(events) {}
    void write(Severity severity, std::string_view line) override {
        file_.write(severity, line);
        events_.write(severity, line);
    }

private:
    LogSink& file_;
    LogSink& events_;
};

}  // namespace

int runService(const Startup& startup) {
    StopTarget target;
    std::atomic<bool> stopRequested{false};
    auto stop = [&] {
        stopRequested = true;
        target.request([](Reception* reception) {
            if (reception != nullptr)
                reception->stop();
        });
    };
    auto serve = [&](const std::function<void()>& running) {
        EventLog events;
        const std::string unprepared = prepareHomeFolder(startup.home);
        SystemClock clock;
        // In a home that cannot be used the file takes nothing, and the event log tells.
        LogFile file(startup.paths.programFolder / kLogName, clock);
        ServiceLog log(file, events);
        const HomeLock lock(startup.paths.programFolder);
        const std::string refusal =
            unprepared.empty() ? homeLockRefusal(lock, startup.paths.programFolder) : unprepared;
        if (!refusal.empty()) {
            log.write(Severity::Error, "karune-modem did not start: " + refusal);
            return kServiceHomeRefused;
        }
        running();
        const int status = serveHeadless(startup, log, log, target, stopRequested);
        // A service that ends without being asked to has failed, whatever its last call did.
        return stopRequested ? 0 : (status == 0 ? 1 : status);
    };
    if (!runUnderServiceManager(stop, serve)) {
        std::cerr << "karune-modem: --service is for the service control manager "
                     "(karune-modem --install-service NAME --home DIR); --headless runs in a "
                     "console\n";
        return 2;
    }
    return 0;
}

int runInstallService(const CommandLine& line, const std::filesystem::path& program) {
    std::error_code error;
    const std::filesystem::path home = std::filesystem::absolute(*line.home, error);
    if (error || !std::filesystem::is_directory(home, error)) {
        std::cerr << "karune-modem: the home folder " << utf8FromPath(*line.home)
                  << " does not exist; create it and give it its settings first (--home DIR --set "
                     "Folder=... Port=... AutoStart=1)\n";
        return 1;
    }
    const ServiceInstallResult result =
        installService({line.serviceName, program, home, line.portMap});
    if (!result.problem.empty()) {
        std::cerr << "karune-modem: " << result.problem << "\n";
        return 1;
    }
    std::cout << "created the service " << line.serviceName << " (home " << utf8FromPath(home)
              << (line.portMap ? ", " + *line.portMap : std::string()) << "); sc start "
              << line.serviceName << " starts it\n";
    return 0;
}

int runUninstallService(const std::string& name) {
    if (const std::string problem = uninstallService(name); !problem.empty()) {
        std::cerr << "karune-modem: " << problem << "\n";
        return 1;
    }
    std::cout << "removed the service " << name << " (once it has stopped)\n";
    return 0;
}

}  // namespace karune
