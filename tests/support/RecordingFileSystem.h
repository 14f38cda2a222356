#pragma once

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "config/FileSystem.h"

namespace karune::test {

// One change to the files, or the terminal being told "ACK" (recorded by the test).
struct FileOp {
    enum Kind { Open, Write, Sync, Rename, Remove, Truncate, SyncFolder, Ack } kind;
    std::filesystem::path path;
    std::filesystem::path to;   // Rename's target
    std::string bytes;          // Write
    std::uintmax_t length = 0;  // Truncate; Open: 1 when the file is emptied
};

// The real file system, writing down every change that succeeded, in order. Writes to files
// whose name contains `failWritesTo` (when set) fail as on a full disk.
class RecordingFileSystem : public FileSystem {
public:
    std::vector<FileOp> ops;
    std::string failWritesTo;
    bool syncs = true;  // false: nothing is forced to the disk (faster)

    Opened open(const std::filesystem::path& file, Mode mode) override {
        Opened opened = real_.open(file, mode);
        if (opened.file) {
            record(FileOp::Open, file, {}, {}, mode == Mode::Empty ? 1 : 0);
            opened.file = std::make_unique<File>(*this, file, std::move(opened.file));
        }
        return opened;
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return record(FileOp::Rename, from, to, {}, 0, real_.rename(from, to));
    }
    int remove(const std::filesystem::path& file) override {
        return record(FileOp::Remove, file, {}, {}, 0, real_.remove(file));
    }
    int truncate(const std::filesystem::path& file, std::uintmax_t length) override {
        const int err =
            record(FileOp::Truncate, file, {}, {}, length, real_.truncate(file, length));
        return record(FileOp::Sync, file, {}, {}, 0, err);
    }
    int syncFolder(const std::filesystem::path& folder) override {
        return record(FileOp::SyncFolder, folder, {}, {}, 0, syncs ? real_.syncFolder(folder) : 0);
    }
    Turn takeTurn(const std::filesystem::path& folder) override { return real_.takeTurn(folder); }

    int record(FileOp::Kind kind, const std::filesystem::path& path,
               const std::filesystem::path& to, std::string bytes, std::uintmax_t length,
               int err = 0) {
        if (err == 0)
            ops.push_back(
                {kind, path.lexically_normal(), to.lexically_normal(), std::move(bytes), length});
        return err;
    }

private:
    class File : public WrittenFile {
    public:
        File(RecordingFileSystem& owner, std::filesystem::path path,
             std::unique_ptr<WrittenFile> real)
            : owner_(owner), path_(std::move(path)), real_(std::move(real)) {}
        int write(std::string_view bytes) override {
            const bool fail =
                !owner_.failWritesTo.empty() &&
                path_.filename().string().find(owner_.failWritesTo) != std::string::npos;
            return owner_.record(FileOp::Write, path_, {}, std::string(bytes), 0,
                                 fail ? ENOSPC : real_->write(bytes));
        }
        int sync() override {
            return owner_.record(FileOp::Sync, path_, {}, {}, 0, owner_.syncs ? real_->sync() : 0);
        }
        int close() override { return real_->close(); }

    private:
        RecordingFileSystem& owner_;
        std::filesystem::path path_;
        std::unique_ptr<WrittenFile> real_;
    };

    FileSystem& real_ = systemFileSystem();
};

}  // namespace karune::test
