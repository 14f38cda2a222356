#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "UiTestSupport.h"
#include "config/SettingsStore.h"
#include "ui/settings/SettingsDialog.h"

namespace karune::ui::test {
namespace {

// The dialog over a main window stand-in, saving through the real settings store into a
// temporary program folder.
class SettingsDialogTest : public UiTest {
protected:
    SettingsDialogTest()
        : settings(defaultSettings(dir.path().toStdString())),
          env{std::filesystem::path(dir.path().toStdString()) / "karune-modem.ini",
              dir.path().toStdString(), dir.path().toStdString(), true, messages} {
        settings.Port = 3;
        settings.FixFname = "KEN";
        settings.Field[2] = 0;   // F3 off
        settings.Field[19] = 1;  // F20 on
        mainWindow.show();
    }

    SettingsDialog& open() {
        dialog = new SettingsDialog(&mainWindow, settings, ChooserServices{roots, messages, {}},
                                    [this](const Settings& copy) {
                                        ++saves;
                                        SaveSettings(env, copy, settings);
                                    });
        dialog->show();
        return *dialog;
    }

    template <typename T>
    T* control(const QString& name) {
        return child<T>(*dialog, name);
    }

    // On the indicator, where a click always lands whatever the caption's length.
    static void clickBox(QAbstractButton* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    void press(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }

    QTemporaryDir dir;
    FakeMessages messages;
    FixedRoots roots{{QStringLiteral("/")}};
    Settings settings;
    SettingsEnvironment env;
    QWidget mainWindow;
    QPointer<SettingsDialog> dialog;
    int saves = 0;
};

TEST_F(SettingsDialogTest, LoadingShowsTheSettings) {
    settings.AddDate = 4;
    settings.OverWrite = 1;
    settings.Protocol = 1;
    settings.TimeAdjust = "0";
    open();
    EXPECT_EQ(control<QScrollBar>("hsPort")->value(), 3);
    EXPECT_EQ(control<QLineEdit>("txtPort")->text(), QStringLiteral("3"));
    EXPECT_TRUE(control<QLineEdit>("txtPort")->isReadOnly());
    EXPECT_EQ(control<QLineEdit>("txtFixFname")->text(), QStringLiteral("KEN"));
    EXPECT_EQ(control<QLabel>("lblFolder")->text(), dir.path());
    EXPECT_TRUE(control<QRadioButton>("optAddDate4")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("optOverWrite1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("optProtocol1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("optCrcType0")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkTimeAdjust")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkField2")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("chkField19")->isChecked());
    EXPECT_EQ(dialog->workingCopy(), settings);
    EXPECT_FALSE(mainWindow.isEnabled());
}

TEST_F(SettingsDialogTest, CancelAndCloseBoxDropEveryChange) {
    for (const char* route : {"cmdOK1", "close box"}) {
        settings.Folder = dir.path().toStdString();
        const Settings before = settings;
        open();
        clickBox(control<QRadioButton>("optAutoStart1"));
        clickBox(control<QCheckBox>("chkField0"));
        pressKey(control<QScrollBar>("hsPort"), Qt::Key_End);
        typeText(control<QLineEdit>("txtFixFname"), "X");
        dialog->setFolderText(QStringLiteral("/elsewhere"));
        ASSERT_NE(dialog->workingCopy(), before);
        if (std::string(route) == "cmdOK1") {
            press("cmdOK1");
        } else {
            dialog->close();
        }
        settle();
        EXPECT_EQ(settings, before) << route;
        EXPECT_EQ(saves, 0) << route;
        EXPECT_FALSE(std::filesystem::exists(env.iniFile)) << route;
        EXPECT_TRUE(mainWindow.isEnabled()) << route;
        EXPECT_TRUE(dialog.isNull()) << route;
    }
}

TEST_F(SettingsDialogTest, AnUnwritableFileStillClosesAndTakesOnlyTheChangedValuesOver) {
    env.iniFile = std::filesystem::path(dir.path().toStdString()) / "missing" / "karune.ini";
    open();
    clickBox(control<QRadioButton>("optProtocol1"));
    clickBox(control<QCheckBox>("chkField2"));
    clickBox(control<QCheckBox>("chkField19"));
    Settings expected = settings;
    expected.Protocol = 1;
    expected.field(3) = 1;
    expected.field(20) = 0;
    press("cmdOK0");
    settle();
    EXPECT_EQ(messages.shown().size(), 2u) << "the open error, then the write error";
    EXPECT_EQ(settings, expected);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(mainWindow.isEnabled());
}

TEST_F(SettingsDialogTest, PortScrollBarStaysWithinOneToEight) {
    const struct {
        std::vector<Qt::Key> keys;
        int expected;
    } cases[] = {
        {{Qt::Key_End}, 8},
        {{Qt::Key_End, Qt::Key_Right, Qt::Key_Right}, 8},
        {{Qt::Key_Home}, 1},
        {{Qt::Key_Home, Qt::Key_Left}, 1},
        {{Qt::Key_Right, Qt::Key_Right}, 5},
        {{Qt::Key_Left}, 2},
    };
    for (const auto& c : cases) {
        open();
        for (Qt::Key key : c.keys) {
            pressKey(control<QScrollBar>("hsPort"), key);
        }
        EXPECT_EQ(control<QLineEdit>("txtPort")->text(), QString::number(c.expected));
        EXPECT_EQ(dialog->workingCopy().Port, c.expected);
        dialog->close();
        settle();
    }
}

TEST_F(SettingsDialogTest, OptionGroupsAreExclusiveAndStoreTheIndex) {
    open();
    const struct {
        const char* prefix;
        int count;
        std::int16_t Settings::*field;
    } groups[] = {
        {"optAddDate", 5, &Settings::AddDate},         {"optOverWrite", 2, &Settings::OverWrite},
        {"optStartUpSize", 2, &Settings::StartUpSize}, {"optAutoStart", 2, &Settings::AutoStart},
        {"optCrcType", 2, &Settings::CrcType},         {"optProtocol", 2, &Settings::Protocol},
    };
    for (const auto& g : groups) {
        for (int index = g.count - 1; index >= 0; --index) {
            clickBox(control<QRadioButton>(QStringLiteral("%1%2").arg(g.prefix).arg(index)));
            EXPECT_EQ(dialog->workingCopy().*g.field, index) << g.prefix;
            for (int other = 0; other < g.count; ++other) {
                EXPECT_EQ(control<QRadioButton>(QStringLiteral("%1%2").arg(g.prefix).arg(other))
                              ->isChecked(),
                          other == index)
                    << g.prefix << other;
            }
        }
    }
}

TEST_F(SettingsDialogTest, TimeAdjustAndFileNameFollowTheControls) {
    open();
    clickBox(control<QCheckBox>("chkTimeAdjust"));
    EXPECT_EQ(dialog->workingCopy().TimeAdjust, "0");
    clickBox(control<QCheckBox>("chkTimeAdjust"));
    EXPECT_EQ(dialog->workingCopy().TimeAdjust, "1");

    auto* name = control<QLineEdit>("txtFixFname");
    name->clear();
    EXPECT_EQ(dialog->workingCopy().FixFname, "");
    typeText(name, QStringLiteral("A\"B 受信"));
    EXPECT_EQ(dialog->workingCopy().FixFname, "AB 受信") << "a double quote is refused";
}

TEST(TimeAdjustText, TakenAsAnInteger) {
    const struct {
        const char* text;
        bool on;
    } cases[] = {{"1", true},   {"0", false}, {"0.5", false},
                 {"0.6", true}, {"", false},  {"-1", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(timeAdjustChecked(c.text), c.on) << c.text;
    }
}

}  // namespace
}  // namespace karune::ui::test
