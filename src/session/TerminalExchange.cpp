#include "session/TerminalExchange.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "config/SettingsCheck.h"
#include "config/Utf8Path.h"
#include "link/Frame.h"
#include "link/ModemWords.h"
#include "session/ConvertRecords.h"
#include "session/FileNameFrame.h"
#include "session/Labels.h"
#include "session/OutputName.h"
#include "session/SignedNumber.h"
#include "session/TransferFiles.h"

namespace karune {
namespace {

constexpr std::string_view kClockWord = "TW";
constexpr std::string_view kClockSet = "OK";
constexpr std::string_view kFileNameRequest = "VOL";
constexpr std::string_view kAccepted = "ACK";
constexpr std::string_view kRejected = "NAK";
constexpr std::string_view kAbandoned = "BEL";
constexpr std::string_view kEnd = "END";

constexpr std::string_view kFileNameNoReply = "ENQ送信/ﾌｧｲﾙ名受信 : ﾀｰﾐﾅﾙ応答なし。";
constexpr std::string_view kFileNameFormatError = "ENQ送信/ﾌｧｲﾙ名受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
constexpr std::string_view kFileNameChecksumError = "ENQ送信/ﾌｧｲﾙ名受信 : CRC ｴﾗｰ";
constexpr std::string_view kFileNameOtherError = "ENQ送信/ﾌｧｲﾙ名受信 : その他 ｴﾗｰ";
constexpr std::string_view kFileNameModemError = "ENQ送信/ﾌｧｲﾙ名受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";
constexpr std::string_view kRecordTimeout = "ﾚｺｰﾄﾞ受信 : ﾀｲﾑｱｳﾄ ｴﾗｰ";
constexpr std::string_view kRecordFormatError = "ﾚｺｰﾄﾞ受信 : ﾌｫｰﾏｯﾄ ｴﾗｰ";
constexpr std::string_view kRecordChecksumError = "ﾚｺｰﾄﾞ受信 : CRC ｴﾗｰ";
constexpr std::string_view kRecordOtherError = "ﾚｺｰﾄﾞ受信 : その他 ｴﾗｰ";
constexpr std::string_view kRecordModemError = "ﾚｺｰﾄﾞ受信 : ﾓﾃﾞﾑ通信ｴﾗｰ";
constexpr std::string_view kRecordStatus = "ﾚｺｰﾄﾞ受信 : ";

constexpr std::int64_t kRetryLimit = 5;  // failed attempts tolerated by both phases
constexpr int kReadsPerStep = 5;
constexpr std::int16_t kSimpleProtocol = 1;

std::string twoDigits(int v) {
    return {static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

// "TW" and yyyymmddhhnnss.
std::string clockLine(const LocalDateTime& t) {
    return std::string(kClockWord) + std::to_string(t.year) + twoDigits(t.month) +
           twoDigits(t.day) + twoDigits(t.hour) + twoDigits(t.minute) + twoDigits(t.second);
}

char previousSequence(char expected) {
    return expected == '0' ? '9' : static_cast<char>(expected - 1);
}
char nextSequence(char current) {
    return current == '9' ? '0' : static_cast<char>(current + 1);
}

std::string_view fileNameCheckMessage(FrameCheck check) {
    switch (check) {
        case FrameCheck::FormatError:
            return kFileNameFormatError;
        case FrameCheck::ChecksumError:
            return kFileNameChecksumError;
        default:
            return kFileNameOtherError;
    }
}

std::string_view recordCheckMessage(FrameCheck check) {
    switch (check) {
        case FrameCheck::FormatError:
            return kRecordFormatError;
        case FrameCheck::ChecksumError:
            return kRecordChecksumError;
        default:
            return kRecordOtherError;
    }
}

// A file-name frame that passed every check, and what it announces.
struct AcceptedFrame {
    std::string frame;
    FileNameFrame announced;
};

class Exchange {
public:
    explicit Exchange(SessionContext& ctx) : ctx_(ctx), line_(*ctx.line) {}

    void run();

private:
    bool clockSettingOn() const { return readTimeAdjust(ctx_.settings.TimeAdjust).value_or(false); }
    // False when the exchange ends (stop pressed, or a modem word instead of "OK").
    bool setTerminalClock();
    std::optional<AcceptedFrame> receiveFileNameFrame();
    void acceptFileName(const FileNameFrame& announced);
    void receiveRecords(TransferFiles& files);
    bool storeRecord(TransferFiles& files, std::string_view record);

    // A fatal file-name error: message, "BEL" and a beep in the order the terminal expects them.
    void abandonFileName(std::string_view message) {
        ctx_.showError(kReplace, ctx_.stamped(message));
        line_.SendLine(kAbandoned);
        ctx_.beep();
    }
    void showRecordError(std::string_view message) {
        ctx_.showError(kReplace, ctx_.stamped(message));
        ctx_.showStatus(kNewLine, message);
    }

    SessionContext& ctx_;
    LineIo& line_;
};

void Exchange::run() {
    const std::optional<AcceptedFrame> accepted = receiveFileNameFrame();
    if (!accepted)
        return;
    acceptFileName(accepted->announced);

    TransferFiles files(ctx_);
    if (!files.open(accepted->frame))
        return;
    receiveRecords(files);
}

bool Exchange::setTerminalClock() {
    for (;;) {
        if (ctx_.stopRequested())
            return false;
        line_.SendLine(clockLine(ctx_.now()));
        const std::string reply = line_.ReceiveLine();
        if (reply == kClockSet)
            return true;
        // A dropped call answers with the modem's words, never with "OK".
        if (containsModemResultWord(reply)) {
            abandonFileName(kFileNameModemError);
            return false;
        }
    }
}

std::optional<AcceptedFrame> Exchange::receiveFileNameFrame() {
    std::int64_t retries = 0;
    for (;;) {
        ctx_.outputPath.clear();
        ctx_.display.setBusy(false);
        if (clockSettingOn() && !setTerminalClock())
            return std::nullopt;
        if (ctx_.stopRequested())
            return std::nullopt;
        line_.SendLine(kFileNameRequest);
        std::string reply = line_.ReceiveLine();

        if (reply.empty() && retries > kRetryLimit) {
            abandonFileName(kFileNameNoReply);
            return std::nullopt;
        }
        ++retries;
        if (reply.empty())
            continue;

        FrameCheck check = CheckFrame(reply, '#', ctx_.settings.CrcType);
        if (check == FrameCheck::Valid) {
            // Without "@" the frame names no file and announces no count.
            if (std::optional<FileNameFrame> announced = parseFileNameFrame(reply))
                return AcceptedFrame{std::move(reply), std::move(*announced)};
            check = FrameCheck::FormatError;
        }
        if (check == FrameCheck::ModemError) {
            abandonFileName(kFileNameModemError);
            return std::nullopt;
        }
        if (retries <= kRetryLimit) {
            line_.SendLine(kRejected);
            continue;
        }
        line_.SendLine(kAbandoned);
        ctx_.beep();
        ctx_.showError(kReplace, ctx_.stamped(fileNameCheckMessage(check)));
        return std::nullopt;
    }
}

void Exchange::acceptFileName(const FileNameFrame& announced) {
    line_.SendLine(kAccepted);
    const LocalDateTime now = ctx_.now();
    const Settings& settings = ctx_.settings;
    const std::string fileName =
        outputFileName(settings.AddDate, settings.FixFname, announced.name, now,
                       isSameFolder(pathFromUtf8(settings.Folder), ctx_.backFile.parent_path()));
    ctx_.announcedCount = announced.announcedCount;
    ctx_.recordCounter = 0;  // the file-name line of the log already counts this transfer
    ctx_.setProgressMaximum(announced.announcedCount);
    ctx_.setProgressValue(0);
    ctx_.setProgressVisible(true);
    ctx_.outputPath = outputPathFor(settings.Folder, fileName);
    ctx_.setFileText(fileName);
    ctx_.setStartText(dateText(now) + " " + timeText(now));
    ctx_.setStopText("");
    ctx_.display.setBusy(true);
}

void Exchange::receiveRecords(TransferFiles& files) {
    std::int64_t retries = 0;
    char expected = '0';
    const bool simple = ctx_.settings.Protocol == kSimpleProtocol;
    for (;;) {
        if (ctx_.stopRequested())
            return;
        std::string reply;
        for (int reads = 0; reads < kReadsPerStep && reply.empty(); ++reads)
            reply = line_.ReceiveLine();
        files.log(reply);
        ++retries;

        if (reply.empty() && retries < kRetryLimit) {
            line_.SendLine(kRejected);
            continue;
        }
        // The terminal missed our "ACK" and sends the last accepted record again. Only a whole,
        // valid frame counts as such a repeat: noise or a late copy glued to the next frame also
        // starts with "^" and the previous digit, and acknowledging it would lose that frame.
        if (!simple && CheckFrame(reply, previousSequence(expected), ctx_.settings.CrcType) ==
                           FrameCheck::Valid) {
            line_.SendLine(kAccepted);
            retries = 0;
            continue;
        }
        if (reply.empty()) {
            ctx_.beep();
            showRecordError(kRecordTimeout);
            return;
        }
        if (reply == kEnd) {
            files.close();
            ctx_.completed = ConvertRecords(ctx_);
            ctx_.setProgressValue(std::numeric_limits<std::int64_t>::max());
            return;
        }
        if (simple) {
            if (!storeRecord(files, reply))
                return;
            retries = 0;
            continue;
        }

        const FrameCheck check = CheckFrame(reply, expected, ctx_.settings.CrcType);
        if (check == FrameCheck::Valid) {
            if (!storeRecord(files, FramePayload(reply)))
                return;
            expected = nextSequence(expected);
            retries = 0;
            continue;
        }
        if (check == FrameCheck::ModemError) {
            showRecordError(kRecordModemError);
            line_.SendLine(kAbandoned);
            ctx_.beep();
            return;
        }
        if (retries <= kRetryLimit) {
            line_.SendLine(kRejected);
            continue;
        }
        line_.SendLine(kAbandoned);
        ctx_.beep();
        showRecordError(recordCheckMessage(check));
        return;
    }
}

bool Exchange::storeRecord(TransferFiles& files, std::string_view record) {
    if (!files.writeRecord(record))
        return false;
    ++ctx_.recordCounter;
    ctx_.showStatus(kReplace, std::string(kRecordStatus) + signPosition(ctx_.recordCounter) + "/" +
                                  std::to_string(ctx_.announcedCount));
    ctx_.setProgressValue(ctx_.recordCounter);
    line_.SendLine(kAccepted);
    return true;
}

}  // namespace

void ServeTerminal(SessionContext& ctx) {
    if (ctx.line == nullptr)
        return;
    Exchange(ctx).run();
}

}  // namespace karune
