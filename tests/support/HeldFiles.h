#pragma once

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "config/FileSystem.h"

namespace karune::test {

// The real file system, except that the files named in `held` are held by another program, as a
// spreadsheet holds a file on Windows: opening, replacing, cutting or removing them fails with
// EBUSY. Counts the syncs of each file name.
class HeldFiles : public FileSystem {
public:
    std::set<std::string> held;        // file names, without the folder
    std::map<std::string, int> syncs;  // file name: how often it was synced

    Opened open(const std::filesystem::path& file, Mode mode,
                const std::filesystem::path& permissionsOf) override {
        if (isHeld(file))
            return {nullptr, EBUSY};
        Opened opened = real_.open(file, mode, permissionsOf);
        if (opened.file)
            opened.file =
                std::make_unique<Counted>(*this, file.filename().string(), std::move(opened.file));
        return opened;
    }
    int rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
        return isHeld(from) || isHeld(to) ? EBUSY : real_.rename(from, to);
    }
    int remove(const std::filesystem::path& file) override {
        return isHeld(file) ? EBUSY : real_.remove(file);
    }
    int truncate(const std::filesystem::path& file, std::uintmax_t length) override {
        return isHeld(file) ? EBUSY : real_.truncate(file, length);
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
        int write(std::string_view bytes) override { return real_->write(bytes); }
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

    bool isHeld(const std::filesystem::path& file) const {
        return held.contains(file.filename().string());
    }

    FileSystem& real_ = systemFileSystem();
};

}  // namespace karune::test
