// A window that its own dialog keeps disabled still gets close requests from the window manager
// (the close box, Alt+F4): they must leave nothing orphaned or dangling.
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <utility>

#include "MainWindowFixture.h"

namespace karune::ui::test {
namespace {

using ClosedFromOutside = MainWindowTest;

TEST_F(ClosedFromOutside, TheMainWindowStaysWhileItsDialogIsOpen) {
    const std::pair<const char*, void (MainWindow::*)()> dialogs[] = {
        {"frmSetting", &MainWindow::openSettings}, {"frmAbout", &MainWindow::openAbout}};
    for (const auto& [dialog, open] : dialogs) {
        window().show();
        (window().*open)();
        window().close();
        settle();
        EXPECT_TRUE(window().isVisible()) << dialog;
        ASSERT_NE(topLevel(dialog), nullptr) << dialog;
        topLevel(dialog)->close();
        settle();
    }
}

TEST_F(ClosedFromOutside, TheSettingsDialogStaysWhileTheChooserIsOpen) {
    window().show();
    window().openSettings();
    QPointer<QWidget> dialog = topLevel("frmSetting");
    QTest::mouseClick(child<QPushButton>(*dialog, "cmdFolderRef"), Qt::LeftButton);
    QWidget* chooser = topLevel("frmFolder");
    ASSERT_NE(chooser, nullptr);

    dialog->close();
    settle();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());

    delete dialog;  // gone by another route: the chooser's "OK" must not reach it
    QTest::mouseClick(child<QPushButton>(*chooser, "cmdOK0"), Qt::LeftButton);
    settle();
    EXPECT_EQ(topLevel("frmFolder"), nullptr);
}

}  // namespace
}  // namespace karune::ui::test
