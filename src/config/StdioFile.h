#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace karune {

struct StdioCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
// A C stream for reading, closed when it goes out of scope. Writing goes through FileSystem.
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// Opens `path` with a fopen mode, long Windows paths included. Null on failure, with errno set
// by the platform.
StdioFile openStdioFile(const std::filesystem::path& path, const char* mode);

}  // namespace karune
