// The serial port and the line I/O against the simulator's pseudo-terminal, in real time.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "link/Frame.h"
#include "link/LineIo.h"
#include "platform/PosixSerialPorts.h"
#include "platform/SystemClock.h"

extern char** environ;

namespace karune {
namespace {

// A running karune-sim whose standard output is read line by line.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int out[2];
        if (::pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), KARUNE_SIM_PATH);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, KARUNE_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        stdout_ = ::fdopen(out[0], "r");
    }
    ~Simulator() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
        if (stdout_)
            std::fclose(stdout_);
    }

    std::string readLine() {
        char buffer[512];
        if (!stdout_ || !std::fgets(buffer, sizeof buffer, stdout_))
            return {};
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return line;
    }

    // Exit status, or -1 when it did not exit normally.
    int wait() {
        int status = 0;
        if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_)
            return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    std::FILE* stdout_ = nullptr;
};

class SimulatorLinkTest : public ::testing::Test {
protected:
    void TearDown() override {
        ::unsetenv("KARUNE_COM2");
        std::filesystem::remove(recordsFile_);
    }

    std::string writeRecords(const std::vector<std::string>& records) {
        std::ofstream out(recordsFile_, std::ios::binary);
        for (const std::string& r : records)
            out << r << "\r\n";
        return recordsFile_;
    }

    std::unique_ptr<SerialLine> openSimulator(Simulator& sim) {
        const std::string path = sim.readLine();
        EXPECT_FALSE(path.empty());
        ::setenv("KARUNE_COM2", path.c_str(), 1);
        PortOpenResult opened = ports_.open(2);
        EXPECT_TRUE(opened.line) << opened.error;
        return std::move(opened.line);
    }

    void connect(LineIo& io) {
        io.SendLine("ATE0");
        ASSERT_EQ(io.ReceiveLine(), "\r\nOK\r\n");
        ASSERT_EQ(io.ReceiveLine(), "\r\nRING\r\n");
        io.SendLine("ATA");
        ASSERT_EQ(io.ReceiveLine(), "\r\nCONNECT 38400\r\n");
    }

    SystemClock clock_;
    PosixSerialPorts ports_{clock_};
    std::string recordsFile_ = ::testing::TempDir() + "karune-sim-records.txt";
};

TEST_F(SimulatorLinkTest, WholeUploadAtLineSpeed) {
    std::vector<std::string> records;
    for (int i = 0; i < 12; ++i)
        records.push_back("R" + std::to_string(i) + ",\x82\xa0,\xb1");
    for (int crcType : {0, 1}) {
        Simulator sim({"--records", writeRecords(records), "--name", "abc", "--crc",
                       std::to_string(crcType), "--ring-delay", "1", "--pace", "--timeout", "60"});
        auto line = openSimulator(sim);
        ASSERT_TRUE(line);
        LineIo io(*line, clock_);
        connect(io);

        io.SendLine("TW20070606091500");
        EXPECT_EQ(io.ReceiveLine(), "OK");
        io.SendLine("VOL");
        const std::string name = io.ReceiveLine();
        EXPECT_EQ(CheckFrame(name, '#', crcType), FrameCheck::Valid) << name;
        EXPECT_EQ(FramePayload(name), "abc@12");
        for (std::size_t i = 0; i < records.size(); ++i) {
            io.SendLine("ACK");
            const std::string frame = io.ReceiveLine();
            const char sequence = static_cast<char>('0' + i % 10);
            ASSERT_EQ(CheckFrame(frame, sequence, crcType), FrameCheck::Valid) << frame;
            EXPECT_EQ(FramePayload(frame), records[i]);
        }
        io.SendLine("ACK");
        EXPECT_EQ(io.ReceiveLine(), "END");
        io.SendLine("ACK");
        io.SendLine(std::string("+++\0", 4));
        io.SendLine("ATH0");
        EXPECT_EQ(sim.readLine(), "call 1: ACK, 12 records acknowledged");
        EXPECT_EQ(sim.wait(), 0);
    }
}

TEST_F(SimulatorLinkTest, ClosedLineReadsAsSilence) {
    Simulator sim({"--records", writeRecords({"A", "B"}), "--ring-delay", "1", "--drop-after", "1",
                   "--drop-mode", "close", "--timeout", "60"});
    auto line = openSimulator(sim);
    ASSERT_TRUE(line);
    LineIo io(*line, clock_);
    connect(io);
    io.SendLine("VOL");
    EXPECT_EQ(CheckFrame(io.ReceiveLine(), '#', 0), FrameCheck::Valid);
    io.SendLine("ACK");
    EXPECT_EQ(FramePayload(io.ReceiveLine()), "A");
    io.SendLine("ACK");
    EXPECT_EQ(sim.readLine(), "call 1: none, 1 records acknowledged");
    EXPECT_EQ(sim.wait(), 1);

    const auto start = clock_.now();
    EXPECT_EQ(io.ReceiveLine(), "");
    EXPECT_GE(clock_.now() - start, LineIo::kFirstCharacterWait);
    EXPECT_FALSE(line->write("NAK\r"));
}

}  // namespace
}  // namespace karune
