// The program's events: which lines become which events, and the message table in karune-modem.exe
// that shows each event's line.
#include "platform/windows/EventLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace karune {
namespace {

// The program beside the tests' folders in the build tree.
std::filesystem::path builtProgram() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path().parent_path().parent_path() /
           L"karune-modem.exe";
}

TEST(EventLog, ErrorsWarningsAndNoticesAreEventsTheProgramCanShow) {
    const HMODULE program =
        LoadLibraryExW(builtProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << builtProgram();
    const struct {
        Severity severity;
        WORD type;  // 0: no event
    } cases[] = {{Severity::Error, EVENTLOG_ERROR_TYPE},
                 {Severity::Warning, EVENTLOG_WARNING_TYPE},
                 {Severity::Notice, EVENTLOG_INFORMATION_TYPE},
                 {Severity::Info, 0}};
    for (const auto& c : cases) {
        const std::optional<EventKind> kind = eventFor(c.severity);
        ASSERT_EQ(kind.has_value(), c.type != 0);
        if (!kind)
            continue;
        EXPECT_EQ(kind->type, c.type);
        DWORD_PTR line[] = {reinterpret_cast<DWORD_PTR>(L"ﾎﾟｰﾄ 1: gone")};
        wchar_t shown[64] = {};
        FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, program,
                       kind->id, 0, shown, 64, reinterpret_cast<va_list*>(line));
        EXPECT_EQ(std::wstring(shown), L"ﾎﾟｰﾄ 1: gone\r\n") << kind->id;
    }
    FreeLibrary(program);
}

}  // namespace
}  // namespace karune
