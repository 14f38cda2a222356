#include "session/ConvertRecords.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/FileCommits.h"
#include "config/StdioFile.h"
#include "config/Utf8Path.h"
#include "session/KeptBackups.h"

namespace karune {
namespace {

constexpr std::string_view kErrorSource = "Karune_modem";
constexpr std::size_t kChunk = std::size_t{1} << 20;
constexpr std::string_view kUnreadableJournal =
    "中断された追加書き込みの記録が読めません。ﾌｧｲﾙは切り詰めずに残します : ";

// errno of the failed step; EIO when the platform left none.
int lastError() {
    return errno != 0 ? errno : EIO;
}

// Streams the whole lines of `backup` through `fields` into `output`. 0 or the error number.
int convertStream(std::FILE* backup, WrittenFile& output, const RecordFields& fields) {
    std::vector<char> buffer(kChunk);
    std::string out;
    out.reserve(kChunk + kChunk / 2);
    std::size_t begin = 0;
    std::size_t end = 0;

    for (bool atEof = false;;) {
        const char* data = buffer.data();
        const void* found = std::memchr(data + begin, '\r', end - begin);
        const std::size_t cr =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : end;
        // A CR as the last byte read may be the first half of a CR LF: read on before deciding.
        if (cr + 1 < end) {
            fields.appendConverted(std::string_view(data + begin, cr - begin), out);
            begin = cr + 1;
            if (data[begin] == '\n')
                ++begin;
            if (out.size() >= kChunk) {
                if (const int err = output.write(out))
                    return err;
                out.clear();
            }
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
        if (got == 0 && std::ferror(backup))
            return lastError();
        atEof = got == 0;
        end += got;
    }
    return output.write(out);
}

// Converts the back-up file into the new content of the output file and commits it.
template <typename Change>
int convertAndCommit(Change& change, const std::filesystem::path& backFile,
                     const RecordFields& fields) {
    if (const int err = change.error())
        return err;
    errno = 0;
    const StdioFile backup = openStdioFile(backFile, "rb");
    if (!backup)
        return lastError();
    if (const int err = convertStream(backup.get(), change.content(), fields))
        return err;
    return change.commit();
}

int convert(const std::filesystem::path& backFile, const std::filesystem::path& outputPath,
            std::int16_t overWrite, const RecordFields& fields, OperatorMessages& messages,
            FileSystem& files) {
    // Another program converting into this folder finishes first: a journal found after this
    // is one that a killed conversion left.
    const FileSystem::Turn turn = files.takeTurn(folderOf(outputPath));
    if (turn.error != 0)
        return turn.error;
    // Also before a replace: a journal left behind would cut the file that replaces it.
    const Recovery recovery = recoverAppend(files, outputPath);
    if (recovery.unreadable) {
        messages.show(OperatorMessage{
            {}, std::string(kUnreadableJournal) + utf8FromPath(outputPath), MessageIcon::None});
    }
    if (recovery.error != 0)
        return recovery.error;
    // Appending to a file that is not there is writing it whole.
    if (overWrite == 1 || !fileStatus(outputPath).exists) {
        Replacement replacement(files, outputPath);
        return convertAndCommit(replacement, backFile, fields);
    }
    JournaledAppend append(files, outputPath);
    return convertAndCommit(append, backFile, fields);
}

}  // namespace

int convertRecordsInto(const std::filesystem::path& backFile,
                       const std::filesystem::path& outputPath, std::int16_t overWrite,
                       const FieldFlags& fields, OperatorMessages& messages, FileSystem& files) {
    const int err = convert(backFile, outputPath, overWrite, RecordFields(fields), messages, files);
    if (err != 0) {
        messages.show(
            OperatorMessage{{}, errorText(err) + std::string(kErrorSource), MessageIcon::None});
    }
    return err;
}

bool ConvertBackupFile(const std::filesystem::path& backup, const std::filesystem::path& backFile,
                       const std::filesystem::path& outputPath, const Settings& settings,
                       OperatorMessages& messages, FileSystem& files) {
    if (convertRecordsInto(backup, outputPath, settings.OverWrite, settings.Field, messages,
                           files) != 0)
        return false;
    if (backup == backFile)
        markConverted(files, backFile);
    else
        retire(files, backup);
    return true;
}

bool ConvertRecords(SessionContext& ctx) {
    ctx.display.setBusy(true);
    ctx.conversionError =
        convertRecordsInto(ctx.backFile, pathFromUtf8(ctx.outputPath), ctx.settings.OverWrite,
                           ctx.settings.Field, ctx.messages, ctx.files);
    if (ctx.conversionError != 0)
        return false;
    // Failing to mark it only costs a needless kept copy of records already converted.
    markConverted(ctx.files, ctx.backFile);
    ctx.display.setBusy(false);
    return true;
}

}  // namespace karune
