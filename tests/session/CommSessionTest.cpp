#include "session/CommSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "TerminalHarness.h"
#include "config/Utf8Path.h"
#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/Cp932.h"
#include "link/ModemWords.h"
#include "session/FreeSpace.h"
#include "session/Reception.h"
#include "session/StopTarget.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/FileBytes.h"
#include "support/Lines.h"
#include "support/TempFolder.h"

namespace karune {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::Lines;
using test::lines;
using test::operator+;

const std::string kInit = "ﾓﾃﾞﾑ初期化中 ... ";
const std::string kWait = "ﾓﾃﾞﾑ着信(RING)待ち ... ";
const std::string kAnswer = "ﾓﾃﾞﾑ接続開始 ... ";
const std::string kConnected = "ﾓﾃﾞﾑ接続完了 ... ";
const std::string kPreparing = "準備中 ... ";
const std::string kStop = "［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］";
const std::string kFail = "[異常終了]";
const std::string kHangUp = "CAN\r+++\0\rATH0\r"s;

// CR LF, the word, CR LF: how a modem frames its result words.
std::string framed(std::string_view word) {
    return "\r\n" + std::string(word) + "\r\n";
}

// A Hayes modem on a simulated line. It answers each command with the next queued response, or
// else the standing one: chunks, each delivered a delay after the command arrived. A second after
// an "OK" to "ATE0" it rings, unless `rings` is false.
struct ScriptedModem {
    using Response = std::vector<std::pair<std::string, Clock::Duration>>;

    explicit ScriptedModem(sim::SimulatedLine& line) {
        standing["ATE0"] = {{framed("OK"), 10ms}};
        standing["ATA"] = {{framed("CONNECT"), 10ms}};
        line.setPeer([this](const std::string& command, sim::SimulatedLine& self) {
            Response response = standing[command];
            if (std::vector<Response>& q = queued[command]; !q.empty()) {
                response = q.front();
                q.erase(q.begin());
            }
            for (const auto& [bytes, delay] : response) {
                self.deliver(bytes, delay);
                if (rings && command == "ATE0" && containsWord(bytes, "OK"))
                    self.deliver(framed("RING"), delay + 1s);
            }
        });
    }

    std::map<std::string, Response> standing;
    std::map<std::string, std::vector<Response>> queued;
    bool rings = true;
};

constexpr std::uintmax_t kPlentyOfSpace = std::uintmax_t{1} << 40;

// One modem on one port, a session over it, all in virtual time starting 2007-06-06 09:15:00.
struct Rig {
    sim::VirtualClock clock;
    sim::SimulatedLine line{clock};
    ScriptedModem modem{line};
    test::FakePorts ports{line};
    test::FakeDisplay display;
    test::FakeMessages messages;
    SessionFlags flags;
    test::TempFolder folder;
    Settings settings;
    WindowFields window{"/data/abc.txt", 7, 7, false};  // as earlier receptions left them
    bool retryLostPort = false;
    Clock::Duration modemCheck = SessionServices::kDefaultModemCheck;
    SpaceProbe freeSpace = [](const std::filesystem::path&) { return kPlentyOfSpace; };

    Rig() {
        settings.Folder = folder.text();
        settings.Port = 3;
        settings.StartUpSize = 1;
        settings.TimeAdjust = "0";
    }

    // Presses stop when the status label gets `text` for the `occurrence`-th time.
    void stopAtStatus(const std::string& text, int occurrence = 1) {
        display.onStatus = [this, text, occurrence, seen = 0](const std::string& s) mutable {
            if (s == text && ++seen == occurrence)
                flags.requestStop();
        };
    }

    void run() {
        // A session that never stops by itself (a fault) is stopped at its twentieth port open.
        ports.onOpen = [rowHook = ports.onOpen, this](int requests) {
            if (rowHook)
                rowHook(requests);
            if (requests == 20)
                flags.requestStop();
        };
        flags.running = true;
        SessionServices services{ports, clock, display, messages, retryLostPort};
        services.modemCheck = modemCheck;
        services.freeSpace = freeSpace;
        CommSession session(services, flags, settings, folder.path() / "Back.txt", window);
        session.run();
        window = session.windowFields();
    }

    std::string history() const {
        return cp932ToUtf8(test::fileBytes(folder.path() / "2007-06.txt")).value_or("<not CP932>");
    }
};

struct CycleCase {
    const char* name;
    int autoStart;
    std::function<void(Rig&)> setUp;
    std::string wire;
    Lines statuses;     // every text the status label got after the emptying
    std::string error;  // the error label at the end
    int beeps;
    Clock::Duration endsAt;
    int portRequests = 1;
    bool retryLostPort = false;  // as the window's reception asks
    int cycles = portRequests;
};

// Replies of the modem that are neither "OK" nor a result word, `count` of them 500 ms apart.
ScriptedModem::Response noise(int count) {
    ScriptedModem::Response r;
    for (int i = 0; i < count; ++i) {
        r.push_back({framed("NOISE"), 10ms + i * 500ms});
    }
    return r;
}

const std::string kPort0 = "ﾎﾟｰﾄ 3:O/S/A -> 0/ 1/ 0";
const std::string kPort1 = "ﾎﾟｰﾄ 3:O/S/A -> 0/ 1/ 1";

// The two status texts of a stop pressed while `status` shows.
Lines stoppedIn(const std::string& status) {
    return {status + kStop, status + kStop + kFail};
}

// The error label at the end: the stamp at 2007-06-06 `time`, the message, the failure word.
std::string failed(const std::string& time, const std::string& message) {
    return "2007-06-06-" + time + ">" + message + " " + kFail;
}

std::vector<CycleCase> cycleCases() {
    const std::string ate0 = "ATE0\r" + kHangUp;
    const std::string ata = "ATE0\rATA\r" + kHangUp;
    const std::string noAnswer = "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。";
    const std::string initError = "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ初期化ｴﾗｰです。";
    const std::string notConnect = "ATAﾀｲﾑｱｳﾄ,CONNECT以外受信! \r\nNO CARRIER\r\n";
    return {
        {"silent modem: six empty reads, then idle even with the window's automatic start", 1,
         [](Rig& r) { r.modem.standing["ATE0"] = {}; }, ate0, lines(kPort1, kInit, kInit + kFail),
         failed("09:15:12", noAnswer), 1, 13s, 1, true},
        {"ERROR restarts the initialisation, but not as the sixth reply", 1,
         [](Rig& r) {
             r.modem.queued["ATE0"] = {{{framed("ERROR"), 10ms}},
                                       noise(5) + ScriptedModem::Response{{framed("ERROR"), 3s}}};
         },
         "ATE0\r" + ate0, lines(kPort1, kInit, kInit, kInit + kFail), failed("09:15:03", initError),
         2, 4210ms},
        {"302 replies without CONNECT: reception stops", 1,
         [](Rig& r) { r.modem.standing["ATA"] = {}; }, ata,
         lines(kPort1, kInit, kWait, kAnswer, kAnswer + kFail),
         failed("09:25:05", "ATAﾀｲﾑｱｳﾄ,CONNECT受信失敗!"), 1, 606110ms},
        {"NO CARRIER after ATA: a new cycle follows with automatic start", 1,
         [](Rig& r) {
             r.modem.queued["ATA"] = {{{framed("NO CARRIER"), 10ms}}};
             r.ports.onOpen = [&r](int requests) {
                 if (requests == 2)
                     r.flags.requestStop();
             };
         },
         ata + kHangUp,
         lines(kPort1, kInit, kWait, kAnswer, kAnswer + kFail, kPreparing, kPort1, kInit,
               kInit + kFail),
         failed("09:15:01", notConnect + " " + kFail), 1, 5220ms, 2},
        {"adapter pulled while waiting for a ring: reception stops even with automatic start", 1,
         [](Rig& r) {
             // A wait that failed to notice would go on for ever: stop it, and fail.
             r.display.onStatus = [&r, waits = 0](const std::string& s) mutable {
                 if (s == kWait && ++waits == 1)
                     r.line.vanish("gone");
                 if (waits > 3)
                     r.flags.requestStop();
             };
         },
         ate0, lines(kPort1, kInit, kWait, kWait + kFail), failed("09:15:02", "ﾎﾟｰﾄ 3: gone"), 1,
         3110ms},
        {"adapter pulled while waiting for a ring, window: tried again quietly until it is back", 1,
         [](Rig& r) {
             r.display.onStatus = [&r, waits = 0](const std::string& s) mutable {
                 if (s == kWait && ++waits == 1) {
                     r.line.vanish("gone");
                     r.ports.error = "gone";
                 }
                 if (s == kWait && waits == 2)
                     r.flags.requestStop();
             };
             r.ports.onOpen = [&r](int requests) {
                 if (requests == 3) {
                     r.ports.error.reset();
                     r.line.comeBack();
                 }
             };
         },
         ate0 + ate0,
         lines(kPort1, kInit, kWait, kWait + kFail, kPreparing, kPort1, kInit, kWait) +
             stoppedIn(kWait),
         failed("09:15:11", kStop), 1, 12220ms, 4, true, 2},
        {"modem silent to AT after a quiet spell: three tries, then idle even with automatic start",
         1,
         [](Rig& r) {
             r.modem.rings = false;
             r.modemCheck = 5s;
         },
         "ATE0\rAT\rAT\rAT\r" + kHangUp, lines(kPort1, kInit, kWait, kWait, kWait, kWait + kFail),
         failed("09:15:12", "ATﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。"), 1, 13110ms},
        {"OK to AT starts a new quiet spell, and a ring during the next check is answered", 0,
         [](Rig& r) {
             r.modem.rings = false;
             r.modemCheck = 5s;
             r.modem.queued["AT"] = {{{framed("OK"), 10ms}}, {{framed("RING"), 10ms}}};
             r.stopAtStatus(kConnected);
         },
         "ATE0\rAT\rAT\rATA\r" + kHangUp,
         lines(kPort0, kInit, kWait, kWait, kWait, kWait, kWait, kWait, kAnswer, kConnected) +
             stoppedIn(kConnected),
         failed("09:15:12", kStop), 0, 13440ms},
        {"ready line dropping while waiting for a call: idle at once even with automatic start", 1,
         [](Rig& r) {
             r.modem.rings = false;
             r.line.setModemReady(true);
             r.line.setModemReady(false, 3s);
         },
         ate0, lines(kPort1, kInit, kWait, kWait, kWait + kFail),
         failed("09:15:03", "DSR断,ﾓﾃﾞﾑ応答なし。"), 1, 4s},
        {"ready line that was never up (no wire): calls are answered as before", 0,
         [](Rig& r) {
             r.modem.rings = false;
             r.line.setModemReady(false);
             r.line.deliver(framed("RING"), 5s);
             r.stopAtStatus(kConnected);
         },
         ata,
         lines(kPort0, kInit, kWait, kWait, kWait, kAnswer, kConnected) + stoppedIn(kConnected),
         failed("09:15:05", kStop), 0, 6210ms},
        {"modem silent after it answered, window: initialised again every minute, quietly", 1,
         [](Rig& r) {
             r.modem.rings = false;
             r.modemCheck = 5s;
             r.modem.queued["ATE0"] = {{{framed("OK"), 10ms}}, {}, {{framed("OK"), 10ms}}};
             r.stopAtStatus(kWait, 4);
         },
         "ATE0\rAT\rAT\rAT\r" + kHangUp + "ATE0\rATE0\rATE0\r" + kHangUp,
         lines(kPort1, kInit, kWait, kWait, kWait, kWait + kFail, kPreparing, kInit, kPreparing,
               kInit, kPort1, kInit, kWait) +
             stoppedIn(kWait),
         failed("09:17:27", kStop), 1, 148330ms, 3, true, 2},
        {"port that cannot be opened, not retried even by the window", 1,
         [](Rig& r) { r.ports.error = "ポートを開けません"; }, "", lines(kFail),
         failed("09:15:00", "ﾎﾟｰﾄ 3: ポートを開けません"), 1, 1s, 1, true},
    };
}

TEST(CommSession, RunsEveryPathOfTheCycle) {
    for (const CycleCase& c : cycleCases()) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.settings.AutoStart = static_cast<std::int16_t>(c.autoStart);
        r.retryLostPort = c.retryLostPort;
        c.setUp(r);
        // A call is in progress from "CONNECT" until the hang-up: with the connected texts.
        std::vector<std::string> inCall;
        r.display.onStatus = [&r, &inCall, inner = r.display.onStatus](const std::string& s) {
            if (r.flags.callInProgress != s.starts_with(kConnected))
                inCall.push_back(s);
            if (inner)
                inner(s);
        };
        r.run();
        EXPECT_TRUE(inCall.empty()) << inCall.front();
        EXPECT_FALSE(r.flags.callInProgress);

        EXPECT_EQ(r.line.written(), c.wire);
        EXPECT_EQ(r.display.texts("status"), lines("") + c.statuses);  // emptied first
        EXPECT_EQ(r.display.last("error"), c.error);
        EXPECT_EQ(r.display.count("beep"), c.beeps);
        EXPECT_EQ(r.clock.elapsed(), c.endsAt);
        EXPECT_EQ(r.ports.requested, std::vector<int>(c.portRequests, 3));
        EXPECT_FALSE(r.flags.running);
        EXPECT_EQ(r.ports.opens, r.ports.closes);
        EXPECT_EQ(r.ports.mostOpenAtOnce, r.ports.opens > 0 ? 1 : 0);
        EXPECT_TRUE(r.messages.shown().empty());
        // One history line per cycle. The output path that earlier receptions left, which the
        // history line names, stays until a call asks for a file name; so does the progress bar.
        const std::string history = r.history();
        EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), c.cycles);
        const bool askedForName = std::ranges::count(c.statuses, kConnected) > 0;
        EXPECT_EQ(history.ends_with(":/data/abc.txt\r\n"), !askedForName) << history;
        EXPECT_EQ(r.window.progressMax, 7);
        // The window back to idle as the very last thing.
        const std::vector<test::FakeDisplay::Call> idle = {{"busy", "0"}, {"buttons", "0"}};
        EXPECT_EQ(std::vector(r.display.calls.end() - 2, r.display.calls.end()), idle);
    }
}

// The free space of the home and the save folder is looked at when reception starts and before
// each call is answered, while the answer can still be refused by the operator's care.
TEST(CommSession, LooksAtTheFreeSpaceAtTheStartAndBeforeEachAnswer) {
    Rig r;
    std::vector<std::string> sentBeforeLooking;
    r.freeSpace = [&r, &sentBeforeLooking](const std::filesystem::path&) {
        sentBeforeLooking.push_back(r.line.written());
        return kPlentyOfSpace;
    };
    r.stopAtStatus(kConnected);
    r.run();
    EXPECT_EQ(sentBeforeLooking, lines("", "", "ATE0\r", "ATE0\r"));
}

TEST(FreeSpace, WarnsForEachFolderUnderAFewTimesTheLargestTransfer) {
    constexpr std::uintmax_t kMegabyte = 1024 * 1024;
    struct Case {
        const char* name;
        std::optional<std::uintmax_t> homeFree, saveFree;
        std::uintmax_t backupBytes, largestBefore;
        Lines warnings;  // "MB free|folder" in the order shown
    };
    const Case cases[] = {
        {"less than 16 MB in the home; 16 MB is enough for small transfers", 16 * kMegabyte - 1,
         16 * kMegabyte, 1000, 0, lines(" 15|home")},
        {"the save folder under four times the last back-up", kPlentyOfSpace, 20 * kMegabyte - 1,
         5 * kMegabyte, 0, lines(" 19|save")},
        {"an earlier, larger transfer still counts", kPlentyOfSpace, 40 * kMegabyte - 1, 0,
         10 * kMegabyte, lines(" 39|save")},
        {"both folders, one line each", 1 * kMegabyte, 0, 0, 0, lines(" 1|home", " 0|save")},
        {"space the system cannot tell", std::nullopt, std::nullopt, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TerminalHarness t;
        const std::filesystem::path home = t.programFolder(), save = t.saveFolder();
        test::writeFile(t.ctx().backFile, std::string(c.backupBytes, 'x'));
        const SpaceProbe probe = [&](const std::filesystem::path& folder) {
            return folder == home ? c.homeFree : folder == save ? c.saveFree : std::nullopt;
        };
        std::uintmax_t largest = c.largestBefore;
        warnOfLowSpace(t.ctx(), probe, largest);

        std::string label, history;
        for (const std::string& warning : c.warnings) {
            const std::string folder = utf8FromPath(warning.ends_with("home") ? home : save);
            const std::string text = "2007-06-06-09:15:00>ﾃﾞｨｽｸ空き容量不足! 残り" +
                                     warning.substr(0, warning.find('|')) + "MB: " + folder;
            label += (label.empty() ? "" : "\r\n") + text;
            history += "2007-06-06 09:15:00->" + text + "\r\n";
        }
        EXPECT_EQ(t.ctx().errorText(), label);
        EXPECT_EQ(t.display.count("beep"), static_cast<int>(c.warnings.size()));
        EXPECT_EQ(cp932ToUtf8(test::fileBytes(save / "2007-06.txt")), history);
        EXPECT_EQ(largest, std::max(c.backupBytes, c.largestBefore));
    }
}

// Records when it is taken and let go among the display's calls, so that their order shows.
struct RecordedSleep : SleepInhibitor {
    explicit RecordedSleep(test::FakeDisplay& shown) : display(shown) {}
    void hold() override { record(true); }
    void release() override { record(false); }
    void record(bool hold) {
        if (std::exchange(held, hold) != hold)
            display.calls.push_back({"awake", hold ? "1" : "0"});
    }
    test::FakeDisplay& display;
    bool held = false;
};

// A start while the stopped session is still closing runs once that session has returned. The
// computer is kept awake from the first session's start until the second has returned.
TEST(Reception, RemembersAStartWhileTheStoppedSessionCloses) {
    Rig r;
    RecordedSleep sleep(r.display);
    Reception reception({.ports = r.ports,
                         .clock = r.clock,
                         .display = r.display,
                         .messages = r.messages,
                         .sleep = sleep},
                        r.folder.path() / "Back.txt");
    r.display.onStatus = [&, waits = 0](const std::string& s) mutable {
        if (s != kInit)
            return;
        reception.stop();
        if (++waits == 1)
            reception.start(r.settings);
    };
    reception.start(r.settings);
    reception.waitUntilIdle();
    const Lines oneSession = lines("", kPort0, kInit) + stoppedIn(kInit);
    EXPECT_EQ(r.display.texts("status"), oneSession + oneSession);
    EXPECT_EQ(r.display.texts("buttons"), lines("1", "0", "1", "0"));  // running again after idle
    EXPECT_EQ(r.display.texts("awake"), lines("1", "0"));
    EXPECT_EQ(r.display.calls.front().kind, "awake");
    EXPECT_EQ(r.display.calls.back().kind, "awake");
}

// A stop signal must never reach a reception that is being destroyed.
TEST(StopTarget, TheAttachmentWaitsForARequestInProgressAndEndsAllLaterOnes) {
    Rig r;
    StopTarget target;
    std::atomic<bool> inRequest = false;
    std::atomic<bool> requestDone = false;
    std::thread watcher;
    {
        Reception reception({r.ports, r.clock, r.display, r.messages},
                            "Back.txt");  // never started
        const StopTarget::Attachment attached(target, reception);
        watcher = std::thread([&] {
            target.request([&](Reception* held) {
                inRequest = true;
                std::this_thread::sleep_for(200ms);
                held->stop();
                requestDone = true;
            });
        });
        while (!inRequest)
            std::this_thread::yield();
    }
    EXPECT_TRUE(requestDone);
    int later = 0;
    target.request([&](Reception*) { ++later; });
    EXPECT_EQ(later, 0);
    watcher.join();
}

}  // namespace
}  // namespace karune
