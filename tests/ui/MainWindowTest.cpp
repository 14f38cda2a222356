#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "UiTestSupport.h"
#include "config/Settings.h"
#include "link/Clock.h"
#include "ui/core/FileOpener.h"
#include "ui/main/Lamp.h"
#include "ui/main/MainWindow.h"
#include "ui/core/ReceptionControl.h"
#include "ui/main/WindowDisplay.h"

namespace karune::ui::test {
namespace {

struct ButtonState {
    bool start, stop, setting, info, idleLamp, runningLamp;
    bool operator==(const ButtonState&) const = default;
};

constexpr ButtonState kIdle{true, false, true, true, true, false};
constexpr ButtonState kRunning{false, true, false, false, false, true};

class FakeReception : public ReceptionControl {
public:
    struct Start {
        Settings snapshot;
        bool clearStopPressed;
    };
    void start(const Settings& snapshot, bool clearStopPressed) override {
        starts.push_back({snapshot, clearStopPressed});
    }
    void stop() override { ++stops; }

    std::vector<Start> starts;
    int stops = 0;
};

class RecordingOpener : public FileOpener {
public:
    bool open(const std::string& path) override {
        opened << QString::fromStdString(path);
        return true;
    }
    QStringList opened;
};

class FixedDateClock : public Clock {
public:
    TimePoint now() const override { return TimePoint{}; }
    LocalDateTime localNow() const override { return {2007, 6, 6, 9, 15, 2}; }
    void sleepUntil(TimePoint) override {}
};

// A main window over fakes, with the program's settings at their defaults.
class MainWindowTest : public UiTest {
protected:
    MainWindowTest() : settings(defaultSettings("/tmp")) {}

    MainWindow& window() {
        if (!window_) {
            window_ = std::make_unique<MainWindow>(
                settings, MainWindowServices{reception, opener, clock,
                                             [this](const Settings& copy) { settings = copy; },
                                             ChooserServices{roots, messages, {}}});
        }
        return *window_;
    }

    ButtonState state() {
        MainWindow& w = window();
        return {button("cmdComm0")->isEnabledTo(&w),
                button("cmdComm1")->isEnabledTo(&w),
                button("cmdSetting")->isEnabledTo(&w),
                button("cmdInfo")->isEnabledTo(&w),
                lamp(0)->isVisibleTo(&w),
                lamp(1)->isVisibleTo(&w)};
    }
    QPushButton* button(const char* name) { return child<QPushButton>(window(), name); }
    Lamp* lamp(int index) { return child<Lamp>(window(), QStringLiteral("Status%1").arg(index)); }

    Settings settings;
    FakeReception reception;
    RecordingOpener opener;
    FixedDateClock clock;
    FixedRoots roots{{QStringLiteral("/")}};
    FakeMessages messages;

private:
    std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, StartStopSessionEndAndCloseDriveButtonsAndReception) {
    window().show();
    QTest::mouseClick(button("cmdComm0"), Qt::LeftButton);
    EXPECT_EQ(state(), kRunning);
    EXPECT_TRUE(window().running());
    ASSERT_EQ(reception.starts.size(), 1u);
    EXPECT_TRUE(reception.starts[0].clearStopPressed);
    EXPECT_EQ(reception.starts[0].snapshot, settings);

    QTest::mouseClick(button("cmdComm1"), Qt::LeftButton);
    EXPECT_EQ(state(), kIdle);
    EXPECT_FALSE(window().running());
    EXPECT_EQ(reception.stops, 1);

    QTest::mouseClick(button("cmdComm0"), Qt::LeftButton);
    EXPECT_EQ(reception.starts.size(), 2u);
    window().sessionButtons(0);  // the session ended for good
    EXPECT_EQ(state(), kIdle);
    EXPECT_FALSE(window().running());
    EXPECT_EQ(reception.stops, 1) << "a session that ends by itself needs no stop";

    // Closing while running becomes a stop; the second close, once idle, ends the program.
    window().startAction();
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(reception.stops, 2);
    EXPECT_FALSE(window().running());
    EXPECT_EQ(state(), kIdle);
    EXPECT_TRUE(window().close());
    EXPECT_EQ(reception.stops, 2);
}

// The session's calls come from its own thread and reach the labels in order on the window's.
TEST_F(MainWindowTest, SessionCallsFromItsThreadArriveInOrder) {
    window().show();
    window().startAction();
    WindowDisplay display(window());
    std::thread session([&display] {
        for (int i = 1; i <= 50; ++i) {
            const std::string n = std::to_string(i);
            display.setStatusText("status " + n);
            display.setErrorText("error " + n);
            display.setFileText("/file" + n + ".txt");
            display.setCommButtons(i % 2);
        }
    });
    session.join();
    EXPECT_EQ(window().statusText(), "") << "nothing is applied on the session's thread";
    settle();
    EXPECT_EQ(window().statusText(), "status 50");
    EXPECT_EQ(window().errorText(), "error 50");
    EXPECT_EQ(child<QLabel>(window(), "lblFile")->text(), QStringLiteral("/file50.txt"));
    EXPECT_EQ(state(), kIdle) << "the last word was idle";
}

// The history label opens the month's file of the save folder, the file label the last output.
TEST_F(MainWindowTest, ViewerLabelsOpenTheirFiles) {
    settings.Folder = "/srv/my data";
    window().show();
    window().setFolderText(QStringLiteral("/srv/my data"));
    window().setFileText("/KEN 01.txt");
    for (const char* label : {"Label3", "lblFile"})
        QTest::mouseDClick(child<QLabel>(window(), label), Qt::LeftButton);
    EXPECT_EQ(opener.opened, (QStringList{QStringLiteral("/srv/my data/2007-06.txt"),
                                          QStringLiteral("/srv/my data/KEN 01.txt")}));
}

// With automatic start, reception starts once, half a second after the start-up.
TEST_F(MainWindowTest, AutomaticStartAfterTheStartUpStep) {
    settings.AutoStart = 1;
    window().startUp();
    EXPECT_FALSE(window().isEnabled()) << "no input before the start-up step";
    ASSERT_TRUE(QTest::qWaitFor([this] { return window().isEnabled(); }, 3000));
    EXPECT_EQ(state(), kRunning);
    ASSERT_EQ(reception.starts.size(), 1u);
    EXPECT_FALSE(reception.starts[0].clearStopPressed);
}

// A window that its own dialog keeps disabled still gets close requests from the window manager
// (the close box, Alt+F4): they must leave nothing orphaned or dangling.
using ClosedFromOutside = MainWindowTest;

// "設定" and "ﾊﾞｰｼﾞｮﾝ" open their dialog, which keeps the window disabled until its own button
// closes it.
TEST_F(ClosedFromOutside, TheMainWindowStaysWhileItsDialogIsOpen) {
    const char* const dialogs[][3] = {{"frmSetting", "cmdSetting", "cmdOK1"},
                                      {"frmAbout", "cmdInfo", "cmdOK"}};
    for (const auto& [dialog, opens, closes] : dialogs) {
        window().show();
        QTest::mouseClick(button(opens), Qt::LeftButton);
        EXPECT_FALSE(window().isEnabled()) << dialog;
        window().close();
        settle();
        EXPECT_TRUE(window().isVisible()) << dialog;
        ASSERT_NE(topLevel(dialog), nullptr) << dialog;
        QTest::mouseClick(child<QPushButton>(*topLevel(dialog), closes), Qt::LeftButton);
        settle();
        EXPECT_TRUE(window().isEnabled()) << dialog;
        EXPECT_EQ(topLevel(dialog), nullptr) << dialog;
    }
}

}  // namespace
}  // namespace karune::ui::test
