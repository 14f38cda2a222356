#include "session/ConvertRecords.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "config/Utf8Path.h"
#include "session/KeptBackups.h"
#include "session/StdioFile.h"

namespace karune {
namespace {

constexpr std::string_view kErrorSource = "Karune_modem";
constexpr std::size_t kChunk = std::size_t{1} << 20;
constexpr std::string_view kAbsent = "absent\n";
constexpr std::string_view kUnreadableJournal =
    "中断された追加書き込みの記録が読めません。ﾌｧｲﾙは切り詰めずに残します : ";

// What the journal of an append says about the output file before it.
struct JournalEntry {
    bool existed;
    std::uintmax_t length;
};

// Nullopt when the journal cannot be read or is not one that writeJournal finished.
std::optional<JournalEntry> readJournal(const std::filesystem::path& file) {
    StdioFile in = openStdioFile(file, "rb");
    if (!in)
        return std::nullopt;
    char text[32];
    std::string_view line(text, std::fread(text, 1, sizeof text, in.get()));
    if (line == kAbsent)
        return JournalEntry{false, 0};
    if (!line.ends_with('\n'))
        return std::nullopt;
    line.remove_suffix(1);
    std::uintmax_t length = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), length);
    if (line.empty() || error != std::errc{} || end != line.data() + line.size())
        return std::nullopt;
    return JournalEntry{true, length};
}

std::filesystem::path folderOf(const std::filesystem::path& file) {
    const std::filesystem::path parent = file.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

// errno of the failed step; EIO when the platform left none.
int lastError() {
    return errno != 0 ? errno : EIO;
}

// Streams the back-up file through `fields` into `output`. 0 on success, else the error number.
int convertStream(std::FILE* backup, WrittenFile& output, const RecordFields& fields) {
    std::vector<char> buffer(kChunk);
    std::string out;
    out.reserve(kChunk + kChunk / 2);
    std::size_t begin = 0;
    std::size_t end = 0;
    bool atEof = false;

    auto flushOut = [&]() {
        const int err = output.write(out);
        out.clear();
        return err;
    };

    for (;;) {
        const char* data = buffer.data();
        const void* found = std::memchr(data + begin, '\r', end - begin);
        const std::size_t cr =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : end;
        // A CR as the last byte read may be the first half of a CR LF: read on before deciding.
        const bool lineComplete = found ? (cr + 1 < end || atEof) : atEof && begin < end;
        if (lineComplete) {
            fields.appendConverted(std::string_view(data + begin, cr - begin), out);
            begin = cr < end ? cr + 1 : end;
            if (begin < end && data[begin] == '\n')
                ++begin;
            if (out.size() >= kChunk)
                if (const int err = flushOut())
                    return err;
            continue;
        }
        if (atEof)
            break;

        std::memmove(buffer.data(), buffer.data() + begin, end - begin);
        end -= begin;
        begin = 0;
        if (end == buffer.size())
            buffer.resize(buffer.size() * 2);  // one very long line
        errno = 0;
        const std::size_t got = std::fread(buffer.data() + end, 1, buffer.size() - end, backup);
        if (got == 0) {
            if (std::ferror(backup))
                return lastError();
            atEof = true;
        }
        end += got;
    }
    return flushOut();
}

class Conversion {
public:
    Conversion(const std::filesystem::path& backFile, const std::filesystem::path& outputPath,
               const FieldFlags& flags, OperatorMessages& messages, FileSystem& files)
        : backFile_(backFile),
          output_(outputPath),
          fields_(flags),
          messages_(messages),
          files_(files) {}

    // Each returns 0 or the error number, with the output file as it was.
    int replace();
    int append();

private:
    // Converts into `output` and closes it: the data is on the disk when this returns 0.
    int convertAndClose(WrittenFile& output);
    // ".NAME<suffix>" in the output file's folder: the same file system, out of the operator's way.
    std::filesystem::path hiddenBeside(std::string_view suffix) const {
        std::filesystem::path name = folder() / (std::filesystem::path(".") += output_.filename());
        name += suffix;
        return name;
    }
    std::filesystem::path journal() const;
    // Makes the folder's entries durable: a created, renamed or removed file. 0 or the error.
    int syncFolder() const { return files_.syncFolder(folder()); }
    int recoverInterruptedAppend();
    int writeJournal(bool existed, std::uintmax_t length);
    std::filesystem::path folder() const { return folderOf(output_); }

    const std::filesystem::path& backFile_;
    const std::filesystem::path& output_;
    RecordFields fields_;
    OperatorMessages& messages_;
    FileSystem& files_;
};

int Conversion::convertAndClose(WrittenFile& output) {
    errno = 0;
    StdioFile backup = openStdioFile(backFile_, "rb");
    if (!backup)
        return lastError();
    if (const int err = convertStream(backup.get(), output, fields_))
        return err;
    if (const int err = output.sync())
        return err;
    return output.close();
}

int Conversion::replace() {
    // The journal of a killed append no longer fits the file that replaces it.
    if (const int err = recoverInterruptedAppend())
        return err;
    std::error_code ec;
    const bool existed = std::filesystem::exists(output_, ec);
    if (existed) {
        // Renaming over a write-protected file would succeed; the operator protected it.
        errno = 0;
        if (!openStdioFile(output_, "r+b"))
            return lastError();
    }

    // A hidden name beside the target, so the rename stays within one file system. One name per
    // output file: what a conversion killed half-way left there is simply written over.
    const std::filesystem::path temporary = hiddenBeside(".part");
    FileSystem::Opened file = files_.open(temporary, FileSystem::Mode::Empty);
    if (!file.file)
        return file.error;

    int err = convertAndClose(*file.file);
    if (err == 0 && existed) {
        std::filesystem::permissions(temporary, std::filesystem::status(output_, ec).permissions(),
                                     ec);
    }
    if (err == 0)
        err = files_.rename(temporary, output_);
    if (err == 0)
        err = syncFolder();
    if (err != 0) {
        file.file.reset();
        files_.remove(temporary);
    }
    return err;
}

// Beside an output file being appended to: its length before the append ("absent" when there
// was none), so that a conversion killed half-way (power cut, SIGKILL) is cut back to it before
// the next conversion into that file. The block counts as written only once this is gone.
std::filesystem::path Conversion::journal() const {
    return hiddenBeside(".append");
}

int Conversion::recoverInterruptedAppend() {
    std::error_code ec;
    const std::filesystem::path journalFile = journal();
    if (!std::filesystem::exists(journalFile, ec))
        return 0;
    // A journal cut short by a crash before it reached the disk: that append had not begun to
    // write, and guessing a length could destroy records, so the file stays as it is.
    const std::optional<JournalEntry> entry = readJournal(journalFile);
    if (!entry) {
        messages_.show(OperatorMessage{
            {}, std::string(kUnreadableJournal) + utf8FromPath(output_), MessageIcon::None});
    } else if (std::filesystem::exists(output_, ec)) {
        // An output file taken away since (collected by another system) leaves nothing to cut.
        int err = 0;
        if (!entry->existed)
            err = files_.remove(output_);
        else if (std::filesystem::file_size(output_, ec) > entry->length && !ec)
            err = files_.truncate(output_, entry->length);
        if (err == 0 && ec)
            err = ec.value();
        if (err != 0)
            return err;
    }
    if (const int err = files_.remove(journalFile))
        return err;
    return syncFolder();
}

int Conversion::writeJournal(bool existed, std::uintmax_t length) {
    const std::string text = existed ? std::to_string(length) + "\n" : std::string(kAbsent);
    FileSystem::Opened out = files_.open(journal(), FileSystem::Mode::Empty);
    int err = out.error;
    if (err == 0)
        err = out.file->write(text);
    if (err == 0)
        err = out.file->sync();
    if (err == 0)
        err = out.file->close();
    return err != 0 ? err : syncFolder();
}

int Conversion::append() {
    if (const int err = recoverInterruptedAppend())
        return err;
    std::error_code ec;
    const bool existed = std::filesystem::exists(output_, ec);
    const std::uintmax_t previousLength = existed ? std::filesystem::file_size(output_, ec) : 0;
    if (ec)
        return ec.value();
    // The journal is on the disk before the output file is touched.
    if (const int err = writeJournal(existed, previousLength))
        return err;
    FileSystem::Opened file = files_.open(output_, FileSystem::Mode::Append);
    int err = file.error;
    if (err == 0)
        err = convertAndClose(*file.file);
    if (err == 0)
        err = files_.remove(journal());
    if (err == 0)
        err = syncFolder();
    if (err != 0) {
        file.file.reset();
        const int cut = existed ? files_.truncate(output_, previousLength) : files_.remove(output_);
        // Kept when the cut failed, so that the next append finishes it.
        if (cut == 0 || (cut == ENOENT && !existed)) {
            files_.remove(journal());
            syncFolder();
        }
    }
    return err;
}

// ConvertRecords with the error number: 0 on success.
int convertRecords(const std::filesystem::path& backFile, const std::filesystem::path& outputPath,
                   std::int16_t overWrite, const FieldFlags& fields, OperatorMessages& messages,
                   FileSystem& files) {
    Conversion conversion(backFile, outputPath, fields, messages, files);
    // Another program converting into this folder finishes first: a journal found after this
    // is one that a killed conversion left.
    const FileSystem::Turn turn = files.takeTurn(folderOf(outputPath));
    int err = turn.error;
    if (err == 0)
        err = overWrite == 1 ? conversion.replace() : conversion.append();
    if (err != 0)
        messages.show(
            OperatorMessage{{}, errorText(err) + std::string(kErrorSource), MessageIcon::None});
    return err;
}

}  // namespace

bool ConvertRecords(const std::filesystem::path& backFile, const std::filesystem::path& outputPath,
                    std::int16_t overWrite, const FieldFlags& fields, OperatorMessages& messages,
                    FileSystem& files) {
    return convertRecords(backFile, outputPath, overWrite, fields, messages, files) == 0;
}

bool ConvertBackupFile(const std::filesystem::path& backup, const std::filesystem::path& backFile,
                       const std::filesystem::path& outputPath, const Settings& settings,
                       OperatorMessages& messages, FileSystem& files) {
    if (!ConvertRecords(backup, outputPath, settings.OverWrite, settings.Field, messages, files))
        return false;
    if (backup == backFile)
        markConverted(files, backFile);
    else if (files.remove(backup) == 0)
        files.syncFolder(folderOf(backup));
    return true;
}

bool ConvertRecords(SessionContext& ctx) {
    ctx.display.setBusy(true);
    ctx.conversionError =
        convertRecords(ctx.backFile, pathFromUtf8(ctx.outputPath), ctx.settings.OverWrite,
                       ctx.settings.Field, ctx.messages, ctx.files);
    const bool converted = ctx.conversionError == 0;
    if (converted) {
        // Failing to mark it only costs a needless kept copy of records already converted.
        markConverted(ctx.files, ctx.backFile);
        ctx.display.setBusy(false);
    }
    return converted;
}

}  // namespace karune
