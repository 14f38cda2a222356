// The cost of putting one record on the disk before its "ACK": a back-up line written and synced
// through the program's own file system, as a call does, timed one by one.
//
//   karune-bench-sync FOLDER [RECORDS]
//
// Prints records=, sync_median_ms=, sync_p95_ms= and sync_max_ms=.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "config/FileSystem.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: karune-bench-sync FOLDER [RECORDS]\n");
        return 2;
    }
    const std::filesystem::path file = std::filesystem::path(argv[1]) / "Back.txt";
    const int records = argc > 2 ? std::stoi(argv[2]) : 500;
    karune::FileSystem& files = karune::systemFileSystem();
    karune::FileSystem::Opened back = files.open(file, karune::FileSystem::Mode::Empty);
    if (!back.file || files.syncFolder(file.parent_path()) != 0)
        return 1;
    const std::string line = "0123456789,ABCDEFGHIJ,20070606,091500,42,-17,\x83\x5C\x95\x5C\r\n";
    std::vector<double> ms;
    for (int i = 0; i < records; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (back.file->write(line) != 0 || back.file->sync() != 0)
            return 1;
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("records=%d\nsync_median_ms=%.3f\nsync_p95_ms=%.3f\nsync_max_ms=%.3f\n", records,
                ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back());
    std::filesystem::remove(file);
    return 0;
}
