// file-holder FILE...: holds each FILE open as a spreadsheet holds the file it shows (read and
// write, other programs may only read it), prints "held", and lets go when its standard input
// ends; what came on it is added to the end of the first FILE first (the operator saves).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
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
    _setmode(_fileno(stdin), _O_BINARY);
    std::string saved;
    for (int c; (c = std::getchar()) != EOF;)
        saved += static_cast<char>(c);
    DWORD written = 0;
    if (!saved.empty() &&
        (SetFilePointer(held[0], 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER ||
         !WriteFile(held[0], saved.data(), static_cast<DWORD>(saved.size()), &written, nullptr)))
        return 1;
    for (HANDLE file : held)
        CloseHandle(file);
    return 0;
}
