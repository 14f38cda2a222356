#include <gtest/gtest.h>

#include <QThread>
#include <thread>
#include <vector>

#include "UiTestSupport.h"
#include "ui/main/MessageBoxMessages.h"

namespace karune::ui::test {
namespace {

class RecordingPresenter : public MessagePresenter {
public:
    void present(const OperatorMessage& message) override {
        presented.push_back(message);
        threads.push_back(QThread::currentThread());
    }
    std::vector<OperatorMessage> presented;
    std::vector<QThread*> threads;
};

class MessageBoxMessagesTest : public UiTest {
protected:
    MessageBoxMessagesTest() { qtApp(); }
    RecordingPresenter presenter;
};

TEST_F(MessageBoxMessagesTest, OnTheWindowThreadTheMessageIsAnsweredBeforeShowReturns) {
    MessageBoxMessages messages(presenter);
    messages.show({"File Read", "ﾌｧｲﾙなし", MessageIcon::Critical});
    ASSERT_EQ(presenter.presented.size(), 1u);
    EXPECT_EQ(presenter.presented[0].title, "File Read");
    EXPECT_EQ(presenter.presented[0].text, "ﾌｧｲﾙなし");
    EXPECT_EQ(presenter.presented[0].icon, MessageIcon::Critical);
}

TEST_F(MessageBoxMessagesTest, FromAnotherThreadShowReturnsAndTheWindowThreadPresentsLater) {
    MessageBoxMessages messages(presenter);
    std::thread session([&messages] {
        messages.show({"", "first", MessageIcon::None});
        messages.show({"", "second", MessageIcon::None});
    });
    session.join();
    EXPECT_TRUE(presenter.presented.empty()) << "the session did not wait for the operator";

    settle();
    ASSERT_EQ(presenter.presented.size(), 2u);
    EXPECT_EQ(presenter.presented[0].text, "first");
    EXPECT_EQ(presenter.presented[1].text, "second");
    for (QThread* thread : presenter.threads) {
        EXPECT_EQ(thread, qtApp().thread());
    }
}

}  // namespace
}  // namespace karune::ui::test
