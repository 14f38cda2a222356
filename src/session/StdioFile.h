#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace karune {

struct StdioCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
// A C stream that is closed when it goes out of scope; close it explicitly where the result of
// the close matters.
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// Opens `path` with a fopen mode. Null on failure, with errno set by the platform.
StdioFile openStdioFile(const std::filesystem::path& path, const char* mode);

// Flushes the stream and asks the system to put its data on the disk. False with errno set when
// either step fails.
bool syncToDisk(std::FILE* file);

// Makes the directory's entries (a created or renamed file) durable. True where the platform has
// no such operation.
bool syncDirectory(const std::filesystem::path& directory);

// Puts `from` in the place of `to`, replacing it, in one step that either happens whole or not
// at all; on Windows also durable when it returns (it fails while `to` is open anywhere, so close
// every stream on it first). 0, or an errno value.
int replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

// The platform's description of an errno value.
std::string errorText(int errorNumber);

}  // namespace karune
