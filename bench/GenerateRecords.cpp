// karune-bench-records: writes record lines, CR LF ended, to stdout: either a back-up file of a
// given size or an upload of a given number of records.

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "RecordText.h"

namespace {

constexpr const char* kUsage =
    "usage: karune-bench-records (--megabytes N | --records N) [--fields K] [--seed S]\n";

}  // namespace

int main(int argc, char** argv) {
    long long megabytes = -1;
    long long records = -1;
    int fields = 20;
    unsigned long seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const char* value = argv[i + 1];
        if (option == "--megabytes")
            megabytes = std::atoll(value);
        else if (option == "--records")
            records = std::atoll(value);
        else if (option == "--fields")
            fields = std::atoi(value);
        else if (option == "--seed")
            seed = std::strtoul(value, nullptr, 10);
        else
            megabytes = records = -1;
    }
    if ((megabytes < 0) == (records < 0) || fields < 1 || argc % 2 == 0) {
        std::cerr << kUsage;
        return 2;
    }

    karune::bench::RecordText text(static_cast<std::uint32_t>(seed));
    const unsigned long long byteLimit = static_cast<unsigned long long>(megabytes) << 20;
    unsigned long long written = 0;
    std::string block;
    for (long long n = 0; records < 0 ? written < byteLimit : n < records; ++n) {
        const std::size_t before = block.size();
        text.appendLine(fields, block);
        block.append("\r\n");
        written += block.size() - before;
        if (block.size() >= (1u << 20)) {
            if (std::fwrite(block.data(), 1, block.size(), stdout) != block.size())
                return 1;
            block.clear();
        }
    }
    if (std::fwrite(block.data(), 1, block.size(), stdout) != block.size())
        return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}
