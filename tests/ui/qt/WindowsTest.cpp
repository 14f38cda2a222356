#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <thread>
#include <vector>

#include "linesim/VirtualClock.h"
#include "support/FakeMessages.h"
#include "support/WindowFakes.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MountedFolders.h"
#include "ui/qt/SettingsDialog.h"
#include "ui/qt/WindowDisplay.h"

namespace karune::ui::test {
namespace {

// The one QApplication of the process; never destroyed, as tearing Qt down among the other static
// objects at exit crashes.
QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "karune-ui-tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

// Runs posted events, deferred deletions included.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// The visible top-level window of that name, or null.
QWidget* topLevel(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    return nullptr;
}

// The named control of `parent`; a missing control fails the test (by exception).
template <typename T>
T* child(const QWidget& parent, const QString& name) {
    T* found = parent.findChild<T*>(name);
    if (found == nullptr)
        throw std::runtime_error("no control " + name.toStdString());
    return found;
}

// The main window, shown, over fakes and the real file system, saving into `settings`; every
// window a test left open is closed after it.
class QtWindowTest : public ::testing::Test {
protected:
    QtWindowTest() { window.show(); }
    void TearDown() override {
        for (QWidget* widget : QApplication::topLevelWidgets())
            widget->close();
        settle();
    }
    void click(QWidget& parent, const char* name) {
        QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
        settle();
    }
    bool visible(const char* name) { return child<QWidget>(window, name)->isVisibleTo(&window); }

    QApplication& app = qtApp();
    QTemporaryDir dir;
    Settings settings = defaultSettings(dir.path().toStdString());
    karune::test::FakeReception reception;
    karune::test::RecordingOpener opener;
    karune::sim::VirtualClock clock;
    MountedFolders folders;
    karune::test::FakeMessages messages;
    const ChooserServices services{folders, messages, {}};
    MainWindow window{
        settings,
        {reception, opener, clock, [this](const Settings& copy) { settings = copy; }, {}},
        services};
};

// Each window has every control of its layout, in its place, with its caption and hint.
TEST_F(QtWindowTest, EveryWindowHasTheControlsItsDescriptionNames) {
    SettingsDialog settingsDialog({}, settings, services, {});
    FolderChooser chooser({}, dir.path(), services, {});
    AboutBox about(nullptr);
    const std::pair<const WindowSpec*, const QWidget*> windows[] = {
        {&mainWindowSpec(), &window},
        {&settingsDialogSpec(), &settingsDialog},
        {&folderChooserSpec(), &chooser},
        {&aboutBoxSpec(), &about}};
    for (const auto& [layout, shown] : windows) {
        SCOPED_TRACE(layout->name);
        EXPECT_EQ(shown->size(),
                  pixelRect({0, 0, layout->clientWidth, layout->clientHeight}).size());
        for (const ControlSpec& control : layout->controls) {
            const QString name = QString::fromUtf8(control.name);
            SCOPED_TRACE(name.toStdString());
            const QWidget* widget = child<QWidget>(*shown, name);
            EXPECT_EQ(widget->geometry(), pixelRect(control.place));
            EXPECT_EQ(widget->parentWidget()->objectName(),
                      QString::fromUtf8(control.parent.empty() ? layout->name : control.parent));
            EXPECT_EQ(widget->toolTip(), QString::fromUtf8(control.hint));
            const QString caption = QString::fromUtf8(control.caption);
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text(), caption);
            } else if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
                EXPECT_EQ(frame->title(), caption);
            } else if (const auto* label = qobject_cast<const QLabel*>(widget);
                       label != nullptr && layout != &aboutBoxSpec() && !caption.isEmpty()) {
                EXPECT_EQ(label->text(), caption);
            }
        }
    }
}

// The start-up timer, the buttons, the window's close and the viewer labels reach the logic, and
// the logic's buttons reach the lamps.
TEST_F(QtWindowTest, TimerClicksClosesAndDoubleClicksReachTheLogic) {
    settings.AutoStart = 1;
    window.startUp();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window.isEnabled(); }, 3000));
    EXPECT_TRUE(visible("Status1"));
    click(window, "cmdComm1");
    EXPECT_TRUE(visible("Status0"));
    click(window, "cmdComm0");
    EXPECT_EQ(reception.starts, (std::vector<bool>{false, true}));
    EXPECT_FALSE(window.close()) << "closing while receiving is a stop";
    EXPECT_EQ(reception.stops, 2);
    window.logic().setFileText("/KEN.txt");
    for (const char* label : {"Label3", "lblFile"})
        QTest::mouseDClick(child<QLabel>(window, label), Qt::LeftButton);
    EXPECT_EQ(opener.opened.size(), 2u);
    EXPECT_TRUE(window.close());
}

// The session's calls come from its own thread and reach the labels in order on the window's.
TEST_F(QtWindowTest, SessionCallsFromItsThreadArriveInOrder) {
    window.logic().startAction();
    WindowDisplay display(window);
    std::thread session([&display] {
        for (int i = 1; i <= 50; ++i) {
            display.setStatusText("status " + std::to_string(i) + "\r\nline");
            display.setCommButtons(i % 2);
        }
    });
    session.join();
    const QLabel* status = child<QLabel>(window, "lblStatus");
    EXPECT_EQ(status->text(), QString()) << "nothing is applied on the session's thread";
    settle();
    EXPECT_EQ(status->text(), QStringLiteral("status 50\nline"));
    EXPECT_TRUE(visible("Status0")) << "the last word was idle";
}

// The settings dialog's controls change the working copy, and "参照" opens the chooser, which lists
// the visible folders and hands the double-clicked one over; OK saves the copy, cancel and the
// close box drop it. The close box takes neither the dialog from under its chooser nor the window
// from under its dialog.
TEST_F(QtWindowTest, SettingsDialogAndChooserChangeTheCopyThatOkSaves) {
    for (const char* made : {"c", ".hidden"})
        QDir(dir.path()).mkpath(QString::fromUtf8(made));
    QFile(dir.filePath(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    const Settings before = settings;
    Settings changed = before;
    changed.AutoStart = 1;
    changed.field(1) = 0;
    changed.TimeAdjust = "0";
    changed.Port = 8;
    changed.FixFname = "XY";  // a double quote is refused
    changed.Folder = dir.filePath(QStringLiteral("c")).toStdString();
    for (const std::string route : {"cmdOK1", "close box", "cmdOK0"}) {
        SCOPED_TRACE(route);
        click(window, "cmdSetting");
        QWidget* dialog = topLevel(QStringLiteral("frmSetting"));
        ASSERT_NE(dialog, nullptr);
        for (const char* box : {"optAutoStart1", "chkField0", "chkTimeAdjust"}) {
            auto* control = child<QAbstractButton>(*dialog, box);
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
        }
        QTest::keyClick(child<QScrollBar>(*dialog, "hsPort"), Qt::Key_End);
        QTest::keyClicks(child<QLineEdit>(*dialog, "txtFixFname"), QStringLiteral("X\"Y"));
        click(*dialog, "cmdFolderRef");
        QWidget* chooser = topLevel(QStringLiteral("frmFolder"));
        ASSERT_NE(chooser, nullptr);
        dialog->close();
        window.close();
        settle();
        EXPECT_TRUE(dialog->isVisible() && window.isVisible());
        auto* list = child<QListWidget>(*chooser, "Dir1");
        ASSERT_EQ(list->count(), list->currentRow() + 2) << "folders only, without the hidden ones";
        emit list->itemDoubleClicked(list->item(list->count() - 1));
        click(*chooser, "cmdOK0");
        route == "close box" ? void(dialog->close()) : click(*dialog, route.c_str());
        settle();
        EXPECT_EQ(settings, route == "cmdOK0" ? changed : before);
        EXPECT_TRUE(window.isEnabled());
        EXPECT_EQ(topLevel(QStringLiteral("frmSetting")), nullptr);
    }
}

// A logout or SIGTERM with a dialog open: the dialog (and its chooser) go as with "ｷｬﾝｾﾙ" and the
// program's event loop ends.
TEST_F(QtWindowTest, EndRequestClosesTheOpenDialogsAndEndsTheProgram) {
    const char* const dialogs[][2] = {{"frmSetting", "cmdSetting"}, {"frmAbout", "cmdInfo"}};
    for (const auto& [name, opens] : dialogs) {
        click(window, opens);
        ASSERT_NE(topLevel(QString::fromUtf8(name)), nullptr) << name;
        if (QWidget* dialog = topLevel(QStringLiteral("frmSetting")); dialog != nullptr)
            click(*dialog, "cmdFolderRef");
        QTimer::singleShot(0, &window, [this] { window.logic().endRequested(); });
        // An event loop that the end request does not end fails the test instead of hanging it.
        QTimer::singleShot(5000, &window, [] { QCoreApplication::exit(1); });
        EXPECT_EQ(QApplication::exec(), 0) << name;
        settle();
        for (const char* gone : {name, "frmFolder"})
            EXPECT_EQ(topLevel(QString::fromUtf8(gone)), nullptr) << name;
    }
}

}  // namespace
}  // namespace karune::ui::test
