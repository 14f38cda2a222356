#pragma once

#include <cstdint>
#include <filesystem>

#include "config/FileSystem.h"
#include "config/OperatorMessages.h"
#include "session/RecordFields.h"
#include "session/SessionContext.h"

namespace karune {

// Writes the output file from the back-up file: every back-up line (ended by CR or CR LF)
// becomes one output line with the selected fields (see RecordFields). OverWrite 1 replaces the
// output file; any other value appends to it, creating it when missing.
//
// All or nothing: true only when every line was converted and the output file, with its folder
// entry, has reached the disk. On false the output file is exactly as it was before the call (a
// replaced file is written beside it and renamed over it; an appended block is cut off again; a
// file that did not exist is not left behind), and one message has gone to `messages` with the
// default title: the system's description of the error directly followed by the program's
// title. Memory use does not grow with the file size.
// A process killed half-way leaves nothing that counts either: a replaced file is renamed only
// when complete, and an append left unfinished is cut off by the next conversion into that file
// (an output file taken away meanwhile has nothing to cut). When what the killed append left
// cannot be read, nothing is cut and a message names the file; the conversion goes on.
// Conversions into one folder by several programs take turns.
bool ConvertRecords(const std::filesystem::path& backFile, const std::filesystem::path& outputPath,
                    std::int16_t overWrite, const FieldFlags& fields, OperatorMessages& messages,
                    FileSystem& files = systemFileSystem());

// The recovery command's conversion of `backup`, the back-up file `backFile` or one kept beside
// it, with the settings' fields and mode. Once converted, the back-up file is marked converted
// and a kept one is removed, so that it cannot be converted twice.
bool ConvertBackupFile(const std::filesystem::path& backup, const std::filesystem::path& backFile,
                       const std::filesystem::path& outputPath, const Settings& settings,
                       OperatorMessages& messages, FileSystem& files = systemFileSystem());

// The session's conversion on "END": ctx.backFile into ctx.outputPath with the settings of the
// cycle, showing the busy pointer while it runs (left on after a failure, for the session to
// reset). On success the back-up file is marked converted (see KeptBackups). The error number
// of a failure is left in ctx.conversionError.
bool ConvertRecords(SessionContext& ctx);

}  // namespace karune
