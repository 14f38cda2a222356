#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <optional>

#include "UiTestSupport.h"
#include "config/SettingsFile.h"
#include "config/SettingsStore.h"
#include "support/FileBytes.h"
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

// OK takes the changes over and writes them; cancel and the close box drop every change.
TEST_F(SettingsDialogTest, OkSavesTheChangesCancelAndTheCloseBoxDropThem) {
    const Settings before = settings;
    for (const std::string route : {"cmdOK1", "close box", "cmdOK0"}) {
        SCOPED_TRACE(route);
        settings = before;
        saves = 0;
        open();
        EXPECT_FALSE(mainWindow.isEnabled());
        clickBox(control<QRadioButton>("optAutoStart1"));
        clickBox(control<QCheckBox>("chkField0"));
        QTest::keyClick(control<QScrollBar>("hsPort"), Qt::Key_End);
        typeText(control<QLineEdit>("txtFixFname"), QStringLiteral("X\"受"));
        dialog->setFolderText(QStringLiteral("/elsewhere"));
        Settings changed = before;
        changed.AutoStart = 1;
        changed.field(1) = 0;
        changed.Port = 8;
        changed.FixFname = "KENX受";  // a double quote is refused
        changed.Folder = "/elsewhere";
        ASSERT_EQ(dialog->workingCopy(), changed);
        if (route == "close box") {
            dialog->close();
        } else {
            press(route.c_str());
        }
        settle();
        const bool ok = route == "cmdOK0";
        EXPECT_EQ(settings, ok ? changed : before);
        EXPECT_EQ(saves, ok ? 1 : 0);
        EXPECT_EQ(parseSettingsText(karune::test::fileBytes(env.iniFile)),
                  ok ? std::optional<Settings>(changed) : std::nullopt);
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_TRUE(dialog.isNull());
    }
}

// "参照" opens the folder chooser, which lists folders only; a double-click opens a sub-folder and
// "OK" hands it over. The window manager's close requests do not take the dialog from under its
// chooser, and a chooser whose dialog went by another route hands nothing over.
TEST_F(SettingsDialogTest, FolderChooserHandsTheOpenedFolderOver) {
    QDir(dir.path()).mkpath(QStringLiteral("c"));
    karune::test::writeFile(dir.path().toStdString() + "/file.txt", "");
    open();
    press("cmdFolderRef");
    QWidget* chooser = topLevel(QStringLiteral("frmFolder"));
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(dialog->isEnabled());
    dialog->close();
    settle();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    QListWidget* list = child<QListWidget>(*chooser, "Dir1");
    const QList<QListWidgetItem*> found = list->findItems(QStringLiteral("c"), Qt::MatchEndsWith);
    ASSERT_FALSE(found.isEmpty());
    EXPECT_TRUE(list->findItems(QStringLiteral("file.txt"), Qt::MatchEndsWith).isEmpty());
    doubleClick(list->viewport(), list->visualItemRect(found.back()).center());
    QTest::mouseClick(child<QPushButton>(*chooser, "cmdOK0"), Qt::LeftButton);
    settle();
    EXPECT_EQ(dialog->workingCopy().Folder, (dir.path() + QStringLiteral("/c")).toStdString());
    EXPECT_TRUE(dialog->isEnabled());

    press("cmdFolderRef");
    chooser = topLevel(QStringLiteral("frmFolder"));
    ASSERT_NE(chooser, nullptr);
    delete dialog;
    QTest::mouseClick(child<QPushButton>(*chooser, "cmdOK0"), Qt::LeftButton);
    settle();
    EXPECT_EQ(topLevel(QStringLiteral("frmFolder")), nullptr);
}

}  // namespace
}  // namespace karune::ui::test
