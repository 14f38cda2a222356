#include "platform/windows/ServiceInstall.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "config/Utf8Path.h"
#include "platform/PortErrors.h"

namespace karune {
namespace {

struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

constexpr DWORD kResetAfterSeconds = 24 * 60 * 60;
constexpr const wchar_t* kServiceOption = L" --service --home ";

std::wstring wide(const std::string& utf8) {
    return pathFromUtf8(utf8).wstring();
}

// Quoted for CommandLineToArgvW: backslashes before the closing quote are doubled, so that a
// folder such as C:\ keeps its last one.
std::wstring quoted(const std::filesystem::path& path) {
    std::wstring text = path.wstring();
    const std::size_t kept = text.find_last_not_of(L'\\') + 1;
    text.append(text.size() - kept, L'\\');
    return L'"' + text + L'"';
}

std::string failure(const std::string& what, DWORD error = GetLastError()) {
    if (error == ERROR_ACCESS_DENIED)
        return what +
               ": access denied; run it in an administrator's console (Run as administrator)";
    return what + ": " + systemErrorReason(static_cast<int>(error));
}

ServiceHandle openManager(DWORD access) {
    return ServiceHandle(OpenSCManagerW(nullptr, nullptr, access));
}

// The line's port mapping, in the service's own environment.
LSTATUS setEnvironment(const std::string& name, const std::string& variable) {
    std::wstring entries = wide(variable);
    entries.append(2, L'\0');
    const std::wstring key = L"SYSTEM\\CurrentControlSet\\Services\\" + wide(name);
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Environment", REG_MULTI_SZ,
                           entries.data(), static_cast<DWORD>(entries.size() * sizeof(wchar_t)));
}

bool setRecovery(SC_HANDLE service) {
    SC_ACTION actions[] = {
        {SC_ACTION_RESTART, 10'000}, {SC_ACTION_RESTART, 10'000}, {SC_ACTION_RESTART, 60'000}};
    SERVICE_FAILURE_ACTIONSW failureActions{kResetAfterSeconds, nullptr, nullptr, 3, actions};
    return ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &failureActions) != 0;
}

}  // namespace

std::wstring serviceCommandLine(const std::filesystem::path& program,
                                const std::filesystem::path& home) {
    return quoted(program) + kServiceOption + quoted(home);
}

ServiceInstallResult installService(const ServiceDefinition& definition) {
    const std::string what = "cannot create the service " + definition.name;
    const ServiceHandle manager = openManager(SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return {false, failure(what)};
    const std::wstring name = wide(definition.name);
    const std::wstring command = serviceCommandLine(definition.program, definition.home);
    const ServiceHandle service(
        CreateServiceW(manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                       command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_EXISTS)
            return {false, what + ": it exists already (--uninstall-service " + definition.name +
                               " removes it)"};
        return {false, failure(what, error)};
    }
    std::wstring description =
        L"KARUNE_MODEM: answers the modem calls of handheld terminals; home " +
        definition.home.wstring();
    SERVICE_DESCRIPTIONW describe{description.data()};
    ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, &describe);

    std::string problem;
    if (definition.environment) {
        if (const LSTATUS status = setEnvironment(definition.name, *definition.environment);
            status != ERROR_SUCCESS)
            problem = failure(what + " with its environment", static_cast<DWORD>(status));
    }
    if (problem.empty() && !setRecovery(service.get()))
        problem = failure(what + " with its recovery actions");
    if (!problem.empty()) {
        DeleteService(service.get());
        return {false, problem};
    }
    SERVICE_FAILURE_ACTIONS_FLAG flag{TRUE};
    if (!ChangeServiceConfig2W(service.get(), SERVICE_CONFIG_FAILURE_ACTIONS_FLAG, &flag))
        return {true, failure("the service " + definition.name +
                              " was created, but without its restart after a stop with an exit "
                              "code (sc failureflag " +
                              definition.name + " 1)")};
    return {true, {}};
}

std::string uninstallService(const std::string& name) {
    const std::string what = "cannot remove the service " + name;
    const ServiceHandle manager = openManager(SC_MANAGER_CONNECT);
    if (!manager)
        return failure(what);
    const ServiceHandle service(
        OpenServiceW(manager.get(), wide(name).c_str(),
                     SERVICE_QUERY_CONFIG | SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service)
        return failure(what);
    DWORD size = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!QueryServiceConfigW(service.get(), config, size, &size))
        return failure(what);
    if (config->lpBinaryPathName == nullptr ||
        std::wstring_view(config->lpBinaryPathName).find(kServiceOption) == std::wstring_view::npos)
        return what + ": it does not run karune-modem --service";
    SERVICE_STATUS status{};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    if (!DeleteService(service.get()))
        return failure(what);
    return {};
}

}  // namespace karune
