#include "session/CommSession.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "link/Cp932.h"
#include "link/LineIo.h"
#include "link/ModemWords.h"
#include "session/ClosingReport.h"
#include "session/FreeSpace.h"
#include "session/Labels.h"
#include "session/SessionContext.h"
#include "session/SignedNumber.h"
#include "session/TerminalExchange.h"

namespace karune {
namespace {

constexpr std::string_view kPort = "ﾎﾟｰﾄ";
constexpr std::string_view kPortSettings = "O/S/A ->";
constexpr std::string_view kInitialising = "ﾓﾃﾞﾑ初期化中 ... ";
constexpr std::string_view kWaitingForRing = "ﾓﾃﾞﾑ着信(RING)待ち ... ";
constexpr std::string_view kAnswering = "ﾓﾃﾞﾑ接続開始 ... ";
constexpr std::string_view kConnected = "ﾓﾃﾞﾑ接続完了 ... ";
constexpr std::string_view kPreparing = "準備中 ... ";
constexpr std::string_view kModemSilent = "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。";
constexpr std::string_view kModemInitError = "ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ初期化ｴﾗｰです。";
constexpr std::string_view kCheckUnanswered = "ATﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。";
constexpr std::string_view kReadyLineDropped = "DSR断,ﾓﾃﾞﾑ応答なし。";
constexpr std::string_view kAnswerRefused = "ATAﾀｲﾑｱｳﾄ,CONNECT以外受信! ";
constexpr std::string_view kNoConnect = "ATAﾀｲﾑｱｳﾄ,CONNECT受信失敗!";

// Replies read after one "ATE0": the modem may need a few to settle (echo, a late result).
constexpr int kInitReplies = 6;
// Replies read after "ATA": some 10 minutes of silence at one reply per 2 s.
constexpr int kAnswerReplies = 302;
// How often a modem that has been quiet for a while is asked "AT" before it counts as silent.
constexpr int kCheckTries = 3;

// The modem takes "+++" as an escape only after a silence on the line.
constexpr Clock::Duration kEscapeGuardTime = std::chrono::seconds(1);
constexpr Clock::Duration kRestartPause = std::chrono::seconds(2);
// How often a lost port is tried again; a stop waits at most this long.
constexpr Clock::Duration kPortRetryPause = std::chrono::seconds(3);
// How often a silent modem is initialised again.
constexpr Clock::Duration kModemRetryPause = std::chrono::minutes(1);

constexpr std::string_view kEscape{"+++\0", 4};

void fail(SessionContext& ctx, std::string_view message) {
    ctx.beep();
    ctx.showError(kReplace, ctx.stamped(message));
}

// The port error; the session decides whether reception stops.
void failPort(SessionContext& ctx, std::string_view reason) {
    fail(ctx, std::string(kPort) + signPosition(ctx.settings.Port) + ": " + std::string(reason));
    ctx.portFailed = true;
}

// The modem does not answer; the session decides whether reception stops.
void failSilentModem(SessionContext& ctx, std::string_view message) {
    fail(ctx, message);
    ctx.modemSilent = true;
}

// True, with the port error shown, once the port has gone away: silence from a pulled adapter
// would otherwise be waited on for ever, while a service manager could restart the program until
// the adapter is back.
bool portLost(SessionContext& ctx, const LineIo& line) {
    const std::string lost = line.lostReason();
    if (!lost.empty())
        failPort(ctx, lost);
    return !lost.empty();
}

std::string portSettingsText(const Settings& s) {
    return std::string(kPort) + signPosition(s.Port) + ":" + std::string(kPortSettings) +
           signPosition(s.OverWrite) + "/" + signPosition(s.StartUpSize) + "/" +
           signPosition(s.AutoStart);
}

enum class ModemInit { Ready, Stopped, Silent, Refused };

// Brings the modem into command mode without echo.
ModemInit initialise(SessionContext& ctx, LineIo& line) {
    std::string reply;
    for (bool restart = true; restart;) {
        restart = false;
        ctx.showStatus(kReplace, kInitialising);
        if (ctx.stopRequested())
            return ModemInit::Stopped;
        line.PrepareRead();
        line.SendLine("ATE0");
        for (int replies = 1;; ++replies) {
            reply = line.ReceiveLine();
            if (ctx.stopRequested())
                return ModemInit::Stopped;
            if (containsModemResultWord(reply) && replies < kInitReplies) {
                ctx.beep();
                restart = true;
                break;
            }
            if (containsWord(reply, "OK") || replies == kInitReplies)
                break;
        }
    }
    if (containsWord(reply, "OK"))
        return ModemInit::Ready;
    return reply.empty() ? ModemInit::Silent : ModemInit::Refused;
}

// False when the cycle must close: stopped, or the modem does not answer as it should (a modem
// that answers wrongly stops reception).
[[nodiscard]] bool initialiseModem(SessionContext& ctx, LineIo& line) {
    switch (initialise(ctx, line)) {
        case ModemInit::Ready:
            ctx.modemAnswered = true;
            return true;
        case ModemInit::Stopped:
            return false;
        case ModemInit::Silent:
            failSilentModem(ctx, kModemSilent);
            return false;
        case ModemInit::Refused:
            break;
    }
    fail(ctx, kModemInitError);
    ctx.flags.running = false;
    return false;
}

enum class ModemCheck { Answered, Ring, Silent, Stopped };

// Asks a quiet modem "AT" until it says "OK", a few times. A ring that comes meanwhile is a ring.
ModemCheck checkModem(SessionContext& ctx, LineIo& line) {
    for (int tries = 0; tries < kCheckTries; ++tries) {
        if (ctx.stopRequested())
            return ModemCheck::Stopped;
        line.PrepareRead();
        line.SendLine("AT");
        const std::string reply = line.ReceiveLine();
        if (containsWord(reply, "RING"))
            return ModemCheck::Ring;
        if (containsWord(reply, "OK"))
            return ModemCheck::Answered;
    }
    return ModemCheck::Silent;
}

// Waits without limit for a ring. False when stopped, when the port went away, or when the modem
// fell silent: its ready line dropped, or it did not answer the check that follows `checkAfter`
// of quiet on the line (zero: never checked).
[[nodiscard]] bool waitForRing(SessionContext& ctx, LineIo& line, Clock::Duration checkAfter) {
    // Only a drop counts: a cable without the wire, or a modem set to hold the line low, never
    // raises it.
    const bool watchReadyLine = line.modemReady() == true;
    Clock::TimePoint heard = ctx.clock.now();
    for (;;) {
        ctx.showStatus(kReplace, kWaitingForRing);
        if (ctx.stopRequested())
            return false;
        const std::string reply = line.ReceiveLine();
        if (containsWord(reply, "RING"))
            return true;
        if (portLost(ctx, line))
            return false;
        if (watchReadyLine && line.modemReady() == false) {
            failSilentModem(ctx, kReadyLineDropped);
            return false;
        }
        if (!reply.empty())
            heard = ctx.clock.now();
        if (checkAfter <= Clock::Duration::zero() || ctx.clock.now() - heard < checkAfter)
            continue;
        switch (checkModem(ctx, line)) {
            case ModemCheck::Answered:
                heard = ctx.clock.now();
                break;
            case ModemCheck::Ring:
                return true;
            case ModemCheck::Stopped:
                return false;
            case ModemCheck::Silent:
                if (!portLost(ctx, line))
                    failSilentModem(ctx, kCheckUnanswered);
                return false;
        }
    }
}

// Answers the call. False when the cycle must close: stopped, the call failed (the next cycle may
// follow), or no connection came (reception then stops).
[[nodiscard]] bool answerCall(SessionContext& ctx, LineIo& line) {
    ctx.showStatus(kReplace, kAnswering);
    line.PrepareRead();
    line.SendLine("ATA");
    for (int replies = 1; replies <= kAnswerReplies; ++replies) {
        if (ctx.stopRequested())
            return false;
        const std::string reply = line.ReceiveLine();
        if (containsModemResultWord(reply)) {
            fail(ctx, std::string(kAnswerRefused) + cp932ToUtf8Lossy(reply));
            return false;
        }
        if (containsWord(reply, "CONNECT"))
            return true;
    }
    fail(ctx, kNoConnect);
    ctx.flags.running = false;
    return false;
}

void runModemDialogue(SessionContext& ctx, LineIo& line, const SessionServices& services,
                      std::uintmax_t& largestTransfer) {
    if (!initialiseModem(ctx, line) || !waitForRing(ctx, line, services.modemCheck))
        return;
    warnOfLowSpace(ctx, services.freeSpace, largestTransfer);
    if (!answerCall(ctx, line))
        return;
    ctx.flags.callInProgress = true;
    ctx.showStatus(kReplace, kConnected);
    ServeTerminal(ctx);
}

// Report, escape to command mode and hang up, history. The escape and the hang-up are sent
// blind: their replies are of no use, and a port that is not open makes them no-ops.
void closeCycle(SessionContext& ctx) {
    ReportCompletion(ctx);
    ctx.clock.sleepFor(kEscapeGuardTime);
    if (ctx.line != nullptr) {
        ctx.line->SendLine(kEscape);
        ctx.line->SendLine("ATH0");
    }
    ctx.flags.callInProgress = false;
    WriteHistoryLine(ctx);
}

}  // namespace

CommSession::CommSession(SessionServices services, SessionFlags& flags, Settings snapshot,
                         std::filesystem::path backFile, WindowFields window)
    : services_(services),
      flags_(flags),
      settings_(std::move(snapshot)),
      backFile_(std::move(backFile)),
      window_(std::move(window)) {}

void CommSession::run() {
    SessionContext ctx(services_.clock, services_.display, services_.messages, flags_, settings_,
                       backFile_, std::move(window_), services_.files);
    ctx.showStatus(kReplace, "");
    ctx.showError(kReplace, "");
    warnOfLowSpace(ctx, services_.freeSpace, largestTransfer_);

    bool portWorked = false;
    PortOpenResult port = services_.ports.open(settings_.Port);
    for (;;) {
        ctx.resetCycle();
        flags_.stopPressed = false;

        if (port.line == nullptr) {
            failPort(ctx, port.error);
            closeCycle(ctx);
        } else {
            portWorked = true;
            ctx.showStatus(kReplace, portSettingsText(settings_));
            LineIo line(*port.line, services_.clock);
            ctx.line = &line;
            runModemDialogue(ctx, line, services_, largestTransfer_);
            closeCycle(ctx);
            ctx.line = nullptr;
        }
        lastCycleCompleted_ = ctx.completed;
        window_ = ctx.windowFields();

        const bool retryPort = ctx.portFailed && portWorked && services_.retryLostPort;
        const bool retryModem = ctx.modemSilent && ctx.modemAnswered && services_.retryLostPort;
        if ((ctx.portFailed && !retryPort) || (ctx.modemSilent && !retryModem))
            flags_.running = false;
        if (settings_.AutoStart == 1 && flags_.running) {
            ctx.showStatus(kReplace, kPreparing);
            port.line.reset();
            services_.clock.sleepFor(kRestartPause);
            if (!retryPort && !retryModem) {
                port = services_.ports.open(settings_.Port);
                continue;
            }
            port = retryPort ? reopenLostPort() : awaitSilentModem(ctx);
            if (port.line != nullptr) {
                ctx.showError(kReplace, "");  // the port or modem error is over
                continue;
            }
        }
        services_.display.setBusy(false);
        flags_.running = false;
        port.line.reset();
        services_.display.setCommButtons(0);
        return;
    }
}

PortOpenResult CommSession::reopenLostPort() {
    // Quietly: the port error stays on show, and no beep or history line is repeated for a port
    // that is still missing.
    for (;;) {
        if (!flags_.running)
            return {};
        PortOpenResult port = services_.ports.open(settings_.Port);
        if (port.line != nullptr)
            return port;
        services_.clock.sleepFor(kPortRetryPause);
    }
}

PortOpenResult CommSession::awaitSilentModem(SessionContext& ctx) {
    // Quietly too: the modem's error keeps the time it fell silent.
    for (;;) {
        if (!pauseUnlessStopped(kModemRetryPause))
            return {};
        PortOpenResult port = services_.ports.open(settings_.Port);
        if (port.line == nullptr)
            continue;
        LineIo line(*port.line, services_.clock);
        switch (initialise(ctx, line)) {
            case ModemInit::Ready:
                return port;
            case ModemInit::Stopped:
                return {};
            case ModemInit::Silent:
            case ModemInit::Refused:
                ctx.showStatus(kReplace, kPreparing);
        }
    }
}

bool CommSession::pauseUnlessStopped(Clock::Duration pause) {
    const Clock::TimePoint end = services_.clock.now() + pause;
    for (;;) {
        if (!flags_.running)
            return false;
        const Clock::TimePoint now = services_.clock.now();
        if (now >= end)
            return true;
        services_.clock.sleepUntil(std::min(end, now + kPortRetryPause));
    }
}

}  // namespace karune
