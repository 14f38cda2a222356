#include <gtest/gtest.h>

#include <sstream>

#include "platform/ConsoleMessages.h"

namespace karune {
namespace {

struct MessageCase {
    OperatorMessage message;
    std::string printed;
};

TEST(ConsoleMessages, OneLinePerMessageWithTitle) {
    const MessageCase cases[] = {
        {{"File Open Error", "ファイルが開けません。", MessageIcon::Critical},
         "File Open Error: ファイルが開けません。\n"},
        {{"エラー！！", "a\r\nb\r\nc", MessageIcon::None}, "エラー！！: a b c\n"},
        {{"File Read", "lf\nonly\rcr", MessageIcon::None}, "File Read: lf only cr\n"},
        {{"", "既定の題", MessageIcon::None}, "KARUNE_MODEM: 既定の題\n"},
        {{"T", "", MessageIcon::None}, "T: \n"},
    };
    for (const MessageCase& c : cases) {
        std::ostringstream err;
        ConsoleMessages messages(err, "KARUNE_MODEM");
        messages.show(c.message);
        EXPECT_EQ(err.str(), c.printed);
    }
}

TEST(ConsoleMessages, MessagesFollowEachOther) {
    std::ostringstream err;
    ConsoleMessages messages(err, "P");
    messages.show({"A", "1", MessageIcon::None});
    messages.show({"B", "2\r\n", MessageIcon::None});
    EXPECT_EQ(err.str(), "A: 1\nB: 2 \n");
}

}  // namespace
}  // namespace karune
