#pragma once

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "config/FileSystem.h"

namespace karune::test {

// The real file system, except for the files named in `held` and `full` (names without the
// folder). Opening, replacing, cutting or removing a held file fails with its error: EBUSY for a
// file that another program holds, as a spreadsheet holds a file on Windows. Writes to a full
// file fail with ENOSPC, as on a full disk, without touching any device. Counts the syncs of
// each file name.
class HeldFiles : public FileSystem {
public:
    std::map<std::string, int> held;   // file name: the error
    std::set<std::string> full;        // file names
    std::map<std::string, int> syncs;  // file name: how often it was synced

    Opened open(const std::filesystem::path& file, Mode mode,
                const std::filesystem::path& permissionsOf) override {
        if (const int err = heldError(file))
            return {nullptr, err};
        Opened opened = real_.open(file, mode, permissionsOf);
        if (opened.file)
            opened.file =
                std::make_unique<Counted>(*this, file.filename().string(), std::move(opened.file));
        return opened;
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        const int err = heldError(from) != 0 ? heldError(from) : heldError(to);
        return err != 0 ? err : real_.rename(from, to);
    }
    int remove(const std::filesystem::path& file) override {
        const int err = heldError(file);
        return err != 0 ? err : real_.remove(file);
    }
    int truncate(const std::filesystem::path& file, std::uintmax_t length) override {
        const int err = heldError(file);
        return err != 0 ? err : real_.truncate(file, length);
    }
    int syncFolder(const std::filesystem::path& folder) override {
        return real_.syncFolder(folder);
    }
    int createFolder(const std::filesystem::path& folder) override {
        return real_.createFolder(folder);
    }
    Turn takeTurn(const std::filesystem::path& folder) override { return real_.takeTurn(folder); }

private:
    class Counted : public WrittenFile {
    public:
        Counted(HeldFiles& owner, std::string name, std::unique_ptr<WrittenFile> real)
            : owner_(owner), name_(std::move(name)), real_(std::move(real)) {}
        int write(std::string_view bytes) override {
            return owner_.full.contains(name_) ? ENOSPC : real_->write(bytes);
        }
        int sync() override {
            ++owner_.syncs[name_];
            return real_->sync();
        }
        int truncate(std::uintmax_t length) override { return real_->truncate(length); }
        int close() override { return real_->close(); }

    private:
        HeldFiles& owner_;
        std::string name_;
        std::unique_ptr<WrittenFile> real_;
    };

    int heldError(const std::filesystem::path& file) const {
        const auto found = held.find(file.filename().string());
        return found == held.end() ? 0 : found->second;
    }

    FileSystem& real_ = systemFileSystem();
};

}  // namespace karune::test
