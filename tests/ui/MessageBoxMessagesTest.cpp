#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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

// The real box, answered by a call queued before it opens: the box's own event loop runs it.
TEST_F(MessageBoxMessagesTest, TheBoxCarriesTitleTextAndIcon) {
    const struct {
        OperatorMessage message;
        QString title;
        QString text;
        QMessageBox::Icon icon;
    } cases[] = {
        {{"", "ｴﾗｰ 2\r\nNo such file", MessageIcon::None},
         "Karune_modem",
         "ｴﾗｰ 2\nNo such file",
         QMessageBox::NoIcon},
        {{"File Open Error", "INIﾌｧｲﾙ書き込みｵｰﾌﾟﾝｴﾗｰ : denied", MessageIcon::Critical},
         "File Open Error",
         "INIﾌｧｲﾙ書き込みｵｰﾌﾟﾝｴﾗｰ : denied",
         QMessageBox::Critical},
    };
    for (const auto& c : cases) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Question;
        QMetaObject::invokeMethod(
            &qtApp(),
            [&] {
                QMessageBox* box = nullptr;
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    if (auto* shown = qobject_cast<QMessageBox*>(w); shown && shown->isVisible()) {
                        box = shown;
                    }
                }
                ASSERT_NE(box, nullptr);
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                box->button(QMessageBox::Ok)->click();
            },
            Qt::QueuedConnection);
        MessageBoxPresenter().present(c.message);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(icon, c.icon);
    }
}

}  // namespace
}  // namespace karune::ui::test
