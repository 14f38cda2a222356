#include <gtest/gtest.h>

#include "SimOptions.h"

namespace karune::modemsim {
namespace {

using namespace std::chrono_literals;

SimOptions parsed(const std::vector<std::string>& args) {
    auto result = parseSimOptions(args);
    if (const auto* error = std::get_if<UsageError>(&result)) {
        ADD_FAILURE() << error->message;
        return {};
    }
    return std::get<SimOptions>(result);
}

TEST(SimOptions, DefaultsPlayOneCleanCall) {
    const SimOptions o = parsed({});
    EXPECT_EQ(o.modem.calls, 1);
    EXPECT_FALSE(o.modem.silent);
    EXPECT_EQ(o.terminal.protocol, 0);
    EXPECT_EQ(o.terminal.crcType, 0);
    EXPECT_EQ(o.terminal.corruptSends, 0);
    EXPECT_EQ(o.terminal.repeatRecords, 0);
    EXPECT_EQ(o.terminal.dropAfter, std::nullopt);
    EXPECT_FALSE(o.pace);
}

TEST(SimOptions, EveryOptionReachesItsField) {
    const SimOptions o = parsed({"--records",
                                 "r.txt",
                                 "--name",
                                 "ﾃﾞｰﾀ",
                                 "--protocol",
                                 "1",
                                 "--crc",
                                 "1",
                                 "--ring-delay",
                                 "5",
                                 "--calls",
                                 "3",
                                 "--silent",
                                 "--repeat",
                                 "2",
                                 "--drop-after",
                                 "4",
                                 "--drop-mode",
                                 "carrier",
                                 "--pace",
                                 "--link",
                                 "/tmp/modem",
                                 "--timeout",
                                 "60"});
    EXPECT_EQ(o.recordsFile, "r.txt");
    EXPECT_EQ(o.terminal.name, "\xc3\xde\xb0\xc0");  // the half-width katakana in CP932
    EXPECT_EQ(o.terminal.protocol, 1);
    EXPECT_EQ(o.terminal.crcType, 1);
    EXPECT_EQ(o.modem.ringDelay, 5s);
    EXPECT_EQ(o.modem.calls, 3);
    EXPECT_TRUE(o.modem.silent);
    EXPECT_EQ(o.terminal.repeatRecords, 2);
    EXPECT_EQ(o.terminal.dropAfter, 4);
    EXPECT_EQ(o.dropMode, DropMode::Carrier);
    EXPECT_TRUE(o.pace);
    EXPECT_EQ(o.linkPath, "/tmp/modem");
    EXPECT_EQ(o.timeout, 60s);
    EXPECT_EQ(parsed({"--corrupt", "6"}).terminal.corruptSends, 6);
    EXPECT_EQ(parsed({"--drop-mode", "close"}).dropMode, DropMode::Close);
}

struct BadCase {
    std::vector<std::string> args;
    std::string mentions;
};

TEST(SimOptions, BadCommandLinesAreRefusedWithAReason) {
    const BadCase cases[] = {
        {{"--crc", "2"}, "--crc"},
        {{"--protocol", "x"}, "--protocol"},
        {{"--calls", "0"}, "--calls"},
        {{"--calls", "2x"}, "--calls"},
        {{"--corrupt", "-1"}, "--corrupt"},
        {{"--calls"}, "--calls needs a value"},
        {{"--bogus"}, "--bogus"},
        {{"--drop-mode", "sideways"}, "sideways"},
        {{"--protocol", "1", "--corrupt", "1"}, "--corrupt"},
        {{"--name", ""}, "--name"},
    };
    for (const BadCase& c : cases) {
        const auto result = parseSimOptions(c.args);
        const auto* error = std::get_if<UsageError>(&result);
        ASSERT_NE(error, nullptr) << c.args.front();
        EXPECT_NE(error->message.find(c.mentions), std::string::npos) << error->message;
    }
}

TEST(SimOptions, HelpIsAnEmptyUsageError) {
    const auto result = parseSimOptions({"--help"});
    const auto* help = std::get_if<UsageError>(&result);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->message, "");
    EXPECT_NE(usageText("karune-sim").find("--drop-mode"), std::string::npos);
}

}  // namespace
}  // namespace karune::modemsim
