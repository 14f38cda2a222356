// karune-inspect: reads and drives another program's windows from outside, as an operator would,
// for the window stage under Wine and the screenshot script. Controls are found by the name the
// front end gives each of them (the window property "karune.name", a global atom).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/core/AboutTexts.h"
#include "ui/core/Layout.h"
#include "ui/core/MainWindowLogic.h"

namespace {

using karune::ui::ControlKind;
using karune::ui::ControlSpec;
using karune::ui::WindowSpec;

constexpr const wchar_t* kNameProperty = L"karune.name";
constexpr DWORD kSendTimeoutMs = 5000;

std::wstring wide(std::string_view text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string utf8(std::wstring_view text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring windowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied);
    text.resize(copied);
    return text;
}

std::wstring controlName(HWND control) {
    const auto atom =
        static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(control, kNameProperty)));
    wchar_t name[256] = {};
    return atom != 0 && GlobalGetAtomNameW(atom, name, 256) != 0 ? name : L"";
}

// The shown top-level window with this caption, or null.
HWND topLevel(const std::wstring& caption) {
    struct Search {
        const std::wstring& caption;
        HWND found = nullptr;
    } search{caption};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& wanted = *reinterpret_cast<Search*>(param);
            if (IsWindowVisible(window) && windowText(window) == wanted.caption)
                wanted.found = window;
            return wanted.found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Every descendant, parents before their children.
std::vector<HWND> descendants(HWND top) {
    std::vector<HWND> found;
    EnumChildWindows(
        top,
        [](HWND child, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND findControl(HWND top, const std::wstring& name) {
    for (HWND child : descendants(top)) {
        if (controlName(child) == name)
            return child;
    }
    return nullptr;
}

// Asks until `ready` holds or the seconds are over; true when it held.
bool awaitCondition(double seconds, const std::function<bool()>& ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!ready()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void print(const std::wstring& line) {
    const std::string text = utf8(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

int fail(const std::wstring& message) {
    fputs(("karune-inspect: " + utf8(message) + "\n").c_str(), stderr);
    return 1;
}

RECT clientRect(HWND top, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// One line per control: name, class, text (CR and LF as \r and \n), left,top,width,height in the
// window's client pixels, enabled or disabled, visible or hidden.
void dump(HWND top) {
    for (HWND child : descendants(top)) {
        wchar_t className[128] = {};
        GetClassNameW(child, className, 128);
        std::wstring text;
        for (wchar_t c : windowText(child))
            text += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
        const RECT rect = clientRect(top, child);
        print(controlName(child) + L'\t' + className + L'\t' + text + L'\t' +
              std::to_wstring(rect.left) + L',' + std::to_wstring(rect.top) + L',' +
              std::to_wstring(rect.right - rect.left) + L',' +
              std::to_wstring(rect.bottom - rect.top) + L'\t' +
              (IsWindowEnabled(child) ? L"enabled" : L"disabled") + L'\t' +
              (IsWindowVisible(child) ? L"visible" : L"hidden"));
    }
}

const WindowSpec* specOf(HWND top) {
    const std::wstring name = controlName(top);
    for (const WindowSpec* spec : {&karune::ui::mainWindowSpec(), &karune::ui::settingsDialogSpec(),
                                   &karune::ui::folderChooserSpec(), &karune::ui::aboutBoxSpec()}) {
        if (wide(spec->name) == name)
            return spec;
    }
    return nullptr;
}

// What a control shows once its window has loaded: the table's caption, the about box's version
// information; nothing to compare (empty) where the program writes the text.
std::string expectedText(const WindowSpec& window, const ControlSpec& control) {
    if (window.name == karune::ui::aboutBoxSpec().name) {
        const karune::ui::AboutTexts about = karune::ui::aboutTexts();
        if (control.name == "lblTitle")
            return about.title;
        if (control.name == "lblVersion")
            return about.version;
        if (control.name == "lblCompany")
            return about.company;
    }
    const bool fixed = control.kind == ControlKind::Label ||
                       control.kind == ControlKind::FramedLabel ||
                       control.kind == ControlKind::Button || control.kind == ControlKind::Frame ||
                       control.kind == ControlKind::Option || control.kind == ControlKind::CheckBox;
    return fixed ? std::string(control.caption) : std::string();
}

// Each control of the window's table: present, its caption, its place in pixels at the window's
// DPI within one pixel (a drop-down list's height is its font's). Prints every mismatch.
int checkLayout(HWND top) {
    const WindowSpec* spec = specOf(top);
    if (spec == nullptr)
        return fail(L"the window carries no table's name");
    const int dpi = static_cast<int>(GetDpiForWindow(top));
    auto pixels = [dpi](int twips) { return karune::ui::twipsToPixels(twips, dpi); };
    int mismatches = 0;
    auto mismatch = [&](std::string_view name, const std::wstring& what) {
        print(wide(name) + L": " + what);
        ++mismatches;
    };
    const std::string caption =
        spec->caption.empty() ? karune::ui::aboutTexts().caption : std::string(spec->caption);
    if (windowText(top) != wide(caption))
        mismatch(spec->name, L"caption " + windowText(top));
    RECT client{};
    GetClientRect(top, &client);
    if (std::abs(client.right - pixels(spec->clientWidth)) > 1 ||
        std::abs(client.bottom - pixels(spec->clientHeight)) > 1)
        mismatch(spec->name, L"client " + std::to_wstring(client.right) + L"x" +
                                 std::to_wstring(client.bottom));
    for (const ControlSpec& control : spec->controls) {
        HWND handle = findControl(top, wide(control.name));
        if (handle == nullptr) {
            mismatch(control.name, L"missing");
            continue;
        }
        const std::string text = expectedText(*spec, control);
        if (!text.empty() && windowText(handle) != wide(text))
            mismatch(control.name, L"text " + windowText(handle));
        karune::ui::TwipsRect place = control.place;
        if (const ControlSpec* frame = karune::ui::findControl(*spec, control.parent)) {
            place.left += frame->place.left;
            place.top += frame->place.top;
        }
        const RECT rect = clientRect(top, handle);
        const int expected[] = {pixels(place.left), pixels(place.top), pixels(place.width),
                                pixels(place.height)};
        const int actual[] = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
        const int checked = control.kind == ControlKind::DriveList ? 3 : 4;
        for (int i = 0; i < checked; ++i) {
            if (std::abs(expected[i] - actual[i]) > 1) {
                mismatch(control.name,
                         L"at " + std::to_wstring(actual[0]) + L"," + std::to_wstring(actual[1]) +
                             L"," + std::to_wstring(actual[2]) + L"," + std::to_wstring(actual[3]) +
                             L", not " + std::to_wstring(expected[0]) + L"," +
                             std::to_wstring(expected[1]) + L"," + std::to_wstring(expected[2]) +
                             L"," + std::to_wstring(expected[3]));
                break;
            }
        }
    }
    return mismatches == 0 ? 0 : 1;
}

// The buttons and lamps of the main window against what the button mode shows.
int checkButtons(HWND top, int mode) {
    const karune::ui::CommButtons expected = karune::ui::commButtons(mode);
    const std::pair<const wchar_t*, bool> enabled[] = {{L"cmdComm0", expected.start},
                                                       {L"cmdComm1", expected.stop},
                                                       {L"cmdSetting", expected.setting},
                                                       {L"cmdInfo", expected.info}};
    const std::pair<const wchar_t*, bool> visible[] = {{L"Status0", expected.idleLamp},
                                                       {L"Status1", expected.runningLamp}};
    int mismatches = 0;
    for (const auto& [name, on] : enabled) {
        HWND handle = findControl(top, name);
        if (handle == nullptr || (IsWindowEnabled(handle) != FALSE) != on) {
            print(std::wstring(name) + (on ? L" not enabled" : L" not disabled"));
            ++mismatches;
        }
    }
    for (const auto& [name, on] : visible) {
        HWND handle = findControl(top, name);
        if (handle == nullptr || (IsWindowVisible(handle) != FALSE) != on) {
            print(std::wstring(name) + (on ? L" not shown" : L" not hidden"));
            ++mismatches;
        }
    }
    return mismatches == 0 ? 0 : 1;
}

// Types each character as the keyboard would, at the end of the text.
void type(HWND edit, const std::wstring& text) {
    const auto end = static_cast<WPARAM>(windowText(edit).size());
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, EM_SETSEL, end, end, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    for (wchar_t c : text)
        SendMessageTimeoutW(edit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
}

// Double-clicks the last row of a list box whose text ends with `ending`, as the mouse does.
bool pickRow(HWND list, const std::wstring& ending) {
    const auto rows = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int row = rows - 1; row >= 0; --row) {
        std::wstring text(SendMessageW(list, LB_GETTEXTLEN, row, 0) + 1, L'\0');
        text.resize(SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data())));
        if (!text.ends_with(ending))
            continue;
        SendMessageW(list, LB_SETTOPINDEX, row, 0);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageW(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        return true;
    }
    return false;
}

// The end of the user's session as Windows announces it to every top-level window: `steps` is
// "cancel" (the question, then the end cancelled), "end" (the question, then the end) or
// "forced" (the end without a question). Returns once the window has answered; false when it
// refused or did not answer. (Wine 8 lacks ShutdownBlockReasonQuery: the reason a window gives
// cannot be read back here.)
bool endSession(HWND window, const std::wstring& steps) {
    if (steps != L"forced") {
        DWORD_PTR allowed = 0;
        if (SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                                kSendTimeoutMs, &allowed) == 0 ||
            allowed == FALSE)
            return false;
    }
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_ENDSESSION, steps == L"cancel" ? FALSE : TRUE,
                               ENDSESSION_LOGOFF, 0, 30000, &ignored) != 0;
}

constexpr const char* kUsage =
    "usage: karune-inspect COMMAND ...\n"
    "  wait CAPTION SECONDS          until a window with this caption is shown\n"
    "  gone CAPTION SECONDS          until no window with this caption is shown\n"
    "  dump CAPTION                  its controls: name, class, text, rect, enabled, visible\n"
    "  frame CAPTION                 the window's place on the screen, frame included\n"
    "  layout CAPTION                its controls against the window's table\n"
    "  buttons CAPTION MODE          the main window's buttons and lamps against the mode\n"
    "  click CAPTION NAME            posts BM_CLICK to the control\n"
    "  set CAPTION NAME 0|1          clicks a check box or option until its check is as given\n"
    "  type CAPTION NAME TEXT        types the text at the end of an edit box\n"
    "  key CAPTION NAME VK           posts a key press (a virtual-key number) to the control\n"
    "  pick CAPTION NAME TEXT        double-clicks the list box's last row ending in TEXT\n"
    "  dblclick CAPTION NAME         double-clicks the control, as the mouse does\n"
    "  close CAPTION                 posts WM_CLOSE\n"
    "  endsession CLASS|CAPTION STEPS  the end of the user's session for the first top-level\n"
    "                                window of the class (else with the caption): STEPS cancel\n"
    "                                (query, end FALSE), end (query, end TRUE) or forced (end\n"
    "                                TRUE alone)\n";

int run(const std::vector<std::wstring>& args) {
    const std::wstring& command = args[0];
    if (command == L"endsession") {
        HWND window = FindWindowW(args[1].c_str(), nullptr);
        if (window == nullptr)
            window = topLevel(args[1]);
        if (window == nullptr)
            return fail(L"no window " + args[1]);
        return endSession(window, args[2]) ? 0 : fail(L"the end of the session was refused");
    }
    if (command == L"wait" || command == L"gone") {
        const bool shown = command == L"wait";
        if (!awaitCondition(std::stod(args[2]),
                            [&] { return (topLevel(args[1]) != nullptr) == shown; }))
            return fail(args[1] + (shown ? L": not shown" : L": still shown"));
        return 0;
    }
    HWND top = topLevel(args[1]);
    if (top == nullptr)
        return fail(L"no window " + args[1]);
    if (command == L"dump") {
        dump(top);
        return 0;
    }
    if (command == L"frame") {
        RECT rect{};
        GetWindowRect(top, &rect);
        print(std::to_wstring(rect.left) + L',' + std::to_wstring(rect.top) + L',' +
              std::to_wstring(rect.right - rect.left) + L',' +
              std::to_wstring(rect.bottom - rect.top));
        return 0;
    }
    if (command == L"layout")
        return checkLayout(top);
    if (command == L"buttons")
        return checkButtons(top, std::stoi(args[2]));
    if (command == L"close") {
        PostMessageW(top, WM_CLOSE, 0, 0);
        return 0;
    }
    HWND target = findControl(top, args[2]);
    if (target == nullptr)
        return fail(args[1] + L" has no control " + args[2]);
    if (command == L"click") {
        PostMessageW(target, BM_CLICK, 0, 0);
    } else if (command == L"set") {
        const bool on = args[3] == L"1";
        auto checked = [&] { return SendMessageW(target, BM_GETCHECK, 0, 0) == BST_CHECKED; };
        if (checked() != on)
            PostMessageW(target, BM_CLICK, 0, 0);
        if (!awaitCondition(5, [&] { return checked() == on; }))
            return fail(args[2] + L" does not take the check");
    } else if (command == L"key") {
        const auto key = static_cast<WPARAM>(std::stoi(args[3]));
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 1 | (3u << 30));
    } else if (command == L"dblclick") {
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageW(target, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                         MAKELPARAM(2, 2));
    } else if (command == L"pick") {
        if (!pickRow(target, args[3]))
            return fail(args[2] + L" has no row ending in " + args[3]);
    } else {
        type(target, args[3]);
    }
    return 0;
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::vector<std::wstring> args(argv + 1, argv + count);
    LocalFree(argv);
    const std::vector<std::pair<std::wstring, std::size_t>> arities = {
        {L"wait", 3},    {L"gone", 3},  {L"dump", 2},       {L"frame", 2},   {L"layout", 2},
        {L"buttons", 3}, {L"click", 3}, {L"set", 4},        {L"type", 4},    {L"key", 4},
        {L"pick", 4},    {L"close", 2}, {L"endsession", 3}, {L"dblclick", 3}};
    for (const auto& [command, arity] : arities) {
        if (!args.empty() && args[0] == command && args.size() == arity)
            return run(args);
    }
    fputs(kUsage, stderr);
    return 2;
}
