#include <gtest/gtest.h>

#include <sstream>

#include "SimOptions.h"

namespace karune::modemsim {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

TEST(SimOptions, EveryOptionReachesItsField) {
    const auto result = parseSimOptions(words(
        "--records r.txt --name ﾃﾞｰﾀ --protocol 1 --crc 1 --ring-delay 5 --calls 3 --silent "
        "--repeat 2 --drop-after 4 --drop-mode carrier --pace --link /tmp/modem --timeout 60"));
    ASSERT_TRUE(std::holds_alternative<SimOptions>(result));
    const SimOptions& o = std::get<SimOptions>(result);
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
    EXPECT_EQ(std::get<SimOptions>(parseSimOptions({"--corrupt", "6"})).terminal.corruptSends, 6);
}

}  // namespace
}  // namespace karune::modemsim
