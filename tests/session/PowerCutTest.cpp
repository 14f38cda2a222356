// Power cuts at every file operation: every change to the files of a call (or of a conversion,
// or of a settings save) goes through a recording file system, and for every prefix of that list
// the disk a cut there can leave is built and the program started on it to serve the next call.
// What was made durable survives; writes after a file's last sync are lost, land in part (at a
// block boundary) or land whole; names created, renamed or removed after their folder's last
// sync are undone or kept. Keeping everything is a SIGKILL, which leaves the page cache.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <span>

#include "config/SettingsFile.h"
#include "config/SettingsFileIo.h"
#include "config/SettingsStore.h"
#include "session/ClosingReport.h"
#include "session/ConvertRecords.h"
#include "session/KeptBackups.h"
#include "session/TerminalHarness.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;

// One change to the files, or the terminal being told "ACK".
struct FileOp {
    enum Kind { Open, Write, Sync, Rename, Remove, Truncate, SyncFolder, Ack } kind;
    fs::path path, to;          // to: Rename's target
    std::string bytes;          // Write
    std::uintmax_t length = 0;  // Truncate; Open: 1 when emptied
};

// The real file system, writing down every change that succeeded. Writes to files whose name
// contains `failWritesTo` land in part and fail, as on a full disk.
class RecordingFileSystem : public FileSystem {
public:
    std::vector<FileOp> ops;
    std::string failWritesTo = "-";
    bool syncs = true;  // false: nothing is forced to the disk (faster)

    Opened open(const fs::path& file, Mode mode) override {
        Opened opened = real_.open(file, mode);
        if (note(FileOp::Open, file, {}, {}, mode == Mode::Empty, opened.error) == 0)
            opened.file = std::make_unique<File>(*this, file, std::move(opened.file));
        return opened;
    }
    int rename(const fs::path& from, const fs::path& to) override {
        return note(FileOp::Rename, from, to, {}, 0, real_.rename(from, to));
    }
    int remove(const fs::path& file) override {
        return note(FileOp::Remove, file, {}, {}, 0, real_.remove(file));
    }
    int truncate(const fs::path& file, std::uintmax_t length) override {
        const int err = note(FileOp::Truncate, file, {}, {}, length, real_.truncate(file, length));
        return note(FileOp::Sync, file, {}, {}, 0, err);
    }
    int syncFolder(const fs::path& folder) override {
        return note(FileOp::SyncFolder, folder, {}, {}, 0, syncs ? real_.syncFolder(folder) : 0);
    }
    Turn takeTurn(const fs::path& folder) override { return real_.takeTurn(folder); }

    int note(FileOp::Kind kind, const fs::path& path, const fs::path& to, std::string_view bytes,
             std::uintmax_t length, int err) {
        if (err == 0)
            ops.push_back(
                {kind, path.lexically_normal(), to.lexically_normal(), std::string(bytes), length});
        return err;
    }

private:
    class File : public WrittenFile {
    public:
        File(RecordingFileSystem& fs, fs::path path, std::unique_ptr<WrittenFile> real)
            : fs_(fs), path_(std::move(path)), real_(std::move(real)) {}
        int write(std::string_view bytes) override {
            if (path_.filename().string().find(fs_.failWritesTo) != std::string::npos) {
                const std::string_view part = bytes.substr(0, bytes.size() / 2);
                fs_.note(FileOp::Write, path_, {}, part, 0, real_->write(part));
                return ENOSPC;
            }
            return fs_.note(FileOp::Write, path_, {}, bytes, 0, real_->write(bytes));
        }
        int sync() override {
            return fs_.note(FileOp::Sync, path_, {}, {}, 0, fs_.syncs ? real_->sync() : 0);
        }
        int close() override { return real_->close(); }

    private:
        RecordingFileSystem& fs_;
        fs::path path_;
        std::unique_ptr<WrittenFile> real_;
    };
    FileSystem& real_ = systemFileSystem();
};

using Disk = std::map<fs::path, std::string>;
enum class Data { Lost, Torn, Kept };
struct Cut {
    bool namesKept;
    Data data;
};
constexpr Cut kCuts[] = {{true, Data::Kept},  // SIGKILL
                         {true, Data::Lost},
                         {true, Data::Torn},
                         {false, Data::Lost},
                         {false, Data::Torn}};

// What a cut after the first `count` operations leaves of `before`.
Disk diskAfterCut(const Disk& before, const std::vector<FileOp>& ops, std::size_t count, Cut cut) {
    struct Inode {
        std::string live, durable;
    };
    std::vector<Inode> inodes;
    std::map<fs::path, std::size_t> live, durable;
    for (const auto& [path, bytes] : before) {
        inodes.push_back({bytes, bytes});
        live[path] = durable[path] = inodes.size() - 1;
    }
    for (const FileOp& op : std::span(ops).first(count)) {
        if (op.kind == FileOp::Open && live.emplace(op.path, inodes.size()).second)
            inodes.emplace_back();
        Inode* n = live.contains(op.path) ? &inodes[live[op.path]] : nullptr;
        if (op.kind == FileOp::Open && op.length == 1)
            n->live.clear();
        if (op.kind == FileOp::Write)
            n->live += op.bytes;
        if (op.kind == FileOp::Sync)
            n->durable = n->live;
        if (op.kind == FileOp::Truncate)
            n->live.resize(op.length);
        if (op.kind == FileOp::Rename)
            live[op.to] = live[op.path];
        if (op.kind == FileOp::Rename || op.kind == FileOp::Remove)
            live.erase(op.path);
        if (op.kind == FileOp::SyncFolder) {
            std::erase_if(durable, [&](const auto& e) { return e.first.parent_path() == op.path; });
            std::ranges::copy_if(live, std::inserter(durable, durable.end()),
                                 [&](const auto& e) { return e.first.parent_path() == op.path; });
        }
    }
    Disk disk;
    for (const auto& [path, id] : cut.namesKept ? live : durable) {
        const Inode& n = inodes[id];
        const auto same =
            static_cast<std::size_t>(std::ranges::mismatch(n.live, n.durable).in1 - n.live.begin());
        const std::size_t torn = std::max(same, (same + n.live.size()) / 2 / 8 * 8);
        disk[path] = cut.data == Data::Kept   ? n.live
                     : cut.data == Data::Lost ? n.durable
                                              : n.live.substr(0, torn);
    }
    return disk;
}

const std::vector<std::string> kFirst = {"A1,a", "A2,b", "A3,c"};
const std::vector<std::string> kNext = {"N1,x", "N2,y"};
const std::string kOld = "OLD\r\n";

std::string lines(const std::vector<std::string>& records, std::size_t count = 99) {
    std::string text;
    for (std::size_t i = 0; i < std::min(count, records.size()); ++i)
        text += records[i] + "\r\n";
    return text;
}

// A program's home and save folder on a disk that the test builds and reads back.
class Rig {
public:
    fs::path home() const { return dir_.path() / "home"; }
    fs::path save() const { return dir_.path() / "save"; }
    fs::path ini() const { return home() / "karune-modem.ini"; }
    fs::path output() const { return save() / "abc.txt"; }
    SettingsEnvironment environment(FileSystem& files) {
        return {ini(), home(), "", true, messages, "", files};
    }

    Disk read() const {
        Disk disk;
        for (const fs::path& folder : {home(), save()})
            for (const auto& e : fs::directory_iterator(folder))
                if (e.path().filename() != kTurnFileName)
                    disk[e.path().lexically_normal()] = fileBytes(e.path());
        return disk;
    }
    void write(const Disk& disk) const {
        for (const fs::path& folder : {home(), save()}) {
            fs::remove_all(folder);
            fs::create_directories(folder);
        }
        for (const auto& [path, bytes] : disk)
            writeFile(path, bytes);
    }

    // A program start and one call uploading `records` as "abc"; every "ACK" is noted in
    // `files`. True when the terminal was told the final "ACK".
    bool call(const std::vector<std::string>& records, RecordingFileSystem& files) {
        const LoadResult loaded = LoadSettings(environment(files));
        sim::VirtualClock clock;
        sim::SimulatedLine line(clock);
        LineIo io(line, clock);
        FakeDisplay display;
        SessionFlags flags{.running = true};
        SessionContext ctx(clock, display, messages, flags, loaded.settings, loaded.backFile, {},
                           files);
        ctx.line = &io;
        std::vector<std::string> answers = {frameOf('#', "abc@3", 0)};
        for (std::size_t i = 0; i < records.size(); ++i)
            answers.push_back(frameOf(static_cast<char>('0' + i), records[i], 0));
        answers.push_back("END");
        std::size_t told = 0;
        line.setPeer([&](const std::string& pcLine, sim::SimulatedLine& wire) {
            told += pcLine == "ACK";
            if (pcLine == "ACK")
                files.note(FileOp::Ack, {}, {}, {}, 0, 0);
            if ((pcLine == "VOL" || pcLine == "ACK") && told < answers.size())
                wire.deliver(answers[told] + "\r");
        });
        ServeTerminal(ctx);
        ReportCompletion(ctx);
        WriteHistoryLine(ctx);
        history = ctx.errorText();
        return told == records.size() + 2;
    }

    FakeMessages messages;
    std::string history;

private:
    TempFolder dir_;
};

bool operatorTold(const Rig& rig) {
    return rig.history.find(kKeptBackupNote) != std::string::npos &&
           std::ranges::any_of(rig.messages.shown(), [](const OperatorMessage& m) {
               return m.text.starts_with(kKeptBackupNote);
           });
}

enum class Operation { Call, ConvertKept, SaveSettings };
const fs::path kKept = "Back-20070606-091500.txt";

void operate(Operation operation, Rig& rig, RecordingFileSystem& files) {
    Settings settings = LoadSettings(rig.environment(files)).settings, applied;
    if (operation == Operation::Call)
        rig.call(kFirst, files);
    if (operation == Operation::ConvertKept)
        ConvertBackupFile(rig.home() / kKept, rig.home() / "Back.txt", rig.output(), settings,
                          rig.messages, files);
    settings.Port = 2;
    if (operation == Operation::SaveSettings)
        SaveSettings(rig.environment(files), settings, applied);
}

TEST(PowerCut, EveryCutLeavesADiskThatKeepsThePromises) {
    const struct {
        const char* name;
        std::int16_t overWrite;
        const char* failWritesTo;  // a full disk
        Operation operation;
    } scenarios[] = {
        {"append", 0, "-", Operation::Call},
        {"replace", 1, "-", Operation::Call},
        {"append fails", 0, "abc", Operation::Call},
        {"replace fails", 1, "abc", Operation::Call},
        {"--convert BACKUP", 0, "-", Operation::ConvertKept},
        {"settings save", 0, "-", Operation::SaveSettings},
        {"settings save fails", 0, ".ini", Operation::SaveSettings},
    };
    int cutsChecked = 0;
    for (const auto& sc : scenarios) {
        SCOPED_TRACE(sc.name);
        Rig rig;
        const bool converts = sc.operation == Operation::ConvertKept;
        rig.write({{rig.output(), kOld}, {rig.home() / kKept, converts ? lines(kFirst) : ""}});
        Settings settings = defaultSettings(rig.save().string());
        settings.TimeAdjust = "0";
        settings.OverWrite = sc.overWrite;
        ASSERT_TRUE(writeSettingsFile(rig.ini(), settings).ok());
        const std::string oldIni = fileBytes(rig.ini());
        settings.Port = 2;
        const std::string newIni = encodeSettingsLine(settings).bytes;
        const Disk before = rig.read();
        RecordingFileSystem recorder;
        recorder.failWritesTo = sc.failWritesTo;
        operate(sc.operation, rig, recorder);
        const bool mayCommit = sc.failWritesTo == std::string("-");
        EXPECT_TRUE(mayCommit || !rig.messages.shown().empty()) << "a failure is told";

        for (std::size_t count = 0; count <= recorder.ops.size(); ++count) {
            const auto acks = static_cast<std::size_t>(
                std::count_if(recorder.ops.begin(), recorder.ops.begin() + std::ptrdiff_t(count),
                              [](const FileOp& op) { return op.kind == FileOp::Ack; }));
            const bool finalAck = acks == kFirst.size() + 2;
            const std::size_t mustSurvive =
                converts ? kFirst.size() : std::max<std::size_t>(acks, 1) - 1;
            for (const Cut cut : kCuts) {
                SCOPED_TRACE(testing::Message() << "cut after " << count << ", names kept "
                                                << cut.namesKept << ", data " << int(cut.data));
                ++cutsChecked;
                rig.write(diskAfterCut(before, recorder.ops, count, cut));
                const std::string ini = fileBytes(rig.ini());
                EXPECT_TRUE(ini == oldIni || (ini == newIni && mayCommit)) << "5: old or new";
                const std::string replaced = fileBytes(rig.output());
                EXPECT_TRUE(sc.overWrite == 0 || replaced == kOld || replaced == lines(kFirst))
                    << "3: no part of a transfer";

                rig.messages.clear();
                RecordingFileSystem next;
                next.syncs = false;  // what the next call makes durable is not looked at
                ASSERT_TRUE(rig.call(kNext, next)) << "7: the next call is served";
                const std::string out = fileBytes(rig.output());
                const bool committed = sc.overWrite == 1
                                           ? replaced == lines(kFirst)
                                           : out == kOld + lines(kFirst) + lines(kNext);
                EXPECT_TRUE(sc.overWrite == 1 ? out == lines(kNext)
                            : committed       ? mayCommit
                                              : out == kOld + lines(kNext))
                    << "2, 3: the whole transfer once or not at all, never by itself\n"
                    << out;
                EXPECT_TRUE(committed || !finalAck) << "2: answered with the final ACK";
                if (committed || finalAck || mustSurvive == 0)
                    continue;
                std::string keptRecords;
                for (const auto& [path, bytes] : rig.read())
                    if (path.filename().string().starts_with("Back-"))
                        keptRecords += bytes;
                EXPECT_NE(keptRecords.find(lines(kFirst, mustSurvive)), std::string::npos)
                    << "1, 4: every record answered ACK is kept";
                EXPECT_TRUE(converts || operatorTold(rig)) << "4: the operator is told";
            }
        }
    }
    std::cout << "power cuts checked: " << cutsChecked << "\n";
}

}  // namespace
}  // namespace karune::test
