#pragma once

#include <cstdint>
#include <filesystem>

#include "config/FileSystem.h"
#include "config/OperatorMessages.h"
#include "session/RecordFields.h"
#include "session/SessionContext.h"

namespace karune {

// Writes the output file from the back-up file: every whole back-up line becomes one output line
// with the selected fields (see RecordFields). A line ends with CR LF, or with a CR that more
// bytes follow; bytes after the last line end are a record that a crash cut short, never
// answered "ACK", and are left out. OverWrite 1 replaces the output file; any other value appends
// to it, creating it when missing. Memory use does not grow with the file size.
//
// All or nothing, also across a power cut or a kill at any moment (see FileCommits.h): on success
// the whole block is in the output file and on the disk; otherwise the output file is as it was,
// or becomes so with the next conversion into it. Conversions into one folder by several
// programs take turns. When what a killed append left beside the file cannot be read, nothing is
// cut, a message names the file, and the conversion goes on.
//
// Returns 0, or the error number that ended the conversion after one message went to `messages`
// with the default title: the system's description of the error directly followed by the
// program's title. EBUSY: another program holds the output file.
int convertRecordsInto(const std::filesystem::path& backFile,
                       const std::filesystem::path& outputPath, std::int16_t overWrite,
                       const FieldFlags& fields, OperatorMessages& messages,
                       FileSystem& files = systemFileSystem());

// The recovery command's conversion of `backup`, the back-up file `backFile` or one kept beside
// it, with the settings' fields and mode. Once converted, the back-up file is marked converted
// and a kept one is retired, so that it cannot be converted twice.
bool ConvertBackupFile(const std::filesystem::path& backup, const std::filesystem::path& backFile,
                       const std::filesystem::path& outputPath, const Settings& settings,
                       OperatorMessages& messages, FileSystem& files = systemFileSystem());

// The session's conversion on "END": ctx.backFile into ctx.outputPath with the settings of the
// cycle, showing the busy pointer while it runs (left on after a failure, for the session to
// reset). The error number that ended it goes to ctx.conversionError. On success the back-up file
// is marked converted (see KeptBackups).
bool ConvertRecords(SessionContext& ctx);

}  // namespace karune
