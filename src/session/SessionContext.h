#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "config/FileSystem.h"
#include "config/OperatorMessages.h"
#include "config/Settings.h"
#include "link/Clock.h"
#include "link/LineIo.h"
#include "session/Display.h"
#include "session/SessionFlags.h"
#include "session/WindowFields.h"

namespace karune {

// Everything one reception cycle works with: the services it reaches the world through, the
// settings snapshot taken when reception started, and the state the modem dialogue, the terminal
// exchange and the completion report share. The session keeps the label texts itself, so that the
// history line can read them without asking the window.
class SessionContext {
public:
    // `window`: the window's fields as earlier receptions left them.
    SessionContext(Clock& clk, Display& disp, OperatorMessages& msgs, SessionFlags& flg,
                   Settings snapshot, std::filesystem::path backupPath, WindowFields window = {},
                   FileSystem& fileSystem = systemFileSystem())
        : clock(clk),
          display(disp),
          messages(msgs),
          flags(flg),
          settings(std::move(snapshot)),
          backFile(std::move(backupPath)),
          files(fileSystem),
          outputPath(std::move(window.outputPath)),
          progressMax_(window.progressMax),
          progressValue_(window.progressValue),
          progressVisible_(window.progressVisible) {}

    Clock& clock;
    Display& display;
    OperatorMessages& messages;
    SessionFlags& flags;
    const Settings settings;
    const std::filesystem::path backFile;
    FileSystem& files;

    // The line of the current cycle; null while the port is closed.
    LineIo* line = nullptr;

    // Shared by the terminal exchange and the completion report; see resetCycle().
    bool completed = false;           // "END" arrived and the output file was written
    int conversionError = 0;          // why the conversion failed (errno); 0 on success
    int logError = 0;                 // why "LOG.TXT" could not be opened; 0 when it was
    std::int64_t announcedCount = 0;  // record count of the file-name frame
    std::int64_t recordCounter = 0;   // records accepted in this transfer
    std::string outputPath;           // UTF-8; kept until the next file-name try
    std::string keptBackup;           // UTF-8; where this transfer kept an unconverted back-up
    bool portFailed = false;          // the port could not be opened or went away
    bool modemSilent = false;         // the modem did not answer
    bool modemAnswered = false;       // the modem answered "ATE0" in this session; not per cycle

    bool stopRequested() const { return !flags.running; }

    LocalDateTime now() const { return clock.localNow(); }
    std::string stamp() const { return timeStamp(clock.localNow()); }
    // Time stamp, ">" and the message.
    std::string stamped(std::string_view message) const {
        return stamp() + ">" + std::string(message);
    }

    void showStatus(int mode, std::string_view text);
    void showError(int mode, std::string_view text);
    const std::string& statusText() const { return status_; }
    const std::string& errorText() const { return error_; }

    void setFileText(const std::string& text) { display.setFileText(text); }
    void setStartText(const std::string& text) { display.setStartText(text); }
    void setStopText(const std::string& text);
    const std::string& stopText() const { return stop_; }

    // The progress bar keeps its maximum when asked for one of 0 or less, and its value never
    // goes beyond the maximum.
    void setProgressMaximum(std::int64_t maximum);
    void setProgressValue(std::int64_t value);
    void setProgressVisible(bool visible);

    void beep() { display.beep(); }

    // What the window keeps of this reception for the next one.
    WindowFields windowFields() const {
        return {outputPath, progressMax_, progressValue_, progressVisible_};
    }

    // Start of a cycle: completion result and the port and modem failures false; the
    // stop-pressed flag is cleared by the caller.
    void resetCycle() {
        completed = false;
        conversionError = 0;
        logError = 0;
        portFailed = false;
        modemSilent = false;
        keptBackup.clear();
    }

private:
    void pushProgress() { display.setProgress(progressMax_, progressValue_, progressVisible_); }

    std::string status_;
    std::string error_;
    std::string stop_;
    int progressMax_;
    int progressValue_;
    bool progressVisible_;
};

}  // namespace karune
