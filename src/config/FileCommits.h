#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "config/FileSystem.h"

namespace karune {

// How the program changes a file so that a power cut at any moment leaves the change whole or
// undone, over the file seam. One rule serves Linux and Windows alike: the step that makes a
// change count (its commit point) is always a rename, followed by a sync of the folder. On
// Linux the folder sync makes the rename durable; on Windows, which documents no folder sync for
// programs, the rename is written through and durable when it returns. Creating and removing a name
// are never commit points, since neither is durable on Windows before NTFS commits its log: a
// creation only prepares what a rename puts in place, and a removal only tidies up what no
// longer counts.
//
// Every working file is hidden beside the file it serves, ".NAME" and a suffix, in the same
// folder (so a rename stays within one file system): ".NAME.part" for a new version being
// written, or an old one being removed.

// ".NAME<suffix>" beside `file` (a hidden NAME keeps its one dot).
std::filesystem::path hiddenBeside(const std::filesystem::path& file, std::string_view suffix);

// The folder that holds `file` ("." for a bare name).
std::filesystem::path folderOf(const std::filesystem::path& file);

// A new version of a file, written whole into ".NAME.part" and put in the file's place by
// commit(). Gone without a trace when dropped uncommitted: the part is removed, the file is as
// it was. A part that a killed program left is simply written over.
class Replacement {
public:
    // Refuses a write-protected file (renaming over it would succeed) and one that another
    // program holds (EBUSY), before anything is written. `error()` tells.
    Replacement(FileSystem& files, const std::filesystem::path& file);
    ~Replacement();
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    int error() const { return error_; }
    WrittenFile& content() { return *part_; }
    // Syncs the new version, renames it over the file and syncs the folder. 0 or the error; the
    // file may already be the new one when only the folder sync failed (committed() says so).
    int commit();
    bool committed() const { return committed_; }

private:
    FileSystem& files_;
    std::filesystem::path file_;
    std::filesystem::path part_path_;
    std::unique_ptr<WrittenFile> part_;
    int error_ = 0;
    bool committed_ = false;
};

// Writes `bytes` as the whole new content of `file`.
int replaceWhole(FileSystem& files, const std::filesystem::path& file, std::string_view bytes);

// Removes `file` so that no power cut brings it back: renamed to ".NAME.part" (the commit
// point), then removed from there.
int retire(FileSystem& files, const std::filesystem::path& file);

// Creates the missing folders of `folder`, each one put in place by a rename, so that a folder
// that holds anything is durable.
int createFolders(FileSystem& files, const std::filesystem::path& folder);

// An append that lands whole or not at all. Before the first byte reaches the file, a journal
// ".NAME.append" holding the file's length is put in place; the block counts once the journal is
// retired. A program killed in between leaves the journal, and recoverAppend() cuts the file
// back to that length. Dropped uncommitted, the block is cut off again through the handle the
// append holds, never by opening the file anew (another program may hold it by then).
class JournaledAppend {
public:
    // Opens an existing file for appending, then puts the journal in place. When the file cannot
    // be opened (another program holds it: EBUSY) no journal is written. `error()` tells.
    JournaledAppend(FileSystem& files, const std::filesystem::path& file);
    ~JournaledAppend();
    JournaledAppend(const JournaledAppend&) = delete;
    JournaledAppend& operator=(const JournaledAppend&) = delete;

    int error() const { return error_; }
    WrittenFile& content() { return *file_; }
    // Syncs the block, closes the file and retires the journal. 0 or the error (then undone).
    int commit();

private:
    void undo();

    FileSystem& files_;
    std::filesystem::path path_;
    std::unique_ptr<WrittenFile> file_;
    std::uintmax_t length_ = 0;
    bool journaled_ = false;
    int error_ = 0;
};

struct Recovery {
    int error = 0;
    // The journal could not be read (written by something else): nothing was cut, the journal
    // was retired, and the operator must be told.
    bool unreadable = false;
};

// What a killed append left beside `file`: cuts the file back to the journal's length (a file
// taken away meanwhile has nothing to cut) and retires the journal. Only for the holder of the
// folder's turn, so that the journal cannot be a running append's.
Recovery recoverAppend(FileSystem& files, const std::filesystem::path& file);

}  // namespace karune
