#include <gtest/gtest.h>

#include <sstream>

#include "platform/ConsoleMessages.h"

namespace karune {
namespace {

TEST(ConsoleMessages, OneLinePerMessageWithTitle) {
    const std::pair<OperatorMessage, std::string> cases[] = {
        {{"File Open Error", "ファイルが開けません。", MessageIcon::Critical},
         "File Open Error: ファイルが開けません。\n"},
        {{"エラー！！", "a\r\nb\r\nc", MessageIcon::None}, "エラー！！: a b c\n"},
        {{"File Read", "lf\nonly\rcr", MessageIcon::None}, "File Read: lf only cr\n"},
        {{"", "既定の題", MessageIcon::None}, "KARUNE_MODEM: 既定の題\n"},
        {{"T", "", MessageIcon::None}, "T: \n"},
        {{"B", "2\r\n", MessageIcon::None}, "B: 2 \n"},
    };
    std::ostringstream err;
    ConsoleMessages messages(err, "KARUNE_MODEM");
    std::string printed;
    for (const auto& [message, line] : cases) {
        messages.show(message);
        printed += line;
        EXPECT_EQ(err.str(), printed);
    }
}

}  // namespace
}  // namespace karune
