#include "ui/core/MessageQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace karune::ui {
namespace {

// Messages that arrive while a box is open (as posted calls run inside its modal loop) follow it
// one box at a time, never inside it: those of one title and icon together, ten at most.
TEST(MessageQueue, ShowsOneBoxAtATimeAndGathersWhatArrivesMeanwhile) {
    const OperatorMessage critical{"", "c", MessageIcon::Critical};
    struct Case {
        const char* name;
        std::vector<OperatorMessage> meanwhile;  // arrive while the first box is open
        std::vector<std::string> boxes;          // the texts shown, in order
    };
    const auto plain = [](const std::string& text) { return OperatorMessage{"", text}; };
    std::vector<OperatorMessage> twelve;
    std::string tenTexts = "2";
    for (int i = 2; i <= 13; ++i) {
        twelve.push_back(plain(std::to_string(i)));
        if (i > 2 && i <= 11)
            tenTexts += "\r\n\r\n" + std::to_string(i);
    }
    const Case cases[] = {
        {"nothing meanwhile", {}, {"1"}},
        {"same title and icon", {plain("2"), plain("3")}, {"1", "2\r\n\r\n3"}},
        {"another icon or title keeps its place",
         {plain("2"), critical, OperatorMessage{"File Open Error", "t"}, plain("3")},
         {"1", "2", "c", "t", "3"}},
        {"ten to a box", twelve, {"1", tenTexts, "12\r\n\r\n13"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> shown;
        int open = 0;
        int mostOpen = 0;
        MessageQueue* queue = nullptr;
        MessageQueue messages([&](const OperatorMessage& box) {
            mostOpen = std::max(mostOpen, ++open);
            shown.push_back(box.text);
            if (shown.size() == 1) {
                for (const OperatorMessage& m : c.meanwhile)
                    queue->show(m);
            }
            --open;
        });
        queue = &messages;
        messages.show(plain("1"));
        EXPECT_EQ(shown, c.boxes);
        EXPECT_EQ(mostOpen, 1);
    }
}

}  // namespace
}  // namespace karune::ui
