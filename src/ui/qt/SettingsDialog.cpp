#include "ui/qt/SettingsDialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QValidator>

#include "ui/qt/FolderChooser.h"

namespace karune::ui {

namespace {

// Refuses what the file name box may not keep.
class FixFnameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return acceptableFixFname(input.toStdString()) ? Acceptable : Invalid;
    }
};

std::string optionName(OptionGroup group, int index) {
    return std::string(optionGroupName(group)) + std::to_string(index);
}

std::string fieldName(int index) {
    return "chkField" + std::to_string(index);
}

// How many options the group's frame holds.
int optionCount(OptionGroup group) {
    int count = 0;
    while (findControl(settingsDialogSpec(), optionName(group, count)) != nullptr) {
        ++count;
    }
    return count;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* mainWindow, const Settings& settings,
                               ChooserServices chooser, std::function<void(const Settings&)> save)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      mainWindow_(mainWindow),
      chooser_(std::move(chooser)),
      logic_(settings, std::move(save)),
      controls_(settingsDialogSpec(), *this) {
    auto* port = controls_.get<QScrollBar>("hsPort");
    port->setRange(kFirstPort, kLastPort);
    port->setPageStep(1);
    // Qt's scroll bars invert the arrow keys; the right arrow raises the port number.
    port->setInvertedControls(false);
    // The port follows the thumb once it is released, not while it is dragged.
    port->setTracking(false);
    controls_.get<QLineEdit>("txtFixFname")->setValidator(new FixFnameValidator(this));
    for (const char* button : {"cmdOK0", "cmdOK1"}) {
        controls_.get<QPushButton>(button)->setAutoDefault(false);
    }
    if (mainWindow_) {
        move(mainWindow_->frameGeometry().topLeft());
    }
    // The working copy starts as the record whatever the controls make of it, so the controls
    // report changes only once they show the record.
    loadControls(controlsFor(settings));
    connectControls();
}

void SettingsDialog::loadControls(const SettingsControls& shown) {
    controls_.get<QScrollBar>("hsPort")->setValue(shown.port);
    controls_.get<QLineEdit>("txtPort")->setText(QString::number(shown.port));
    controls_.get<QLabel>("lblFolder")->setText(QString::fromStdString(shown.folder));
    for (int g = 0; g < kOptionGroupCount; ++g) {
        const auto group = static_cast<OptionGroup>(g);
        const int index = shown.options[static_cast<std::size_t>(g)];
        if (index >= 0 && index < optionCount(group)) {
            controls_.get<QRadioButton>(optionName(group, index))->setChecked(true);
        }
    }
    controls_.get<QLineEdit>("txtFixFname")->setText(QString::fromStdString(shown.fixFname));
    controls_.get<QCheckBox>("chkTimeAdjust")->setChecked(shown.timeAdjust);
    for (int i = 0; i < Settings::kFieldCount; ++i) {
        controls_.get<QCheckBox>(fieldName(i))
            ->setChecked(shown.fields[static_cast<std::size_t>(i)]);
    }
}

void SettingsDialog::connectControls() {
    connect(controls_.get<QScrollBar>("hsPort"), &QScrollBar::valueChanged, this,
            [this](int value) {
                controls_.get<QLineEdit>("txtPort")->setText(QString::number(value));
                logic_.portChanged(value);
            });
    connect(controls_.get<QLineEdit>("txtFixFname"), &QLineEdit::textChanged, this,
            [this](const QString& text) { logic_.fixFnameChanged(text.toStdString()); });
    for (int g = 0; g < kOptionGroupCount; ++g) {
        const auto group = static_cast<OptionGroup>(g);
        for (int index = 0; index < optionCount(group); ++index) {
            connect(controls_.get<QRadioButton>(optionName(group, index)), &QRadioButton::toggled,
                    this, [this, group, index](bool on) {
                        if (on) {
                            logic_.optionClicked(group, index);
                        }
                    });
        }
    }
    for (int i = 0; i < Settings::kFieldCount; ++i) {
        connect(controls_.get<QCheckBox>(fieldName(i)), &QCheckBox::toggled, this,
                [this, i](bool on) { logic_.fieldToggled(i, on); });
    }
    connect(controls_.get<QCheckBox>("chkTimeAdjust"), &QCheckBox::toggled, this,
            [this](bool on) { logic_.timeAdjustToggled(on); });
    connect(controls_.get<QPushButton>("cmdFolderRef"), &QPushButton::clicked, this,
            &SettingsDialog::openChooser);
    connect(controls_.get<QPushButton>("cmdOK0"), &QPushButton::clicked, this, [this] {
        logic_.ok();
        accept();
    });
    connect(controls_.get<QPushButton>("cmdOK1"), &QPushButton::clicked, this, &QDialog::reject);
}

void SettingsDialog::done(int result) {
    if (FolderChooser* chooser = openChooser_.data(); chooser != nullptr) {
        chooser->reject();
    }
    QDialog::done(result);
    deleteLater();
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
    if (!logic_.closeAllowed()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void SettingsDialog::openChooser() {
    const QString folder = controls_.get<QLabel>("lblFolder")->text();
    auto* chooser =
        new FolderChooser(mainWindow_, folder, chooser_,
                          [dialog = QPointer<SettingsDialog>(this)](const QString& chosen) {
                              if (dialog) {
                                  dialog->controls_.get<QLabel>("lblFolder")->setText(chosen);
                                  dialog->logic_.folderChosen(chosen.toStdString());
                              }
                          });
    openChooser_ = chooser;
    logic_.chooserOpened();
    setEnabled(false);
    connect(chooser, &QDialog::finished, this, [this] {
        logic_.chooserClosed();
        setEnabled(true);
        show();
        raise();
        activateWindow();
    });
    chooser->show();
}

}  // namespace karune::ui
