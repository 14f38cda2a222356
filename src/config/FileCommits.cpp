#include "config/FileCommits.h"

#include <cerrno>
#include <charconv>
#include <string>
#include <vector>

#include "config/StdioFile.h"

namespace karune {
namespace {

constexpr std::string_view kPartSuffix = ".part";
constexpr std::string_view kJournalSuffix = ".append";

std::filesystem::path journalOf(const std::filesystem::path& file) {
    return hiddenBeside(file, kJournalSuffix);
}

// The length a journal holds: digits and a line end, as JournaledAppend writes them.
std::optional<std::uintmax_t> readJournal(const std::filesystem::path& journal) {
    const StdioFile in = openStdioFile(journal, "rb");
    if (!in)
        return std::nullopt;
    char text[32];
    std::string_view line(text, std::fread(text, 1, sizeof text, in.get()));
    if (!line.ends_with('\n'))
        return std::nullopt;
    line.remove_suffix(1);
    std::uintmax_t length = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), length);
    if (line.empty() || error != std::errc{} || end != line.data() + line.size())
        return std::nullopt;
    return length;
}

}  // namespace

std::filesystem::path hiddenBeside(const std::filesystem::path& file, std::string_view suffix) {
    std::filesystem::path name = file.filename();
    if (!name.native().starts_with('.'))
        name = std::filesystem::path(".") += name;
    return folderOf(file) / (name += suffix);
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
    const std::filesystem::path parent = file.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

Replacement::Replacement(FileSystem& files, const std::filesystem::path& file)
    : files_(files), file_(file), part_path_(hiddenBeside(file, kPartSuffix)) {
    if (fileStatus(file).exists) {
        if ((error_ = checkWritable(file)) != 0)
            return;
    }
    FileSystem::Opened part = files_.open(part_path_, FileSystem::Mode::Empty, file_);
    part_ = std::move(part.file);
    error_ = part.error;
}

Replacement::~Replacement() {
    if (!part_ || committed_)
        return;
    part_.reset();
    files_.remove(part_path_);
}

int Replacement::commit() {
    int err = part_->sync();
    if (err == 0)
        err = part_->close();
    if (err == 0)
        err = files_.rename(part_path_, file_);
    committed_ = err == 0;
    return err != 0 ? err : files_.syncFolder(folderOf(file_));
}

int replaceWhole(FileSystem& files, const std::filesystem::path& file, std::string_view bytes) {
    Replacement replacement(files, file);
    int err = replacement.error();
    if (err == 0)
        err = replacement.content().write(bytes);
    return err != 0 ? err : replacement.commit();
}

int retire(FileSystem& files, const std::filesystem::path& file) {
    const std::filesystem::path part = hiddenBeside(file, kPartSuffix);
    int err = files.rename(file, part);
    if (err == 0)
        err = files.syncFolder(folderOf(file));
    if (err == 0)
        files.remove(part);  // what no longer counts; a cut may bring it back
    return err;
}

int createFolders(FileSystem& files, const std::filesystem::path& folder) {
    std::filesystem::path at = folder.lexically_normal();
    if (at.filename().empty())
        at = at.parent_path();  // a trailing separator
    std::vector<std::filesystem::path> missing;
    for (; at.has_relative_path() && !fileStatus(at).exists; at = at.parent_path())
        missing.push_back(at);
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        const std::filesystem::path part = hiddenBeside(*level, kPartSuffix);
        int err = files.createFolder(part);
        if (err == EEXIST)
            err = 0;  // left empty by a cut: folders are filled only under their own name
        if (err == 0)
            err = files.rename(part, *level);
        if (err == 0)
            err = files.syncFolder(folderOf(*level));
        if (err != 0)
            return err;
    }
    return 0;
}

JournaledAppend::JournaledAppend(FileSystem& files, const std::filesystem::path& file)
    : files_(files), path_(file) {
    FileSystem::Opened opened = files_.open(file, FileSystem::Mode::Append);
    if ((error_ = opened.error) != 0)
        return;
    file_ = std::move(opened.file);
    length_ = opened.length;
    // On the disk before the first byte of the block.
    error_ = replaceWhole(files_, journalOf(file), std::to_string(length_) + "\n");
    journaled_ = error_ == 0;
}

JournaledAppend::~JournaledAppend() {
    undo();
}

void JournaledAppend::undo() {
    if (!journaled_)
        return;
    // When the cut fails the journal stays, and the next conversion into the file cuts it.
    if (file_->truncate(length_) == 0 && retire(files_, journalOf(path_)) == 0)
        journaled_ = false;
}

int JournaledAppend::commit() {
    int err = file_->sync();
    if (err == 0)
        err = retire(files_, journalOf(path_));
    if (err != 0) {
        undo();
        return err;
    }
    journaled_ = false;
    file_->close();  // the block counts from here: a failed close takes nothing of it
    return 0;
}

Recovery recoverAppend(FileSystem& files, const std::filesystem::path& file) {
    const std::filesystem::path journal = journalOf(file);
    if (!fileStatus(journal).exists)
        return {};
    const std::optional<std::uintmax_t> length = readJournal(journal);
    if (const FileStatus output = fileStatus(file);
        length && output.exists && output.size > *length) {
        if (const int err = files.truncate(file, *length))
            return {err, false};
    }
    return {retire(files, journal), !length};
}

}  // namespace karune
