#include <QLabel>
#include <QTest>

#include "MainWindowFixture.h"
#include "ui/settings/SettingsDialog.h"

namespace karune::ui::test {
namespace {

struct ButtonState {
    bool start, stop, setting, info, idleLamp, runningLamp;
    bool operator==(const ButtonState&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ButtonState& s) {
    return os << "start " << s.start << " stop " << s.stop << " setting " << s.setting << " info "
              << s.info << " idle lamp " << s.idleLamp << " running lamp " << s.runningLamp;
}

constexpr ButtonState kIdle{true, false, true, true, true, false};
constexpr ButtonState kRunning{false, true, false, false, false, true};
constexpr ButtonState kDesign{true, true, true, true, false, false};

class ButtonsTest : public MainWindowTest {
protected:
    ButtonState state() {
        MainWindow& w = window();
        return {button("cmdComm0")->isEnabledTo(&w),
                button("cmdComm1")->isEnabledTo(&w),
                button("cmdSetting")->isEnabledTo(&w),
                button("cmdInfo")->isEnabledTo(&w),
                lamp(0)->isVisibleTo(&w),
                lamp(1)->isVisibleTo(&w)};
    }
};

TEST_F(ButtonsTest, SetCommButtonsGivesTheModesState) {
    struct Case {
        std::vector<int> modes;
        ButtonState expected;
    };
    const Case cases[] = {
        {{0}, kIdle},       {{1}, kRunning}, {{1, 1}, kRunning}, {{1, 0}, kIdle},
        {{0, 1}, kRunning}, {{7}, kRunning},  // any mode but idle enables the stop button's side
    };
    for (const Case& c : cases) {
        for (int mode : c.modes) {
            window().setCommButtons(mode);
        }
        EXPECT_EQ(state(), c.expected)
            << "after " << c.modes.size() << " calls, last " << c.modes.back();
    }
}

TEST_F(ButtonsTest, StartStopAndSessionEndDriveButtonsAndReception) {
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
}

TEST_F(ButtonsTest, LampsHaveTheirColoursAndShareOnePlace) {
    EXPECT_EQ(lamp(0)->colour(), QColor(255, 0, 0));
    EXPECT_EQ(lamp(1)->colour(), QColor(0, 255, 255));
    EXPECT_EQ(lamp(1)->geometry(), lamp(0)->geometry()) << "one lamp stands in for the other";
}

TEST_F(MainWindowTest, LabelWritersApplyTheirModes) {
    struct Case {
        std::string old;
        int mode;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"A", 0, "B", "B"},    {"A", 1, "B", "A\r\nB"},
        {"", 1, "B", "\r\nB"}, {"A", 2, " [異常終了]", "A [異常終了]"},
        {"A", 0, "", ""},      {"A", 3, "B", "A"},
        {"A", -1, "B", "A"},
    };
    for (const Case& c : cases) {
        window().setStatusText(c.old);
        window().setErrorText(c.old);
        window().showStatus(c.mode, c.text);
        window().showError(c.mode, c.text);
        EXPECT_EQ(window().statusText(), c.expected) << "mode " << c.mode;
        EXPECT_EQ(window().errorText(), c.expected) << "mode " << c.mode;
        // Each line of a multi-line label shows on its own.
        EXPECT_EQ(child<QLabel>(window(), "lblStatus")->text(),
                  QString::fromStdString(c.expected).replace("\r\n", "\n"));
    }
}

TEST_F(MainWindowTest, ClosingWhileRunningBecomesAStop) {
    window().show();
    window().startAction();
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(reception.stops, 1);
    EXPECT_FALSE(window().running());
    EXPECT_TRUE(button("cmdComm0")->isEnabled());
    EXPECT_TRUE(lamp(0)->isVisible());

    EXPECT_TRUE(window().close()) << "the second close, once idle, ends the program";
    EXPECT_EQ(reception.stops, 1);
}

TEST_F(MainWindowTest, ClosingBeforeTheStartUpStepEndsWithoutStarting) {
    settings.AutoStart = 1;
    window().startUp();
    EXPECT_TRUE(window().close());
    QTest::qWait(MainWindow::kStartUpDelayMs + 300);
    EXPECT_TRUE(reception.starts.empty());
}

struct StartUpCase {
    std::int16_t autoStart;
    std::int16_t startUpSize;
};

class StartUpTest : public ButtonsTest, public ::testing::WithParamInterface<StartUpCase> {};

TEST_P(StartUpTest, HalfASecondAfterStartUpTheModeIsSet) {
    settings.AutoStart = GetParam().autoStart;
    settings.StartUpSize = GetParam().startUpSize;
    settings.Folder = "/srv/受信";
    window().startUp();

    EXPECT_EQ(child<QLabel>(window(), "lblFolder")->text(), QStringLiteral("/srv/受信"));
    EXPECT_EQ(window().isMinimized(), GetParam().startUpSize == 1);
    EXPECT_FALSE(window().isEnabled()) << "no input before the start-up step";
    QTest::qWait(100);
    EXPECT_EQ(state(), kDesign);
    EXPECT_TRUE(reception.starts.empty());

    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return lamp(0)->isVisibleTo(&window()) || lamp(1)->isVisibleTo(&window()); },
        3000));
    EXPECT_TRUE(window().isEnabled());
    if (GetParam().autoStart == 1) {
        EXPECT_EQ(state(), kRunning);
        EXPECT_TRUE(window().running());
        ASSERT_EQ(reception.starts.size(), 1u);
        EXPECT_FALSE(reception.starts[0].clearStopPressed)
            << "the automatic start leaves the stop flag to the session";
    } else {
        EXPECT_EQ(state(), kIdle);
        EXPECT_FALSE(window().running());
        EXPECT_TRUE(reception.starts.empty());
    }
    QTest::qWait(MainWindow::kStartUpDelayMs + 100);
    EXPECT_LE(reception.starts.size(), 1u) << "the start-up step runs once";
}

INSTANTIATE_TEST_SUITE_P(AutoStartAndSize, StartUpTest,
                         ::testing::Values(StartUpCase{0, 0}, StartUpCase{1, 0}, StartUpCase{0, 1},
                                           StartUpCase{1, 1}));

// How the paths are joined has its own tests; these check what each label opens.
TEST_F(MainWindowTest, ViewersOpenTheMonthsHistoryAndTheLatestOutputFile) {
    struct Case {
        const char* label;
        QString folder;
        std::string file;
        QStringList expected;
    };
    const Case cases[] = {
        {"Label3",
         QStringLiteral("/srv/my data"),
         "",
         {QStringLiteral("/srv/my data/2007-06.txt")}},
        {"lblFile",
         QStringLiteral("/srv/my data"),
         "/KEN 01.txt",
         {QStringLiteral("/srv/my data/KEN 01.txt")}},
        {"lblFile", QStringLiteral("/srv"), "", {}},
    };
    settings.Folder = "/srv/my data";  // the history file follows the settings
    window().show();
    for (const Case& c : cases) {
        opener.opened.clear();
        window().setFolderText(c.folder);
        window().setFileText(c.file);
        QTest::mouseDClick(child<QLabel>(window(), c.label), Qt::LeftButton);
        EXPECT_EQ(opener.opened, c.expected) << c.label << " " << c.file;
        EXPECT_FALSE(window().isMinimized()) << "the label keeps its double-click";
    }
}

TEST_F(MainWindowTest, DoubleClickOnTheBackgroundMinimises) {
    window().show();
    window().startAction();
    QTest::mouseDClick(&window(), Qt::LeftButton, {}, QPoint(590, 200));
    EXPECT_TRUE(window().isMinimized());
    EXPECT_TRUE(window().running()) << "the session is not disturbed";
    EXPECT_EQ(reception.stops, 0);
}

TEST_F(MainWindowTest, SettingsDialogKeepsTheWindowDisabledAndOkShowsTheFolder) {
    window().show();
    window().setCommButtons(0);
    QTest::mouseClick(button("cmdSetting"), Qt::LeftButton);
    QWidget* dialog = topLevel("frmSetting");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(window().isEnabled());
    QTest::mouseClick(button("cmdComm0"), Qt::LeftButton);
    EXPECT_TRUE(reception.starts.empty()) << "the disabled window takes no clicks";

    static_cast<SettingsDialog*>(dialog)->setFolderText(QStringLiteral("/srv/新しい"));
    QTest::mouseClick(child<QPushButton>(*dialog, "cmdOK0"), Qt::LeftButton);
    settle();
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].Folder, "/srv/新しい");
    EXPECT_EQ(child<QLabel>(window(), "lblFolder")->text(), QStringLiteral("/srv/新しい"));
    EXPECT_TRUE(window().isEnabled());
    EXPECT_EQ(topLevel("frmSetting"), nullptr);
}

}  // namespace
}  // namespace karune::ui::test
