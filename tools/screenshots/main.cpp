// karune-screenshots <output folder>: builds each window over stand-in services, in the states an
// operator meets, and saves one PNG per window.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "config/Settings.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/MountedFolders.h"

namespace {

using namespace karune;
using namespace karune::ui;

class IdleReception : public ReceptionControl {
public:
    void start(const Settings&, bool) override {}
    void stop() override {}
};

class NoOpener : public FileOpener {
public:
    bool open(const std::string&) override { return true; }
};

class NoMessages : public OperatorMessages {
public:
    void show(const OperatorMessage&) override {}
};

class FixedClock : public Clock {
public:
    TimePoint now() const override { return TimePoint{}; }
    LocalDateTime localNow() const override { return {2026, 12, 6, 9, 15, 2}; }
    void sleepUntil(TimePoint) override {}
};

bool save(QWidget& window, const QDir& folder, const QString& name) {
    window.repaint();
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: karune-screenshots <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    // The chooser shows the folder tree of the working directory, so give it a stable one.
    const QString sample = QDir::temp().filePath(QStringLiteral("karune-screenshots"));
    QDir(sample).mkpath(QStringLiteral("受信データ/2026"));
    QDir(sample).mkpath(QStringLiteral("受信データ/backup"));
    const QString folder = sample + QStringLiteral("/受信データ");

    Settings settings = defaultSettings(folder.toStdString());
    IdleReception reception;
    NoOpener opener;
    NoMessages messages;
    FixedClock clock;
    MountedFolders folders;
    MainWindow window(settings,
                      MainWindowServices{reception, opener, clock, [](const Settings&) {}, {}},
                      ChooserServices{folders, messages, [] {}});
    MainWindowLogic& logic = window.logic();
    logic.setFolderText(folder.toStdString());
    window.show();
    logic.sessionButtons(0);
    bool ok = save(window, out, QStringLiteral("main-idle.png"));

    logic.sessionButtons(1);
    logic.setFileText("/HT0001.txt");
    logic.setStartText("2026-12-06 09:14:40");
    logic.showStatus(0, "ﾚｺｰﾄﾞ受信 :  37/120");
    logic.showError(0, "");
    logic.setProgress(120, 37, true);
    ok = save(window, out, QStringLiteral("main-running.png")) && ok;
    logic.sessionButtons(0);
    logic.setProgress(120, 0, false);

    window.openSettings();
    QWidget* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("frmSetting")) {
            dialog = w;
        }
    }
    if (dialog == nullptr) {
        std::fprintf(stderr, "the settings dialog did not open\n");
        return 1;
    }
    ok = save(*dialog, out, QStringLiteral("settings.png")) && ok;

    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdFolderRef")),
                      Qt::LeftButton);
    QWidget* chooser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("frmFolder") && w->isVisible()) {
            chooser = w;
        }
    }
    if (chooser == nullptr) {
        std::fprintf(stderr, "the folder chooser did not open\n");
        return 1;
    }
    ok = save(*chooser, out, QStringLiteral("folder-chooser.png")) && ok;
    chooser->close();
    dialog->close();
    QApplication::processEvents();

    window.openAbout();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QStringLiteral("frmAbout") && w->isVisible()) {
            ok = save(*w, out, QStringLiteral("about.png")) && ok;
            w->close();
        }
    }
    QApplication::processEvents();
    return ok ? 0 : 1;
}
