#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <thread>

#include "MainWindowFixture.h"
#include "ui/main/WindowDisplay.h"

namespace karune::ui::test {
namespace {

class WindowDisplayTest : public MainWindowTest {
protected:
    QString label(const char* name) { return child<QLabel>(window(), name)->text(); }
    QProgressBar* progress() { return child<QProgressBar>(window(), "Progbar"); }
};

TEST_F(WindowDisplayTest, CallsFromTheSessionThreadArriveInOrder) {
    window().show();
    window().startAction();
    WindowDisplay display(window());
    constexpr int kCalls = 400;
    std::thread session([&display] {
        for (int i = 1; i <= kCalls; ++i) {
            const std::string n = std::to_string(i);
            display.setStatusText("status " + n);
            display.setErrorText("error " + n);
            display.setFileText("/file" + n + ".txt");
            display.setStartText("start " + n);
            display.setStopText("stop " + n);
            display.setProgress(kCalls, i, i % 2 == 1);
            display.setCommButtons(i % 2);
        }
    });
    session.join();
    EXPECT_EQ(window().statusText(), "") << "nothing is applied on the session's thread";
    EXPECT_TRUE(window().running());

    settle();
    EXPECT_EQ(window().statusText(), "status 400");
    EXPECT_EQ(window().errorText(), "error 400");
    EXPECT_EQ(label("lblFile"), QStringLiteral("/file400.txt"));
    EXPECT_EQ(label("lblStart"), QStringLiteral("start 400"));
    EXPECT_EQ(label("lblStop"), QStringLiteral("stop 400"));
    EXPECT_EQ(progress()->maximum(), kCalls);
    EXPECT_EQ(progress()->value(), kCalls);
    EXPECT_FALSE(progress()->isVisible());
    EXPECT_FALSE(window().running()) << "the last word was idle";
    EXPECT_TRUE(child<QPushButton>(window(), "cmdComm0")->isEnabled());
}

TEST_F(WindowDisplayTest, TextsAreShownAsSentAndAnEmptyTransferShowsAnEmptyBar) {
    WindowDisplay display(window());
    std::thread([&display] {
        display.setStatusText("ﾎﾟｰﾄ 1 O/S/A ->\r\nATE0");
        display.setProgress(0, 0, true);
    }).join();
    window().show();
    settle();
    EXPECT_EQ(window().statusText(), "ﾎﾟｰﾄ 1 O/S/A ->\r\nATE0");
    EXPECT_GT(progress()->maximum(), progress()->minimum()) << "not a busy bar";
    EXPECT_EQ(progress()->value(), 0);
    EXPECT_TRUE(progress()->isVisible());
}

TEST_F(WindowDisplayTest, BusyPointerFollowsTheSession) {
    WindowDisplay display(window());
    std::thread([&display] { display.setBusy(true); }).join();
    settle();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    std::thread([&display] {
        display.setBusy(true);
        display.setBusy(false);
    }).join();
    settle();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "a repeated busy is not stacked";
}

}  // namespace
}  // namespace karune::ui::test
