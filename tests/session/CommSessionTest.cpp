#include "session/CommSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "linesim/SimulatedLine.h"
#include "linesim/VirtualClock.h"
#include "link/Cp932.h"
#include "support/FakeDisplay.h"
#include "support/FakeMessages.h"
#include "support/FakePorts.h"
#include "support/FileBytes.h"
#include "support/Lines.h"
#include "support/ScriptedModem.h"
#include "support/TempFolder.h"
#include "support/UploadingTerminal.h"

namespace karune {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;
using test::Lines;
using test::lines;
using test::operator+;
using test::ScriptedModem;

const std::string kInit = "ﾓﾃﾞﾑ初期化中 ... ";
const std::string kWait = "ﾓﾃﾞﾑ着信(RING)待ち ... ";
const std::string kAnswer = "ﾓﾃﾞﾑ接続開始 ... ";
const std::string kConnected = "ﾓﾃﾞﾑ接続完了 ... ";
const std::string kPreparing = "準備中 ... ";
const std::string kStop = "［ｽﾄｯﾌﾟﾎﾞﾀﾝが押されました］";
const std::string kFail = "[異常終了]";
const std::string kHangUp = "CAN\r+++\0\rATH0\r"s;

// A line that tells the test about every chunk the session reads.
class ObservedLine : public SerialLine {
public:
    explicit ObservedLine(SerialLine& inner) : inner_(inner) {}
    std::string readUntil(Clock::TimePoint deadline) override {
        std::string chunk = inner_.readUntil(deadline);
        if (afterRead)
            afterRead(chunk);
        return chunk;
    }
    bool write(std::string_view bytes) override { return inner_.write(bytes); }

    std::function<void(const std::string& chunk)> afterRead;

private:
    SerialLine& inner_;
};

// One modem on one port, a session over it, all in virtual time starting 2007-06-06 09:15:00.
struct Rig {
    sim::VirtualClock clock;
    sim::SimulatedLine line{clock};
    ScriptedModem modem{line};
    ObservedLine observed{line};
    test::FakePorts ports{observed};
    test::FakeDisplay display;
    test::FakeMessages messages;
    SessionFlags flags;
    test::TempFolder folder;
    Settings settings;

    Rig() {
        settings.Folder = folder.text();
        settings.Port = 3;
        settings.OverWrite = 0;
        settings.StartUpSize = 1;
        settings.AutoStart = 0;
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
        CommSession session(SessionServices{ports, clock, display, messages}, flags, settings,
                            folder.path() / "Back.txt");
        session.run();
    }

    // The month's history file, decoded.
    std::string history() const {
        return cp932ToUtf8(test::fileBytes(folder.path() / "2007-06.txt")).value_or("<not CP932>");
    }
};

struct CycleCase {
    const char* name;
    int autoStart;
    std::function<void(Rig&)> setUp;
    std::string wire;
    Lines statuses;     // every text the status label got, after the emptying
    std::string error;  // the error label at the end
    int beeps;
    Clock::Duration endsAt;
    int portRequests = 1;
};

// Replies of the modem that are neither "OK" nor a result word, `count` of them 500 ms apart.
ScriptedModem::Response noise(int count, std::string last = "NOISE") {
    ScriptedModem::Response r;
    for (int i = 0; i < count; ++i) {
        r.push_back({ScriptedModem::framed(i + 1 == count ? last : "NOISE"), 10ms + i * 500ms});
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

std::function<void(Rig&)> stopAtStatus(const std::string& status, int occurrence = 1) {
    return [=](Rig& r) { r.stopAtStatus(status, occurrence); };
}

std::function<void(Rig&)> stopOnCommand(const std::string& command) {
    return [=](Rig& r) {
        r.modem.onLine = [&r, command](const std::string& line) {
            if (line == command)
                r.flags.requestStop();
        };
    };
}

std::vector<CycleCase> cycleCases() {
    const std::string ate0 = "ATE0\r" + kHangUp;
    const std::string ata = "ATE0\rATA\r" + kHangUp;
    const std::string noAnswer = "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。";
    const std::string initError = "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ初期化ｴﾗｰです。";
    const std::string notConnect = "ATAﾀｲﾑｱｳﾄ,CONNECT以外受信! \r\nNO CARRIER\r\n";
    return {
        {"OK at once: one read, then the call wait (stopped during it)", 0,
         [](Rig& r) {
             r.modem.ringAfterInit(std::nullopt);
             r.stopAtStatus(kWait, 2);
         },
         ate0, lines(kPort0, kInit, kWait, kWait) + stoppedIn(kWait), failed("09:15:02", kStop), 0,
         3110ms},
        {"silent modem: six empty reads, then idle even with automatic start", 1,
         [](Rig& r) { r.modem.setStanding("ATE0", ScriptedModem::silence()); }, ate0,
         lines(kPort1, kInit, kInit + kFail), failed("09:15:12", noAnswer), 1, 13s},
        {"OK on the sixth reply still counts", 0,
         [](Rig& r) {
             r.modem.setStanding("ATE0", {{ScriptedModem::framed("OK"), 10500ms}});
             r.stopAtStatus(kWait);
         },
         ate0, lines(kPort0, kInit, kWait) + stoppedIn(kWait), failed("09:15:10", kStop), 0,
         11600ms},
        {"six replies without OK: initialisation error", 1,
         [](Rig& r) { r.modem.setStanding("ATE0", noise(6)); }, ate0,
         lines(kPort1, kInit, kInit + kFail), failed("09:15:02", initError), 1, 3610ms},
        {"five replies without OK, then silence: the last reply decides", 0,
         [](Rig& r) { r.modem.setStanding("ATE0", noise(5)); }, ate0,
         lines(kPort0, kInit, kInit + kFail), failed("09:15:04", noAnswer), 1, 5110ms},
        {"ERROR in the first reply restarts the initialisation with a beep", 0,
         [](Rig& r) {
             r.modem.queue("ATE0", {ScriptedModem::reply("ERROR")});
             r.modem.ringAfterInit(std::nullopt);
             r.stopAtStatus(kWait);
         },
         "ATE0\r" + ate0, lines(kPort0, kInit, kInit, kWait) + stoppedIn(kWait),
         failed("09:15:00", kStop), 1, 1220ms},
        {"a result word as the fifth reply still restarts", 0,
         [](Rig& r) {
             r.modem.queue("ATE0", {noise(5, "NO DIALTONE")});
             r.modem.ringAfterInit(std::nullopt);
             r.stopAtStatus(kWait);
         },
         "ATE0\r" + ate0, lines(kPort0, kInit, kInit, kWait) + stoppedIn(kWait),
         failed("09:15:02", kStop), 1, 3220ms},
        {"a result word as the sixth reply is an initialisation error", 0,
         [](Rig& r) { r.modem.setStanding("ATE0", noise(6, "BUSY")); }, ate0,
         lines(kPort0, kInit, kInit + kFail), failed("09:15:02", initError), 1, 3610ms},
        {"RING with CR LF around it answers the call", 0, stopAtStatus(kConnected), ata,
         lines(kPort0, kInit, kWait, kAnswer, kConnected) + stoppedIn(kConnected),
         failed("09:15:01", kStop), 0, 2220ms},
        {"other modem words are ignored while waiting for the ring", 0,
         [](Rig& r) {
             r.modem.ringAfterInit(std::nullopt);
             r.modem.onLine = [&r](const std::string& line) {
                 if (line != "ATE0")
                     return;
                 r.line.deliver(ScriptedModem::framed("NO CARRIER"), 1s);
                 r.line.deliver("RING\r", 3s);
             };
             r.modem.setStanding("ATA", {{"CONNECT 38400\r", 10ms}});
             r.stopAtStatus(kConnected);
         },
         ata, lines(kPort0, kInit, kWait, kWait, kAnswer, kConnected) + stoppedIn(kConnected),
         failed("09:15:03", kStop), 0, 4210ms},
        {"CONNECT on the 302nd reply after ATA", 0,
         [](Rig& r) {
             r.modem.setStanding("ATA", {{ScriptedModem::framed("CONNECT"), 602500ms}});
             r.stopAtStatus(kConnected);
         },
         ata, lines(kPort0, kInit, kWait, kAnswer, kConnected) + stoppedIn(kConnected),
         failed("09:25:03", kStop), 0, 604710ms},
        {"302 replies without CONNECT: reception stops", 1,
         [](Rig& r) { r.modem.setStanding("ATA", ScriptedModem::silence()); }, ata,
         lines(kPort1, kInit, kWait, kAnswer, kAnswer + kFail),
         failed("09:25:05", "ATAﾀｲﾑｱｳﾄ,CONNECT受信失敗!"), 1, 606110ms},
        {"NO CARRIER after ATA: a new cycle follows with automatic start", 1,
         [](Rig& r) {
             r.modem.queue("ATA", {ScriptedModem::reply("NO CARRIER")});
             r.ports.onOpen = [&r](int requests) {
                 if (requests == 2)
                     r.flags.requestStop();
             };
         },
         ata + kHangUp,
         lines(kPort1, kInit, kWait, kAnswer, kAnswer + kFail, kPreparing, kPort1, kInit,
               kInit + kFail),
         failed("09:15:01", notConnect + " " + kFail), 1, 5220ms, 2},
        {"NO CARRIER after ATA without automatic start: idle", 0,
         [](Rig& r) { r.modem.queue("ATA", {ScriptedModem::reply("NO CARRIER")}); }, ata,
         lines(kPort0, kInit, kWait, kAnswer, kAnswer + kFail), failed("09:15:01", notConnect), 1,
         2220ms},
        {"stop before ATE0", 1, stopAtStatus(kInit), kHangUp,
         lines(kPort1, kInit) + stoppedIn(kInit), failed("09:15:00", kStop), 0, 1s},
        {"stop after the reply to ATE0", 1, stopOnCommand("ATE0"), ate0,
         lines(kPort1, kInit) + stoppedIn(kInit), failed("09:15:00", kStop), 0, 1110ms},
        {"stop before the first read of the call wait", 1, stopAtStatus(kWait), ate0,
         lines(kPort1, kInit, kWait) + stoppedIn(kWait), failed("09:15:00", kStop), 0, 1110ms},
        {"stop before the first read after ATA", 1, stopOnCommand("ATA"), ata,
         lines(kPort1, kInit, kWait, kAnswer) + stoppedIn(kAnswer), failed("09:15:01", kStop), 0,
         2110ms},
        {"stop during the reads after ATA: the read ends, then the check", 1,
         [](Rig& r) {
             r.modem.setStanding("ATA", noise(3));
             r.observed.afterRead = [&r, noises = 0](const std::string& chunk) mutable {
                 if (chunk.find("NOISE") != std::string::npos && ++noises == 2)
                     r.flags.requestStop();
             };
         },
         ata, lines(kPort1, kInit, kWait, kAnswer) + stoppedIn(kAnswer), failed("09:15:01", kStop),
         0, 2720ms},
        {"a stop that only clears the running flag: no time stamp", 0,
         [](Rig& r) {
             r.flags.stopPressed = true;  // left over from before: every cycle forgets it
             r.display.onStatus = [&r](const std::string& s) {
                 if (s == kInit)
                     r.flags.running = false;
             };
         },
         kHangUp, lines(kPort0, kInit) + stoppedIn(kInit), kStop + " " + kFail, 0, 1s},
        {"port that cannot be opened", 1, [](Rig& r) { r.ports.failWith("ポートを開けません"); },
         "", lines(kFail), failed("09:15:00", "ﾎﾟｰﾄ 3: ポートを開けません"), 1, 1s},
    };
}

TEST(CommSession, RunsEveryPathOfTheCycle) {
    for (const CycleCase& c : cycleCases()) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.settings.AutoStart = static_cast<std::int16_t>(c.autoStart);
        c.setUp(r);
        r.run();

        EXPECT_EQ(r.line.written(), c.wire);
        Lines statuses = r.display.texts("status");
        ASSERT_FALSE(statuses.empty());
        EXPECT_EQ(statuses.front(), "");
        statuses.erase(statuses.begin());
        EXPECT_EQ(statuses, c.statuses);
        EXPECT_EQ(r.display.last("error"), c.error);
        EXPECT_EQ(r.display.texts("error").front(), "");
        EXPECT_EQ(r.display.count("beep"), c.beeps);
        EXPECT_EQ(r.clock.elapsed(), c.endsAt);
        EXPECT_EQ(r.ports.requestedPorts(), std::vector<int>(c.portRequests, 3));
        EXPECT_FALSE(r.flags.running);
        EXPECT_FALSE(r.ports.isOpen());
        EXPECT_EQ(r.ports.mostOpenAtOnce(), r.ports.opens() > 0 ? 1 : 0);
        EXPECT_TRUE(r.messages.shown().empty());
        // One history line per cycle, and the window back to idle as the very last thing.
        const std::string history = r.history();
        EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), c.portRequests);
        const std::vector<test::FakeDisplay::Call> calls = r.display.calls();
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls[calls.size() - 2], (test::FakeDisplay::Call{"busy", "0"}));
        EXPECT_EQ(calls.back(), (test::FakeDisplay::Call{"buttons", "0"}));
    }
}

// The first caller falls silent after two records; with automatic start the next call is served in
// full, and the output holds its records exactly once.
TEST(CommSession, ServesTheNextCallInFullAfterOneThatBrokeOffAmongTheRecords) {
    Rig r;
    r.settings.AutoStart = 1;
    r.settings.Field.fill(1);
    const std::vector<std::string> records = {utf8ToCp932("ｶﾀｶﾅ,表ソ,①").value_or(""), "2,b",
                                              "3,c"};
    const std::string all = records[0] + "\r\n2,b\r\n3,c\r\n";
    int connects = 0;
    r.modem.onConnect = [&](sim::SimulatedLine&) {
        test::UploadingTerminal whole("abc", records);
        if (++connects == 1) {
            r.modem.terminal = [whole, answered = 0](const std::string& line,
                                                     sim::SimulatedLine& wire) mutable {
                if (++answered <= 3)  // the file name and two records
                    whole(line, wire);
            };
        } else {
            r.modem.terminal = whole;
        }
    };
    r.ports.onOpen = [&r](int requests) {
        if (requests == 3)
            r.flags.requestStop();
    };
    r.run();

    EXPECT_EQ(connects, 2);
    EXPECT_NE(r.line.written().find("CAN\r+++\0\rATH0\rATE0\r"s), std::string::npos);
    EXPECT_TRUE(r.line.written().ends_with("ACK\r+++\0\rATH0\r"s + kHangUp));  // then stopped
    EXPECT_EQ(test::fileBytes(r.folder.path() / "abc.txt"), all);
    EXPECT_EQ(test::fileBytes(r.folder.path() / "Back.txt"), all);
    const std::string history = r.history();
    EXPECT_EQ(std::count(history.begin(), history.end(), '\n'), 3) << history;
    const std::size_t broken = history.find("ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ [異常終了]");
    const std::size_t served = history.find("ﾚｺｰﾄﾞ受信<3件> : 正常終了 :");
    EXPECT_NE(broken, std::string::npos) << history;
    EXPECT_NE(served, std::string::npos) << history;
    EXPECT_LT(broken, served) << history;
}

}  // namespace
}  // namespace karune
