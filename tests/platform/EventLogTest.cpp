// The program's events: which lines become which events, and the message table in the built
// karune-modem.exe (beside the tests' folders) that shows each event's line.
#include "platform/windows/EventLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace karune {
namespace {

TEST(EventLog, ErrorsWarningsAndNoticesAreEventsTheProgramCanShow) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::filesystem::path built =
        std::filesystem::path(self).parent_path().parent_path().parent_path() / L"karune-modem.exe";
    const HMODULE program = LoadLibraryExW(built.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << built;
    const std::pair<Severity, WORD> cases[] = {{Severity::Error, EVENTLOG_ERROR_TYPE},
                                               {Severity::Warning, EVENTLOG_WARNING_TYPE},
                                               {Severity::Notice, EVENTLOG_INFORMATION_TYPE},
                                               {Severity::Info, 0}};  // none
    for (const auto& [severity, type] : cases) {
        const std::optional<EventKind> kind = eventFor(severity);
        ASSERT_EQ(kind ? kind->type : 0, type);
        DWORD_PTR line[] = {reinterpret_cast<DWORD_PTR>(L"ﾎﾟｰﾄ 1: gone")};
        wchar_t shown[64] = {};
        if (kind)
            FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, program,
                           kind->id, 0, shown, 64, reinterpret_cast<va_list*>(line));
        EXPECT_EQ(std::wstring(shown), kind ? L"ﾎﾟｰﾄ 1: gone\r\n" : L"") << type;
    }
    FreeLibrary(program);
}

}  // namespace
}  // namespace karune
