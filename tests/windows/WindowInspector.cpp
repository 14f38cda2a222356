// karune-inspect: reads and drives another program's windows from outside, as an operator would,
// for the window stage under Wine and the screenshot script. Controls are found by the name the
// front end gives each of them (the window property "karune.name", a global atom).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const wchar_t* kNameProperty = L"karune.name";
constexpr DWORD kSendTimeoutMs = 5000;

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

HWND control(HWND top, const std::wstring& name) {
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

// One line per control: name, class, text (CR and LF as \r and \n), left,top,width,height in the
// window's client pixels, enabled or disabled, visible or hidden.
void dump(HWND top) {
    for (HWND child : descendants(top)) {
        wchar_t className[128] = {};
        GetClassNameW(child, className, 128);
        std::wstring text;
        for (wchar_t c : windowText(child))
            text += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : std::wstring(1, c);
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
        print(controlName(child) + L'\t' + className + L'\t' + text + L'\t' +
              std::to_wstring(rect.left) + L',' + std::to_wstring(rect.top) + L',' +
              std::to_wstring(rect.right - rect.left) + L',' +
              std::to_wstring(rect.bottom - rect.top) + L'\t' +
              (IsWindowEnabled(child) ? L"enabled" : L"disabled") + L'\t' +
              (IsWindowVisible(child) ? L"visible" : L"hidden"));
    }
}

// Types each character as the keyboard would, at the end of the text.
void type(HWND edit, const std::wstring& text) {
    const auto end = static_cast<WPARAM>(windowText(edit).size());
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, EM_SETSEL, end, end, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    for (wchar_t c : text)
        SendMessageTimeoutW(edit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
}

// The end of the user's session as Windows announces it to every top-level window; returns when
// the window has answered both messages.
bool endSession(HWND window) {
    DWORD_PTR allowed = 0;
    if (SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG,
                            kSendTimeoutMs, &allowed) == 0 ||
        allowed == FALSE)
        return false;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, 0, 30000,
                               &ignored) != 0;
}

constexpr const char* kUsage =
    "usage: karune-inspect COMMAND ...\n"
    "  wait CAPTION SECONDS          until a window with this caption is shown\n"
    "  gone CAPTION SECONDS          until no window with this caption is shown\n"
    "  dump CAPTION                  its controls: name, class, text, rect, enabled, visible\n"
    "  click CAPTION NAME            posts BM_CLICK to the control\n"
    "  set CAPTION NAME 0|1          clicks a check box or option until its check is as given\n"
    "  type CAPTION NAME TEXT        types the text at the end of an edit box\n"
    "  close CAPTION                 posts WM_CLOSE\n"
    "  endsession CLASS              sends WM_QUERYENDSESSION and WM_ENDSESSION to the first\n"
    "                                top-level window of the class\n";

int fail(const std::wstring& message) {
    fputs(("karune-inspect: " + utf8(message) + "\n").c_str(), stderr);
    return 1;
}

int run(const std::vector<std::wstring>& args) {
    const std::wstring& command = args[0];
    if (command == L"endsession") {
        HWND window = FindWindowW(args[1].c_str(), nullptr);
        if (window == nullptr)
            return fail(L"no window of class " + args[1]);
        return endSession(window) ? 0 : fail(L"the end of the session was refused");
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
    if (command == L"close") {
        PostMessageW(top, WM_CLOSE, 0, 0);
        return 0;
    }
    HWND target = control(top, args[2]);
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
        {L"wait", 3}, {L"gone", 3}, {L"dump", 2},  {L"click", 3},
        {L"set", 4},  {L"type", 4}, {L"close", 2}, {L"endsession", 2}};
    for (const auto& [command, arity] : arities) {
        if (!args.empty() && args[0] == command && args.size() == arity)
            return run(args);
    }
    fputs(kUsage, stderr);
    return 2;
}
