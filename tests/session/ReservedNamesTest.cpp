#include <gtest/gtest.h>

#include <string>

#include "session/OutputName.h"

namespace karune {
namespace {

// A terminal named like a Windows device would have its upload written into the device there.
TEST(SafeFileBaseName, WindowsDeviceNamesGetAMark) {
    const std::pair<std::string, std::string> cases[] = {
        {"nul", "nul_"},         {"CON", "CON_"},    {"Aux.txt", "Aux_.txt"},
        {"prn.a.b", "prn_.a.b"}, {"com1", "com1_"},  {"LPT9", "LPT9_"},
        {"nul ", "nul _"},       {"com0", "com0"},   {"COM10", "COM10"},
        {"console", "console"},  {"nul-1", "nul-1"}, {"lpt", "lpt"},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(safeFileBaseName(name), safe) << name;
}

}  // namespace
}  // namespace karune
