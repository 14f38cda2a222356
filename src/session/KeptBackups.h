#pragma once

#include <filesystem>
#include <string_view>

#include "config/FileSystem.h"

namespace karune {

// A back-up file whose records no conversion took into an output file (it failed, or a crash
// cut it off) holds the only copy of records the terminal was told were received. It is never
// emptied: before the next transfer writes the back-up file it is kept beside it under the name
// "Back-yyyymmdd-hhmmss.txt" (its last write, local time; "-2", "-3" ... when taken), for the
// operator to convert with --convert. It is not converted by itself: the terminal was told "CAN"
// or nothing, and sends those records again. A kept back-up holds whole records only: a record
// is answered "ACK" once its line end is on the disk, so a last line without one was cut short by
// a crash and never answered.
//
// What tells the two apart is a hidden marker beside the back-up file, ".Back.txt.converted",
// put in place after a conversion succeeded and retired before the next transfer writes the
// back-up file, each durably (see FileCommits.h).

// What the operator is told (message, error label, history line), followed by the kept file.
inline constexpr std::string_view kKeptBackupNote =
    "未変換のﾊﾞｯｸｱｯﾌﾟを残しました (--convert で変換) : ";

// The marker for `backFile`'s current records. 0 or the error.
int markConverted(FileSystem& files, const std::filesystem::path& backFile);

struct KeptBackup {
    std::filesystem::path path;  // empty when nothing needed keeping
    int error = 0;               // the back-up file must not be written then
};

// Before a transfer writes `backFile`: keeps an unconverted one that holds a record, or retires
// the marker of a converted one. Durable when it returns, and `backFile` then exists under a
// durable name, for the transfer to empty and write.
KeptBackup keepUnconverted(FileSystem& files, const std::filesystem::path& backFile);

}  // namespace karune
