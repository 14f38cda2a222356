#include "FaultRig.h"

#include "session/CommSession.h"
#include "support/FileBytes.h"

namespace karune::test {
namespace {

// A line that never pauses: no CR, no modem word, bytes of every kind.
std::string babbleChunk() {
    std::string chunk;
    for (std::size_t i = 0; chunk.size() < BabblingLine::kChunk; ++i) {
        const char c = static_cast<char>(0x20 + (i * 37) % 0xE0);
        chunk += c;
    }
    return chunk;
}

// A run that never ends would hang the test binary; this many lines ends it with a stop.
constexpr long kRunawayLines = 200'000;

}  // namespace

std::optional<std::string> regularFileBytes(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec)))
        return std::nullopt;
    return fileBytes(path);
}

std::string BabblingLine::readUntil(Clock::TimePoint deadline) {
    FaultyTerminal* t = terminal_();
    if (t == nullptr || !t->babbling())
        return inner_.readUntil(deadline);
    inner_.clock().advanceBy(kChunkTime);
    babbled_ += kChunk;
    static const std::string chunk = babbleChunk();
    return chunk;
}

bool BabblingLine::write(std::string_view bytes) {
    if (FaultyTerminal* t = terminal_();
        t != nullptr && bytes.find("+++") != std::string_view::npos)
        t->stopBabbling();
    return inner_.write(bytes);
}

FaultRig::FaultRig(std::vector<std::string> records) {
    std::filesystem::create_directories(out);
    settings.Folder = std::string(reinterpret_cast<const char*>(out.u8string().c_str()));
    settings.Port = 1;
    settings.AutoStart = 1;
    settings.OverWrite = 0;
    settings.TimeAdjust = "0";
    settings.Field.fill(1);
    healthy.records = std::move(records);
    ports.setOpenLimit(20);

    modem.onConnect = [this](sim::SimulatedLine&) {
        FaultyTerminal::Options o = healthy;
        if (++connects_ == 1) {
            o.fault = firstCallFault;
            o.noiseBeforeFirstSend = firstCallNoise;
        }
        terminal.emplace(o);
    };
    modem.terminal = [this](const std::string& l, sim::SimulatedLine& wire) {
        if (terminal)
            (*terminal)(l, wire);
    };
    modem.onLine = [this](const std::string& l) { pcLine(l); };
}

void FaultRig::pcLine(const std::string& text) {
    if (++linesSent_ > kRunawayLines)
        flags.requestStop();
    if (onLine)
        onLine(text);
    if (text == "ATE0" && ends.size() == 1 && !healed_) {
        healed_ = true;
        if (afterFirstCycle)
            afterFirstCycle();
    }
    if (modem.connected() && !text.starts_with("+++"))
        lastWord_ = text;
    if (text != "ATH0")
        return;
    CycleEnd end;
    end.finalWord = lastWord_;
    end.error = display.last("error");
    end.backup = regularFileBytes(backFile);
    end.output = regularFileBytes(output());
    ends.push_back(end);
    lastWord_.clear();
    if (ends.size() == 1)
        naksInFirstCall = terminal ? terminal->naksReceived() : 0;
    terminal.reset();
    if (ends.size() >= cyclesWanted)
        flags.running = false;
}

void FaultRig::run() {
    // Reception that stopped itself (a silent modem, a stop) is started again, as the operator
    // would.
    for (int runs = 0; ends.size() < cyclesWanted && runs < 3; ++runs) {
        flags.running = true;
        flags.stopPressed = false;
        CommSession session(SessionServices{ports, clock, display, messages}, flags, settings,
                            backFile);
        session.run();
    }
}

}  // namespace karune::test
