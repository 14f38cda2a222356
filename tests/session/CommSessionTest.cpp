#include "session/CommSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/Cp932.h"
#include "link/ModemWords.h"
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
// an "OK" to "ATE0" it rings.
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
                if (command == "ATE0" && containsWord(bytes, "OK"))
                    self.deliver(framed("RING"), delay + 1s);
            }
        });
    }

    std::map<std::string, Response> standing;
    std::map<std::string, std::vector<Response>> queued;
};

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
    WindowFields window;  // as earlier receptions of the program run left it
    bool retryLostPort = false;

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
        flags.running = true;
        CommSession session(SessionServices{ports, clock, display, messages, retryLostPort}, flags,
                            settings, folder.path() / "Back.txt", window);
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
        {"silent modem: six empty reads, then idle even with automatic start", 1,
         [](Rig& r) { r.modem.standing["ATE0"] = {}; }, ate0, lines(kPort1, kInit, kInit + kFail),
         failed("09:15:12", noAnswer), 1, 13s},
        {"OK on the sixth reply still counts", 0,
         [](Rig& r) {
             r.modem.standing["ATE0"] = {{framed("OK"), 10500ms}};
             r.stopAtStatus(kWait);
         },
         ate0, lines(kPort0, kInit, kWait) + stoppedIn(kWait), failed("09:15:10", kStop), 0,
         11600ms},
        {"six replies without OK: initialisation error", 1,
         [](Rig& r) { r.modem.standing["ATE0"] = noise(6); }, ate0,
         lines(kPort1, kInit, kInit + kFail), failed("09:15:02", initError), 1, 3610ms},
        {"ERROR restarts the initialisation, but not as the sixth reply", 1,
         [](Rig& r) {
             r.modem.queued["ATE0"] = {{{framed("ERROR"), 10ms}},
                                       noise(5) + ScriptedModem::Response{{framed("ERROR"), 3s}}};
         },
         "ATE0\r" + ate0, lines(kPort1, kInit, kInit, kInit + kFail), failed("09:15:03", initError),
         2, 4210ms},
        {"RING with CR LF around it answers the call", 0,
         [](Rig& r) { r.stopAtStatus(kConnected); }, ata,
         lines(kPort0, kInit, kWait, kAnswer, kConnected) + stoppedIn(kConnected),
         failed("09:15:01", kStop), 0, 2220ms},
        {"CONNECT on the 302nd reply after ATA", 0,
         [](Rig& r) {
             r.modem.standing["ATA"] = {{framed("CONNECT"), 602500ms}};
             r.stopAtStatus(kConnected);
         },
         ata, lines(kPort0, kInit, kWait, kAnswer, kConnected) + stoppedIn(kConnected),
         failed("09:25:03", kStop), 0, 604710ms},
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
        // One history line per cycle, and the window back to idle as the very last thing.
        const std::string history = r.history();
        EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), c.cycles);
        const std::vector<test::FakeDisplay::Call> calls = r.display.calls;
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2], (test::FakeDisplay::Call{"busy", "0"}));
        EXPECT_EQ(calls.back(), (test::FakeDisplay::Call{"buttons", "0"}));
    }
}

// The output path and the progress bar belong to the window for the whole program run: a cycle
// that fails before the file-name exchange keeps them, and its history line names that path.
TEST(CommSession, KeepsTheWindowFieldsThatEarlierReceptionsLeft) {
    Rig r;
    r.ports.error = "gone";
    r.window = WindowFields{"/data/abc.txt", 7, 7, false};
    r.run();
    EXPECT_TRUE(r.history().ends_with(":/data/abc.txt\r\n")) << r.history();
    EXPECT_EQ(r.window.progressMax, 7);
}

// A start while the stopped session is still closing runs once that session has returned.
TEST(Reception, RemembersAStartWhileTheStoppedSessionCloses) {
    Rig r;
    Reception reception({r.ports, r.clock, r.display, r.messages}, r.folder.path() / "Back.txt");
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
