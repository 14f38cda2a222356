// Power cuts at every file operation: each operation of a call (or a conversion, or a settings
// save) is recorded, and for every prefix of that list the disk a cut there can leave is built
// and the program started on it to serve the next call. What was made durable survives; writes
// after a file's last sync are lost, land in part, or land whole; names created, renamed or
// removed after their folder's last sync are undone, or kept. Keeping everything is a SIGKILL.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "config/SettingsFile.h"
#include "config/SettingsFileIo.h"
#include "config/SettingsStore.h"
#include "session/ClosingReport.h"
#include "session/ConvertRecords.h"
#include "session/KeptBackups.h"
#include "session/TerminalHarness.h"
#include "support/RecordingFileSystem.h"

namespace karune::test {
namespace {

namespace fs = std::filesystem;
using Disk = std::map<fs::path, std::string>;
enum class Data { Lost, Torn, Kept };
struct Cut {
    bool namesKept;
    Data data;
};
constexpr Cut kCuts[] = {{true, Data::Kept},  // SIGKILL: the page cache survives
                         {true, Data::Lost},
                         {true, Data::Torn},
                         {false, Data::Lost},
                         {false, Data::Torn}};

// What a cut after the first `count` operations leaves of `before` and the operations.
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
    for (std::size_t i = 0; i < count; ++i) {
        const FileOp& op = ops[i];
        if (op.kind == FileOp::Open && !live.contains(op.path)) {
            inodes.push_back({});
            live[op.path] = inodes.size() - 1;
        }
        Inode* inode = live.contains(op.path) ? &inodes[live[op.path]] : nullptr;
        switch (op.kind) {
            case FileOp::Open:
                if (op.length == 1)
                    inode->live.clear();
                break;
            case FileOp::Write:
                inode->live += op.bytes;
                break;
            case FileOp::Sync:
                inode->durable = inode->live;
                break;
            case FileOp::Truncate:
                inode->live.resize(op.length);
                break;
            case FileOp::Rename:
                live[op.to] = live[op.path];
                live.erase(op.path);
                break;
            case FileOp::Remove:
                live.erase(op.path);
                break;
            case FileOp::SyncFolder:
                std::erase_if(durable,
                              [&](const auto& e) { return e.first.parent_path() == op.path; });
                for (const auto& [path, id] : live)
                    if (path.parent_path() == op.path)
                        durable[path] = id;
                break;
            case FileOp::Ack:
                break;
        }
    }
    Disk disk;
    for (const auto& [path, id] : cut.namesKept ? live : durable) {
        const Inode& n = inodes[id];
        const std::size_t same = static_cast<std::size_t>(
            std::mismatch(n.live.begin(), n.live.end(), n.durable.begin(), n.durable.end()).first -
            n.live.begin());
        const std::size_t torn = std::max(same, (same + n.live.size()) / 2 / 8 * 8);
        disk[path] = cut.data == Data::Kept   ? n.live
                     : cut.data == Data::Lost ? n.durable
                                              : n.live.substr(0, torn);
    }
    return disk;
}

const std::vector<std::string> kFirst = {"A1,a", "A2,b", "A3,c"};
const std::vector<std::string> kNext = {"N1,x", "N2,y"};
constexpr std::string_view kOld = "OLD\r\n";

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
    SettingsEnvironment environment(FileSystem& files) {
        return {ini(), home(), "", true, messages, "", files};
    }

    // A program start and one call of the terminal uploading `records` as "abc". True when the
    // terminal was told the final "ACK"; every "ACK" is written down in `acks` when given.
    bool call(const std::vector<std::string>& records, FileSystem& files,
              std::vector<FileOp>* acks = nullptr) {
        const LoadResult loaded = LoadSettings(environment(files));
        sim::VirtualClock clock;
        sim::SimulatedLine line(clock);
        LineIo io(line, clock);
        FakeDisplay display;
        SessionFlags flags;
        flags.running = true;
        SessionContext ctx(clock, display, messages, flags, loaded.settings, loaded.backFile, {},
                           files);
        ctx.line = &io;
        std::vector<std::string> answers = {
            "VOL", frameOf('#', "abc@" + std::to_string(records.size()), 0)};
        for (std::size_t i = 0; i < records.size(); ++i)
            answers.push_back(frameOf(static_cast<char>('0' + i), records[i], 0));
        answers.push_back("END");
        std::size_t next = 1;
        int told = 0;
        line.setPeer([&](const std::string& pcLine, sim::SimulatedLine& wire) {
            if (pcLine == "ACK" && acks != nullptr)
                acks->push_back({FileOp::Ack, {}, {}, {}, 0});
            told += pcLine == "ACK";
            if ((pcLine == "VOL" || pcLine == "ACK") && next < answers.size())
                wire.deliver(answers[next++] + "\r");
        });
        ServeTerminal(ctx);
        ReportCompletion(ctx);
        WriteHistoryLine(ctx);
        history = ctx.errorText();
        return told == static_cast<int>(records.size()) + 2;
    }

    FakeMessages messages;
    std::string history;

private:
    TempFolder dir_;
};

struct Scenario {
    const char* name;
    std::int16_t overWrite;
    std::string failWritesTo;  // a full disk for the output file
    // The operation the cuts fall into; the first call when not set.
    std::function<void(Rig&, FileSystem&)> operation;
    bool savesSettings = false;
};

bool hasKeptNote(const Rig& rig) {
    return std::ranges::any_of(
               rig.messages.shown(),
               [](const OperatorMessage& m) { return m.text.starts_with(kKeptBackupNote); }) &&
           rig.history.find(kKeptBackupNote) != std::string::npos;
}

TEST(PowerCut, EveryCutLeavesADiskThatKeepsThePromises) {
    const fs::path keptName = "Back-20070606-091500.txt";
    const Scenario scenarios[] = {
        {"append", 0, "", {}},
        {"replace", 1, "", {}},
        {"conversion fails", 0, "abc", {}},
        {"--convert a kept back-up", 0, "",
         [&](Rig& rig, FileSystem& files) {
             Settings s = defaultSettings(rig.save().string());
             ConvertBackupFile(rig.home() / keptName, rig.home() / "Back.txt", rig.output(), s,
                               rig.messages, files);
         }},
        {"settings save", 0, "",
         [](Rig& rig, FileSystem& files) {
             Settings copy = LoadSettings(rig.environment(files)).settings, applied;
             copy.Port = 2;
             SaveSettings(rig.environment(files), copy, applied);
         },
         true},
    };
    int cutsChecked = 0;
    for (const Scenario& sc : scenarios) {
        SCOPED_TRACE(sc.name);
        Rig rig;
        Settings settings = defaultSettings(rig.save().string());
        settings.TimeAdjust = "0";
        settings.OverWrite = sc.overWrite;
        rig.write({{rig.output(), std::string(kOld)}});
        ASSERT_TRUE(writeSettingsFile(rig.ini(), settings).ok());
        const std::string oldIni = fileBytes(rig.ini());
        settings.Port = 2;
        const std::string newIni = sc.savesSettings ? encodeSettingsLine(settings).bytes : oldIni;
        if (sc.name == std::string("--convert a kept back-up"))
            writeFile(rig.home() / keptName, lines(kFirst));
        const Disk before = rig.read();

        RecordingFileSystem recorder;
        recorder.failWritesTo = sc.failWritesTo;
        if (sc.operation)
            sc.operation(rig, recorder);
        else
            rig.call(kFirst, recorder, &recorder.ops);
        const bool converting = sc.operation && !sc.savesSettings;
        const bool mayCommit = sc.failWritesTo.empty() && !sc.savesSettings;

        for (std::size_t count = 0; count <= recorder.ops.size(); ++count) {
            const auto acks = static_cast<std::size_t>(
                std::count_if(recorder.ops.begin(), recorder.ops.begin() + static_cast<long>(count),
                              [](const FileOp& op) { return op.kind == FileOp::Ack; }));
            const bool finalAck = acks == kFirst.size() + 2;
            const std::size_t mustSurvive =
                converting ? kFirst.size() : std::min(acks > 0 ? acks - 1 : 0, kFirst.size());
            for (const Cut cut : kCuts) {
                SCOPED_TRACE(testing::Message()
                             << "cut after " << count << " of " << recorder.ops.size()
                             << ", names kept " << cut.namesKept << ", data " << int(cut.data));
                ++cutsChecked;
                rig.write(diskAfterCut(before, recorder.ops, count, cut));
                const std::string ini = fileBytes(rig.ini());
                EXPECT_TRUE(ini == oldIni || ini == newIni) << "5: settings old or new";
                const std::string replaced = fileBytes(rig.output());
                EXPECT_TRUE(sc.overWrite == 0 || replaced == kOld || replaced == lines(kFirst))
                    << "3: no part of a transfer";

                rig.messages.clear();
                RecordingFileSystem next;
                next.syncs = false;  // what the next call makes durable is not looked at
                ASSERT_TRUE(rig.call(kNext, next)) << "7: the next call is served";
                const std::string out = fileBytes(rig.output());
                const bool committed =
                    sc.overWrite == 1 ? replaced == lines(kFirst)
                                      : out == std::string(kOld) + lines(kFirst) + lines(kNext);
                if (sc.overWrite == 1) {
                    EXPECT_EQ(out, lines(kNext));
                } else {
                    EXPECT_TRUE(committed ? mayCommit : out == std::string(kOld) + lines(kNext))
                        << "2, 3: the whole transfer once or not at all\n"
                        << out;
                }
                EXPECT_TRUE(!finalAck || committed) << "2: final ACK";
                if (!committed && !finalAck && mustSurvive > 0) {
                    std::string kept;
                    for (const auto& [path, bytes] : rig.read())
                        if (path.filename().string().starts_with("Back-"))
                            kept += bytes;
                    EXPECT_NE(kept.find(lines(kFirst, mustSurvive)), std::string::npos)
                        << "1, 4: every record answered ACK is kept";
                    EXPECT_TRUE(converting || hasKeptNote(rig)) << "4: the operator is told";
                }
            }
        }
    }
    std::cout << "power cuts checked: " << cutsChecked << "\n";
}

// A save that fails (here a full disk) leaves the old file, and says so.
TEST(PowerCut, AFailedSettingsSaveLeavesTheOldFile) {
    Rig rig;
    rig.write({});
    ASSERT_TRUE(writeSettingsFile(rig.ini(), defaultSettings(rig.save().string())).ok());
    const Disk before = rig.read();
    RecordingFileSystem full;
    full.failWritesTo = ".ini";
    Settings copy = defaultSettings(rig.save().string()), applied;
    copy.Port = 2;
    SaveSettings(rig.environment(full), copy, applied);
    EXPECT_EQ(rig.read(), before);
    EXPECT_EQ(rig.messages.shown().size(), 1u);
}

}  // namespace
}  // namespace karune::test
