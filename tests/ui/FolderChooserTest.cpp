#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "ui/settings/FolderChooser.h"
#include "ui/settings/FolderListing.h"
#include "ui/settings/SettingsDialog.h"

namespace karune::ui::test {
namespace {

// A settings dialog whose folder is <tmp>/data with the sub-folders "a b" and "c", opened over a
// main window stand-in; "参照" opens the chooser.
class FolderChooserTest : public UiTest {
protected:
    FolderChooserTest() {
        QDir(dir.path()).mkpath(QStringLiteral("data/a b/deep"));
        QDir(dir.path()).mkpath(QStringLiteral("data/c"));
        QDir(dir.path()).mkpath(QStringLiteral("data/.hidden"));
        data = dir.path() + QStringLiteral("/data");
        mainWindow.show();
    }

    FolderChooser& openChooser(const QString& folder) {
        Settings settings = defaultSettings(folder.toStdString());
        settingsDialog = new SettingsDialog(&mainWindow, settings,
                                            ChooserServices{roots, messages, [this] { ++beeps; }},
                                            [](const Settings&) {});
        settingsDialog->show();
        QTest::mouseClick(child<QPushButton>(*settingsDialog, "cmdFolderRef"), Qt::LeftButton);
        chooser = static_cast<FolderChooser*>(topLevel(QStringLiteral("frmFolder")));
        EXPECT_NE(chooser, nullptr);
        return *chooser;
    }

    QListWidget& list() { return *child<QListWidget>(*chooser, "Dir1"); }
    QComboBox& drives() { return *child<QComboBox>(*chooser, "Drive1"); }

    QListWidgetItem* item(const QString& path) {
        for (int i = 0; i < list().count(); ++i) {
            if (list().item(i)->data(Qt::UserRole).toString() == path) {
                return list().item(i);
            }
        }
        return nullptr;
    }

    QPoint centre(QListWidgetItem* it) { return list().visualItemRect(it).center(); }

    QStringList listedTexts() {
        QStringList texts;
        for (int i = 0; i < list().count(); ++i) {
            texts << list().item(i)->text().trimmed();
        }
        return texts;
    }

    QTemporaryDir dir;
    QString data;
    FixedRoots roots{{QStringLiteral("/")}};
    FakeMessages messages;
    int beeps = 0;
    QWidget mainWindow;
    QPointer<SettingsDialog> settingsDialog;
    QPointer<FolderChooser> chooser;
};

TEST_F(FolderChooserTest, OpensAtTheDialogsFolderWithItsPathAndSubFolders) {
    openChooser(data);
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("保存ﾌｫﾙﾀﾞ"));
    EXPECT_EQ(chooser->openFolder(), data);
    EXPECT_EQ(drives().currentText(), QStringLiteral("/"));
    QStringList expected{QStringLiteral("/")};
    expected << data.mid(1).split(QLatin1Char('/'));
    expected << QStringLiteral("a b") << QStringLiteral("c");
    EXPECT_EQ(listedTexts(), expected);
    EXPECT_FALSE(settingsDialog->isEnabled());
    EXPECT_FALSE(mainWindow.isEnabled());
}

TEST_F(FolderChooserTest, OkWritesTheOpenFolderNotTheHighlightedOne) {
    const struct {
        const char* what;
        bool doubleClick;
        QString expectedBelowData;
        const char* button = "cmdOK0";
    } cases[] = {
        {"nothing touched", false, QString()},
        {"a b highlighted", false, QStringLiteral("/a b")},
        {"a b opened", true, QStringLiteral("/a b")},
        {"a b opened, then cancel", true, QStringLiteral("/a b"), "cmdOK1"},
    };
    for (const auto& c : cases) {
        openChooser(data);
        const bool touch = !c.expectedBelowData.isEmpty();
        if (touch) {
            QListWidgetItem* sub = item(data + QStringLiteral("/a b"));
            ASSERT_NE(sub, nullptr);
            if (c.doubleClick) {
                doubleClick(list().viewport(), centre(sub));
                EXPECT_EQ(chooser->openFolder(), data + c.expectedBelowData) << c.what;
            } else {
                singleClick(list().viewport(), centre(sub));
                EXPECT_EQ(list().currentItem(), sub) << c.what;
            }
        }
        QTest::mouseClick(child<QPushButton>(*chooser, c.button), Qt::LeftButton);
        settle();
        const bool ok = std::string(c.button) == "cmdOK0";
        const QString expected = data + (c.doubleClick && ok ? c.expectedBelowData : QString());
        EXPECT_EQ(settingsDialog->folderText(), expected) << c.what;
        EXPECT_EQ(settingsDialog->workingCopy().Folder, expected.toStdString()) << c.what;
        EXPECT_TRUE(settingsDialog->isEnabled()) << c.what;
        EXPECT_TRUE(chooser.isNull()) << c.what;
        settingsDialog->close();
        settle();
    }
}

TEST_F(FolderChooserTest, AMissingFolderOpensTheCurrentDirectorySilently) {
    openChooser(data + QStringLiteral("/gone"));
    EXPECT_EQ(chooser->openFolder(), QDir::cleanPath(QDir::currentPath()));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(beeps, 0);
}

TEST_F(FolderChooserTest, AnUnreadableRootBeepsShowsTheErrorAndKeepsTheList) {
    const QString missingRoot = dir.path() + QStringLiteral("/unmounted");
    roots = FixedRoots({QStringLiteral("/"), missingRoot});
    openChooser(data);
    const QStringList before = listedTexts();

    emit drives().activated(1);
    EXPECT_EQ(beeps, 1);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, "") << "the program's default title";
    EXPECT_EQ(messages.shown()[0].icon, MessageIcon::None);
    EXPECT_EQ(messages.shown()[0].text,
              folderErrorText(std::make_error_code(std::errc::no_such_file_or_directory)));
    EXPECT_EQ(messages.shown()[0].text.rfind("ｴﾗｰ 2\r\n", 0), 0u) << messages.shown()[0].text;
    EXPECT_EQ(drives().currentText(), missingRoot) << "the drive list keeps the new root";
    EXPECT_EQ(listedTexts(), before);

    QTest::mouseClick(child<QPushButton>(*chooser, "cmdOK0"), Qt::LeftButton);
    settle();
    EXPECT_EQ(settingsDialog->folderText(), data);
}

TEST_F(FolderChooserTest, EachRootRemembersTheFolderLastOpenedThere) {
    const QString otherRoot = data + QStringLiteral("/c");
    roots = FixedRoots({QStringLiteral("/"), otherRoot});
    openChooser(data + QStringLiteral("/a b"));
    doubleClick(list().viewport(), centre(item(data + QStringLiteral("/a b/deep"))));
    ASSERT_EQ(chooser->openFolder(), data + QStringLiteral("/a b/deep"));

    emit drives().activated(1);
    EXPECT_EQ(chooser->openFolder(), otherRoot);
    emit drives().activated(0);
    EXPECT_EQ(chooser->openFolder(), data + QStringLiteral("/a b/deep"));
    EXPECT_EQ(beeps, 0);
}

TEST(FolderListing, RootOfTakesTheLongestMatchingRoot) {
    const QStringList roots{"/", "/mnt/usb", "/mnt/usb2", "C:/"};
    const struct {
        QString path, root;
    } cases[] = {
        {"/home/user", "/"},        {"/mnt/usb", "/mnt/usb"},
        {"/mnt/usb/x", "/mnt/usb"}, {"/mnt/usb2/y", "/mnt/usb2"},
        {"/mnt/usbx", "/"},         {"C:/Data", "C:/"},
        {"relative", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rootOf(roots, c.path), c.root) << c.path.toStdString();
    }
}

}  // namespace
}  // namespace karune::ui::test
