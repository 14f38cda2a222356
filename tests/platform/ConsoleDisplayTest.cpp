#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/ConsoleDisplay.h"

namespace karune {
namespace {

struct LabelCase {
    const char* what;
    std::vector<std::string> texts;  // successive whole contents of the status label
    std::string printed;
};

TEST(ConsoleDisplay, StatusLabelPrintsWhatChanged) {
    const LabelCase cases[] = {
        {"replace", {"ﾓﾃﾞﾑ初期化中 ... "}, "status: ﾓﾃﾞﾑ初期化中 ... \n"},
        {"new line appended", {"A", "A\r\nB"}, "status: A\nstatus: B\n"},
        {"two lines appended", {"A", "A\r\nB", "A\r\nB\r\nC"}, "status: A\nstatus: B\nstatus: C\n"},
        {"appended directly", {"ﾎﾟｰﾄ", "ﾎﾟｰﾄ 3"}, "status: ﾎﾟｰﾄ\nstatus:  3\n"},
        {"several lines at once", {"X\r\nY\r\nZ"}, "status: X / Y / Z\n"},
        {"lines added to empty", {"", "\r\nB"}, "status:  / B\n"},
        {"emptied", {"A", ""}, "status: A\n"},
        {"same text again", {"A", "A"}, "status: A\n"},
        {"shorter replacement", {"AB", "A"}, "status: AB\nstatus: A\n"},
        {"other text", {"A\r\nB", "C"}, "status: A / B\nstatus: C\n"},
    };
    for (const LabelCase& c : cases) {
        std::ostringstream out;
        ConsoleDisplay display(out);
        for (const std::string& text : c.texts)
            display.setStatusText(text);
        EXPECT_EQ(out.str(), c.printed) << c.what;
    }
}

TEST(ConsoleDisplay, EachLabelHasItsNameAndItsOwnHistory) {
    std::ostringstream out;
    ConsoleDisplay display(out);
    display.setStatusText("S");
    display.setErrorText("2007-06-06-09:15:02>ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。");
    display.setStatusText("S\r\nT");
    display.setErrorText("E");
    display.setFileText("\\abc.txt");
    display.setStartText("2007-06-06 09:15:00");
    display.setStopText("");
    display.setProgress(40, 12, true);  // progress, buttons, busy and beep print nothing
    display.setBusy(true);
    display.setCommButtons(0);
    display.beep();
    display.setStopText("2007-06-06 09:16:00");
    EXPECT_EQ(out.str(),
              "status: S\n"
              "error: 2007-06-06-09:15:02>ATE0ﾀｲﾑｱｳﾄ,ﾓﾃﾞﾑ応答なし。\n"
              "status: T\n"
              "error: E\n"
              "file: \\abc.txt\n"
              "start: 2007-06-06 09:15:00\n"
              "stop: 2007-06-06 09:16:00\n");
}

}  // namespace
}  // namespace karune
