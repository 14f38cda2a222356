// Holds a file as a spreadsheet showing it does: open, and others may only read it. Prints "held",
// then appends the line it reads from standard input with CR LF (the operator saves) and closes.
//   file-holder FILE
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    line += "\r\n";
    DWORD written = 0;
    const bool saved = SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                       WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written,
                                 nullptr) &&
                       written == line.size();
    CloseHandle(file);
    return saved ? 0 : 1;
}
