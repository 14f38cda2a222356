#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/SystemClock.h"
#include "platform/posix/PosixSerialPorts.h"

namespace karune {
namespace {

using namespace std::chrono_literals;

// The far end of a pseudo-terminal whose slave is COM1.
class PtyMaster {
public:
    PtyMaster() {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0 || ::grantpt(fd_) != 0 || ::unlockpt(fd_) != 0)
            return;
        char name[256];
        if (::ptsname_r(fd_, name, sizeof name) == 0)
            slavePath_ = name;
    }
    ~PtyMaster() { close(); }

    bool ok() const { return fd_ >= 0 && !slavePath_.empty(); }
    int fd() const { return fd_; }
    const std::string& slavePath() const { return slavePath_; }

    void send(std::string_view bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Collects until `size` bytes have come or two seconds pass.
    std::string receive(std::size_t size) {
        std::string got;
        const auto giveUp = std::chrono::steady_clock::now() + 2s;
        while (got.size() < size && std::chrono::steady_clock::now() < giveUp) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    std::string slavePath_;
};

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class PosixSerialLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(master_.ok());
        ::setenv("KARUNE_COM1", master_.slavePath().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("KARUNE_COM1"); }

    std::unique_ptr<SerialLine> openCom1() {
        PortOpenResult opened = ports_.open(1);
        EXPECT_TRUE(opened.line) << opened.error;
        EXPECT_TRUE(opened.error.empty());
        return std::move(opened.line);
    }

    SystemClock clock_;
    PosixSerialPorts ports_{clock_};
    PtyMaster master_;
};

TEST_F(PosixSerialLineTest, BytesWrittenArriveUnchanged) {
    const std::string cases[] = {
        "ATE0\r",
        "+++" + std::string(1, '\0') + "\r",
        "ACK\r\n\n\r",
        "\x82\xa0\x83\x65\xb1\xdf\x7f\xff",  // CP932, half-width katakana, DEL, 0xFF
        std::string(3000, 'x'),
    };
    auto line = openCom1();
    ASSERT_TRUE(line);
    for (const std::string& bytes : cases) {
        ASSERT_TRUE(line->write(bytes));
        EXPECT_EQ(master_.receive(bytes.size()), bytes);
    }
}

TEST_F(PosixSerialLineTest, ReadReturnsEverythingWaitingUnchanged) {
    const std::vector<std::string> cases[] = {
        {"\r\nOK\r\n"},
        {"^0A,B,C*D6\r"},
        {"\x82\xa0\r\x11\x13\x03\x1a"},  // XON, XOFF, ^C and ^Z are data on a raw line
        {"\r\nRI", "NG\r\n", "tail"},    // several chunks waiting
    };
    auto line = openCom1();
    ASSERT_TRUE(line);
    for (const std::vector<std::string>& chunks : cases) {
        std::string all;
        for (const std::string& chunk : chunks) {
            master_.send(chunk);
            all += chunk;
        }
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(line->readUntil(clock_.now() + 2s), all);
    }
}

TEST_F(PosixSerialLineTest, ReadWakesWhenDataArrivesDuringTheWait) {
    auto line = openCom1();
    ASSERT_TRUE(line);
    std::thread sender([&] {
        std::this_thread::sleep_for(100ms);
        master_.send("OK\r");
    });
    const auto start = clock_.now();
    const std::string got = line->readUntil(start + 5s);
    sender.join();
    EXPECT_EQ(got, "OK\r");
    EXPECT_LT(clock_.now() - start, 4s);
}

TEST_F(PosixSerialLineTest, EmptyReadEndsAtItsDeadlineNotBefore) {
    auto line = openCom1();
    ASSERT_TRUE(line);
    for (const auto wait : {0ms, 1ms, 120ms, 300ms}) {
        const auto deadline = clock_.now() + wait;
        EXPECT_EQ(line->readUntil(deadline), "");
        EXPECT_GE(clock_.now(), deadline) << wait.count() << " ms";
    }
}

TEST_F(PosixSerialLineTest, InputWaitingBeforeTheOpenIsDiscarded) {
    const int early = ::open(master_.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(early, 0);
    master_.send("stale RING\r\n");
    std::this_thread::sleep_for(50ms);
    auto line = openCom1();
    ::close(early);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->readUntil(clock_.now() + 200ms), "");
    master_.send("OK\r");
    EXPECT_EQ(line->readUntil(clock_.now() + 2s), "OK\r");
}

TEST_F(PosixSerialLineTest, HangUpReadsAsSilenceWithoutSpinning) {
    auto line = openCom1();
    ASSERT_TRUE(line);
    master_.close();

    const double cpuBefore = cpuSeconds();
    int reads = 0;
    const auto end = clock_.now() + 1s;
    while (clock_.now() < end) {
        const auto deadline = clock_.now() + 100ms;
        EXPECT_EQ(line->readUntil(deadline), "");
        EXPECT_GE(clock_.now(), deadline);
        ++reads;
    }
    EXPECT_LE(reads, 11);
    EXPECT_LT(cpuSeconds() - cpuBefore, 0.2) << "reads of a hung-up line must sleep";
    EXPECT_FALSE(line->write("ATH0\r"));
}

TEST_F(PosixSerialLineTest, LineSettingsAreThoseOfTheModemAndAreRestoredOnClose) {
    termios before{};
    {
        const int holder = ::open(master_.slavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::tcgetattr(holder, &before), 0);
        before.c_lflag |= ICANON | ECHO;
        before.c_iflag |= IXON | ICRNL;
        ::cfsetospeed(&before, B9600);
        ::cfsetispeed(&before, B9600);
        ASSERT_EQ(::tcsetattr(holder, TCSANOW, &before), 0);

        auto line = openCom1();
        ASSERT_TRUE(line);
        termios t{};
        ASSERT_EQ(::tcgetattr(holder, &t), 0);
        EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B38400));
        EXPECT_EQ(::cfgetispeed(&t), static_cast<speed_t>(B38400));
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        EXPECT_EQ(t.c_oflag & OPOST, 0u);

        line.reset();
        termios after{};
        ASSERT_EQ(::tcgetattr(holder, &after), 0);
        ::close(holder);
        EXPECT_EQ(after.c_lflag & (ICANON | ECHO), before.c_lflag & (ICANON | ECHO));
        EXPECT_EQ(after.c_iflag & (IXON | ICRNL), before.c_iflag & (IXON | ICRNL));
        EXPECT_EQ(::cfgetospeed(&after), static_cast<speed_t>(B9600));
    }
}

TEST_F(PosixSerialLineTest, PortIsExclusiveAndBusyWhileOpenOnly) {
    const int holder = ::open(master_.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    auto exclusive = [&] {
        int flag = -1;
        EXPECT_EQ(::ioctl(holder, TIOCGEXCL, &flag), 0);
        return flag;
    };
    EXPECT_EQ(exclusive(), 0);
    auto line = openCom1();
    ASSERT_TRUE(line);
    EXPECT_EQ(exclusive(), 1) << "other users' opens must be refused";
    const PortOpenResult second = ports_.open(1);
    EXPECT_FALSE(second.line);
    EXPECT_NE(second.error.find("使用中"), std::string::npos) << second.error;
    EXPECT_NE(second.error.find(master_.slavePath()), std::string::npos) << second.error;

    line.reset();
    EXPECT_EQ(exclusive(), 0) << "a tty held open elsewhere must be usable again";
    const PortOpenResult again = ports_.open(1);
    EXPECT_TRUE(again.line) << "closing must release the port: " << again.error;
    ::close(holder);
}

struct OpenFailure {
    int port;
    const char* device;  // set as KARUNE_COM<port>; null leaves it unset
    std::string meaning;
};

TEST(PosixSerialPorts, FailedOpensExplainThemselves) {
    SystemClock clock;
    PosixSerialPorts ports(clock);
    const OpenFailure cases[] = {
        {2, "/nonexistent/ttyMODEM", "/nonexistent/ttyMODEM がありません"},
        {3, "/dev/null", "/dev/null はシリアルポートではありません"},
        {4, "/tmp", "/tmp はシリアルポートではありません"},
        {0, nullptr, "ポート番号 0"},
        {9, nullptr, "ポート番号 9"},
    };
    for (const OpenFailure& c : cases) {
        const std::string name = "KARUNE_COM" + std::to_string(c.port);
        if (c.device)
            ::setenv(name.c_str(), c.device, 1);
        const PortOpenResult result = ports.open(c.port);
        if (c.device)
            ::unsetenv(name.c_str());
        EXPECT_FALSE(result.line) << name;
        EXPECT_NE(result.error.find(c.meaning), std::string::npos) << result.error;
    }
}

}  // namespace
}  // namespace karune
