#include "config/SettingsCheck.h"

#include <gtest/gtest.h>

namespace karune {
namespace {

TEST(SettingsCheck, ReadsTextsAsNumbersOnlyWhenTheyAreWhollyNumeric) {
    const std::pair<const char*, double> numbers[] = {{"1", 1.0},       {"0", 0.0},   {"0.5", 0.5},
                                                      {".5", 0.5},      {" 1 ", 1.0}, {"+1", 1.0},
                                                      {"-0.25", -0.25}, {"1e0", 1.0}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(numberFromText(text), value) << '"' << text << '"';
    for (const char* text : {"", "  ", "abc", "1a", "1,0", "+-1", "++1", "inf", "nan", "0x1"})
        EXPECT_EQ(numberFromText(text), std::nullopt) << '"' << text << '"';
}

struct RangeCase {
    const char* name;
    void (*change)(Settings&);
    bool inRange;
};

TEST(SettingsCheck, ChecksEveryOptionAgainstItsRange) {
    const RangeCase cases[] = {
        {"defaults", [](Settings&) {}, true},
        {"AddDate 4", [](Settings& s) { s.AddDate = 4; }, true},
        {"AddDate 5", [](Settings& s) { s.AddDate = 5; }, false},
        {"AddDate -1", [](Settings& s) { s.AddDate = -1; }, false},
        {"Port 8", [](Settings& s) { s.Port = 8; }, true},
        {"Port 0", [](Settings& s) { s.Port = 0; }, false},
        {"Port 9", [](Settings& s) { s.Port = 9; }, false},
        {"CrcType 1", [](Settings& s) { s.CrcType = 1; }, true},
        {"CrcType 2", [](Settings& s) { s.CrcType = 2; }, false},
        {"OverWrite 2", [](Settings& s) { s.OverWrite = 2; }, false},
        {"StartUpSize -1", [](Settings& s) { s.StartUpSize = -1; }, false},
        {"AutoStart 2", [](Settings& s) { s.AutoStart = 2; }, false},
        {"Protocol -1", [](Settings& s) { s.Protocol = -1; }, false},
        {"TimeAdjust 0", [](Settings& s) { s.TimeAdjust = "0"; }, true},
        {"TimeAdjust 0.5", [](Settings& s) { s.TimeAdjust = "0.5"; }, true},
        {"TimeAdjust 2", [](Settings& s) { s.TimeAdjust = "2"; }, false},
        {"TimeAdjust -0.1", [](Settings& s) { s.TimeAdjust = "-0.1"; }, false},
        {"TimeAdjust letters", [](Settings& s) { s.TimeAdjust = "yes"; }, false},
        {"TimeAdjust empty", [](Settings& s) { s.TimeAdjust.clear(); }, false},
        {"field flags are not its business", [](Settings& s) { s.field(3) = 7; }, true},
    };
    for (const auto& c : cases) {
        Settings s = defaultSettings("/data");
        c.change(s);
        EXPECT_EQ(optionsInRange(s), c.inRange) << c.name;
    }
}

TEST(SettingsCheck, ChecksEveryFieldFlag) {
    EXPECT_TRUE(fieldFlagsInRange(defaultSettings("/data")));
    for (int n = 1; n <= Settings::kFieldCount; ++n) {
        for (std::int16_t bad : {std::int16_t{2}, std::int16_t{-1}}) {
            Settings s = defaultSettings("/data");
            s.field(n) = bad;
            EXPECT_FALSE(fieldFlagsInRange(s)) << "Field(" << n << ") = " << bad;
        }
        Settings zero = defaultSettings("/data");
        zero.field(n) = 0;
        EXPECT_TRUE(fieldFlagsInRange(zero)) << "Field(" << n << ") = 0";
    }
}

}  // namespace
}  // namespace karune
