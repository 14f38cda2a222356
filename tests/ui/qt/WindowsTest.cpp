#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <thread>
#include <vector>

#include "UiTestSupport.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/FolderChooser.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MountedFolders.h"
#include "ui/qt/SettingsDialog.h"
#include "ui/qt/WindowDisplay.h"

namespace karune::ui::test {
namespace {

class FakeReception : public ReceptionControl {
public:
    void start(const Settings&, bool clearStopPressed) override {
        starts.push_back(clearStopPressed);
    }
    void stop() override { ++stops; }
    std::vector<bool> starts;  // clearStopPressed of each start
    int stops = 0;
};

class RecordingOpener : public FileOpener {
public:
    bool open(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
    std::vector<std::string> opened;
};

class FixedDateClock : public Clock {
public:
    TimePoint now() const override { return TimePoint{}; }
    LocalDateTime localNow() const override { return {2007, 6, 6, 9, 15, 2}; }
    void sleepUntil(TimePoint) override {}
};

// The main window over fakes and the real file system, saving into `settings`.
class QtWindowTest : public UiTest {
protected:
    QtWindowTest() : settings(defaultSettings(dir.path().toStdString())) {}

    MainWindow& window() {
        if (!window_) {
            window_ = std::make_unique<MainWindow>(settings,
                                                   MainWindowServices{reception,
                                                                      opener,
                                                                      clock,
                                                                      [this](const Settings& copy) {
                                                                          ++saves;
                                                                          settings = copy;
                                                                      },
                                                                      {}},
                                                   ChooserServices{folders, messages, {}});
            window_->show();
        }
        return *window_;
    }
    void click(QWidget& parent, const char* name) {
        QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
        settle();
    }
    bool visible(const char* name) {
        return child<QWidget>(window(), name)->isVisibleTo(&window());
    }

    QTemporaryDir dir;
    Settings settings;
    FakeReception reception;
    RecordingOpener opener;
    FixedDateClock clock;
    MountedFolders folders;
    FakeMessages messages;
    int saves = 0;

private:
    std::unique_ptr<MainWindow> window_;
};

// Each window has every control of its description, in its place, with its caption and hint.
TEST_F(QtWindowTest, EveryWindowHasTheControlsItsDescriptionNames) {
    const std::pair<const WindowSpec*, std::function<QWidget*()>> windows[] = {
        {&mainWindowSpec(), [this] { return &window(); }},
        {&settingsDialogSpec(),
         [this] {
             return new SettingsDialog(nullptr, settings, {folders, messages, {}}, {});
         }},
        {&folderChooserSpec(),
         [this] {
             return new FolderChooser(nullptr, dir.path(), {folders, messages, {}}, {});
         }},
        {&aboutBoxSpec(), [] { return new AboutBox(nullptr); }},
    };
    for (const auto& [spec, open] : windows) {
        QWidget* shown = open();
        SCOPED_TRACE(shown->objectName().toStdString());
        EXPECT_EQ(shown->objectName(), QString::fromUtf8(spec->name));
        EXPECT_EQ(shown->size(), pixelRect({0, 0, spec->clientWidth, spec->clientHeight}).size());
        for (const ControlSpec& control : spec->controls) {
            const QString name = QString::fromUtf8(control.name);
            SCOPED_TRACE(name.toStdString());
            const QWidget* widget = child<QWidget>(*shown, name);
            EXPECT_EQ(widget->geometry(), pixelRect(control.place));
            EXPECT_EQ(widget->parentWidget()->objectName(),
                      QString::fromUtf8(control.parent.empty() ? spec->name : control.parent));
            EXPECT_EQ(widget->toolTip(), QString::fromUtf8(control.hint));
            const QString caption = QString::fromUtf8(control.caption);
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                EXPECT_EQ(button->text(), caption);
            } else if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
                EXPECT_EQ(frame->title(), caption);
            } else if (const auto* label = qobject_cast<const QLabel*>(widget);
                       label != nullptr && spec != &aboutBoxSpec() && !caption.isEmpty()) {
                EXPECT_EQ(label->text(), caption);
            }
        }
        if (spec != &mainWindowSpec()) {
            delete shown;
        }
    }
}

// Start, stop and the window's close reach the reception; the session's end sets the buttons.
TEST_F(QtWindowTest, ClicksAndClosesReachTheLogic) {
    click(window(), "cmdComm0");
    EXPECT_TRUE(visible("Status1"));
    EXPECT_FALSE(child<QWidget>(window(), "cmdSetting")->isEnabled());
    click(window(), "cmdComm1");
    EXPECT_TRUE(visible("Status0"));
    EXPECT_EQ(reception.starts, std::vector<bool>{true});
    EXPECT_EQ(reception.stops, 1);

    click(window(), "cmdComm0");
    EXPECT_FALSE(window().close()) << "closing while receiving is a stop";
    EXPECT_EQ(reception.stops, 2);
    EXPECT_TRUE(window().close());

    window().logic().setFolderText("/srv/my data");
    window().logic().setFileText("/KEN 01.txt");
    settings.Folder = "/srv/my data";
    for (const char* label : {"Label3", "lblFile"}) {
        QTest::mouseDClick(child<QLabel>(window(), label), Qt::LeftButton);
    }
    EXPECT_EQ(opener.opened,
              (std::vector<std::string>{"/srv/my data/2007-06.txt", "/srv/my data/KEN 01.txt"}));
}

// With automatic start, reception starts once, half a second after the start-up.
TEST_F(QtWindowTest, AutomaticStartAfterTheStartUpStep) {
    settings.AutoStart = 1;
    window().startUp();
    EXPECT_FALSE(window().isEnabled()) << "no input before the start-up step";
    ASSERT_TRUE(QTest::qWaitFor([this] { return window().isEnabled(); }, 3000));
    EXPECT_TRUE(visible("Status1"));
    EXPECT_EQ(reception.starts, std::vector<bool>{false});
}

// The session's calls come from its own thread and reach the labels in order on the window's.
TEST_F(QtWindowTest, SessionCallsFromItsThreadArriveInOrder) {
    window().logic().startAction();
    WindowDisplay display(window());
    std::thread session([&display] {
        for (int i = 1; i <= 50; ++i) {
            const std::string n = std::to_string(i);
            display.setStatusText("status " + n + "\r\nline");
            display.setFileText("/file" + n + ".txt");
            display.setCommButtons(i % 2);
        }
    });
    session.join();
    const QLabel* status = child<QLabel>(window(), "lblStatus");
    EXPECT_EQ(status->text(), QString()) << "nothing is applied on the session's thread";
    settle();
    EXPECT_EQ(status->text(), QStringLiteral("status 50\nline"));
    EXPECT_EQ(child<QLabel>(window(), "lblFile")->text(), QStringLiteral("/file50.txt"));
    EXPECT_TRUE(visible("Status0")) << "the last word was idle";
}

// The settings dialog's controls change the working copy that OK saves; cancel and the close box
// drop it. Each route leaves the window enabled and the dialog gone.
TEST_F(QtWindowTest, SettingsDialogSavesOnOkOnly) {
    const Settings before = settings;
    for (const std::string route : {"cmdOK1", "close box", "cmdOK0"}) {
        SCOPED_TRACE(route);
        settings = before;
        saves = 0;
        click(window(), "cmdSetting");
        EXPECT_FALSE(window().isEnabled());
        QWidget* dialog = topLevel(QStringLiteral("frmSetting"));
        ASSERT_NE(dialog, nullptr);
        for (const char* box : {"optAutoStart1", "chkField0", "chkTimeAdjust"}) {
            auto* control = child<QAbstractButton>(*dialog, box);
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2));
        }
        QTest::keyClick(child<QScrollBar>(*dialog, "hsPort"), Qt::Key_End);
        EXPECT_EQ(child<QLineEdit>(*dialog, "txtPort")->text(), QStringLiteral("8"));
        typeText(child<QLineEdit>(*dialog, "txtFixFname"), QStringLiteral("X\"受"));
        Settings changed = before;
        changed.AutoStart = 1;
        changed.field(1) = 0;
        changed.TimeAdjust = "0";
        changed.Port = 8;
        changed.FixFname = "X受";  // a double quote is refused
        if (route == "close box") {
            dialog->close();
        } else {
            click(*dialog, route.c_str());
        }
        settle();
        const bool ok = route == "cmdOK0";
        EXPECT_EQ(settings, ok ? changed : before);
        EXPECT_EQ(saves, ok ? 1 : 0);
        EXPECT_TRUE(window().isEnabled());
        EXPECT_EQ(topLevel(QStringLiteral("frmSetting")), nullptr);
    }
}

// "参照" opens the chooser, which lists folders only; a double-click opens a sub-folder and "OK"
// hands it to the dialog. The window manager's close requests take neither the dialog from under
// its chooser nor the window from under its dialog.
TEST_F(QtWindowTest, FolderChooserHandsTheOpenedFolderOver) {
    QDir(dir.path()).mkpath(QStringLiteral("c"));
    QFile(dir.filePath(QStringLiteral("file.txt"))).open(QIODevice::WriteOnly);
    click(window(), "cmdSetting");
    QWidget* dialog = topLevel(QStringLiteral("frmSetting"));
    ASSERT_NE(dialog, nullptr);
    click(*dialog, "cmdFolderRef");
    QWidget* chooser = topLevel(QStringLiteral("frmFolder"));
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(dialog->isEnabled());
    dialog->close();
    window().close();
    settle();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(window().isVisible());
    auto* list = child<QListWidget>(*chooser, "Dir1");
    const QList<QListWidgetItem*> found = list->findItems(QStringLiteral("c"), Qt::MatchEndsWith);
    ASSERT_FALSE(found.isEmpty());
    EXPECT_TRUE(list->findItems(QStringLiteral("file.txt"), Qt::MatchEndsWith).isEmpty());
    doubleClick(list->viewport(), list->visualItemRect(found.back()).center());
    click(*chooser, "cmdOK0");
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_EQ(child<QLabel>(*dialog, "lblFolder")->text(), dir.filePath(QStringLiteral("c")));
    click(*dialog, "cmdOK0");
    EXPECT_EQ(settings.Folder, dir.filePath(QStringLiteral("c")).toStdString());
    EXPECT_EQ(child<QLabel>(window(), "lblFolder")->text(), dir.filePath(QStringLiteral("c")));
}

// A logout or SIGTERM with a dialog open: the dialog (and its chooser) go as with "ｷｬﾝｾﾙ" and the
// program's event loop ends.
TEST_F(QtWindowTest, EndRequestClosesTheOpenDialogsAndEndsTheProgram) {
    const char* const dialogs[][2] = {{"frmSetting", "cmdSetting"}, {"frmAbout", "cmdInfo"}};
    for (const auto& [name, opens] : dialogs) {
        click(window(), opens);
        ASSERT_NE(topLevel(QString::fromUtf8(name)), nullptr) << name;
        if (QWidget* dialog = topLevel(QStringLiteral("frmSetting")); dialog != nullptr) {
            click(*dialog, "cmdFolderRef");
        }
        QTimer::singleShot(0, &window(), [this] { window().logic().endRequested(); });
        QTimer stuck;
        QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(5000);
        EXPECT_EQ(QApplication::exec(), 0) << name;
        settle();
        EXPECT_EQ(topLevel(QString::fromUtf8(name)), nullptr) << name;
        EXPECT_EQ(topLevel(QStringLiteral("frmFolder")), nullptr) << name;
        EXPECT_EQ(saves, 0);
    }
}

}  // namespace
}  // namespace karune::ui::test
