// file-holder FILE...: holds each FILE open as a spreadsheet holds the file it shows (read and
// write, other programs may only read it), prints "held", and lets go when its standard input
// ends.
#include <windows.h>

#include <cstdio>
#include <vector>

int main() {
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 2) {
        std::fputs("usage: file-holder FILE...\n", stderr);
        return 2;
    }
    std::vector<HANDLE> held;
    for (int i = 1; i < count; ++i) {
        const HANDLE file = CreateFileW(argv[i], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "file-holder: cannot open argument %d (%lu)\n", i, GetLastError());
            return 1;
        }
        held.push_back(file);
    }
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    for (HANDLE file : held)
        CloseHandle(file);
    return 0;
}
