#include "ui/qt/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "ui/qt/Artwork.h"
#include "ui/qt/DoubleClickLabel.h"
#include "ui/qt/JapaneseFont.h"
#include "ui/qt/Lamp.h"

namespace karune::ui {

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void setColour(QWidget& widget, QPalette::ColorRole role, std::uint32_t bgr) {
    QPalette palette = widget.palette();
    palette.setColor(role, fromBgr(bgr));
    widget.setPalette(palette);
}

QWidget* makeLabel(const ControlSpec& control, QWidget* parent) {
    auto* label = new DoubleClickLabel(text(control.caption), parent);
    label->setTextFormat(Qt::PlainText);
    if (control.kind == ControlKind::FramedLabel) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    if (control.align == Align::Centre) {
        label->setAlignment(Qt::AlignCenter);
    }
    if (control.multiLine) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }
    if (control.colourBgr != 0) {
        setColour(*label, QPalette::WindowText, control.colourBgr);
    }
    return label;
}

QWidget* makePicture(const QPixmap& pixmap, bool stretched, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignCenter);
    picture->setScaledContents(stretched);
    picture->setPixmap(pixmap);
    return picture;
}

QWidget* makeControl(const ControlSpec& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::Label:
        case ControlKind::FramedLabel:
            return makeLabel(control, parent);
        case ControlKind::Button:
            return new QPushButton(text(control.caption), parent);
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->hide();
            return bar;
        }
        case ControlKind::Lamp: {
            auto* lamp = new Lamp(fromBgr(control.colourBgr), parent);
            lamp->hide();
            return lamp;
        }
        case ControlKind::Frame:
            return new QGroupBox(text(control.caption), parent);
        case ControlKind::TextBox: {
            auto* box = new QLineEdit(text(control.caption), parent);
            box->setReadOnly(control.readOnly);
            return box;
        }
        case ControlKind::ScrollBar:
            return new QScrollBar(Qt::Horizontal, parent);
        case ControlKind::Option:
            return new QRadioButton(text(control.caption), parent);
        case ControlKind::CheckBox:
            return new QCheckBox(text(control.caption), parent);
        case ControlKind::DriveList:
            return new QComboBox(parent);
        case ControlKind::DirectoryList:
            return new QListWidget(parent);
        case ControlKind::Picture:
            return makePicture(programIcon(), false, parent);
        case ControlKind::Image:
            return makePicture(programBanner(), true, parent);
        case ControlKind::Line: {
            auto* line = new QFrame(parent);
            line->setAutoFillBackground(true);
            setColour(*line, QPalette::Window, control.colourBgr);
            return line;
        }
    }
    return new QWidget(parent);
}

}  // namespace

QColor fromBgr(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                  static_cast<int>((bgr >> 16) & 0xFFu));
}

Controls::Controls(const WindowSpec& description, QWidget& window) {
    window.setObjectName(text(description.name));
    if (!description.caption.empty()) {
        window.setWindowTitle(text(description.caption));
    }
    applyJapaneseFont(window);
    window.setFixedSize(
        pixelRect({0, 0, description.clientWidth, description.clientHeight}).size());
    for (const ControlSpec& control : description.controls) {
        QWidget* parent = control.parent.empty() ? &window : controls_.at(control.parent);
        QWidget* widget = makeControl(control, parent);
        widget->setObjectName(text(control.name));
        widget->setGeometry(pixelRect(control.place));
        if (!control.hint.empty()) {
            widget->setToolTip(text(control.hint));
        }
        controls_.emplace(control.name, widget);
    }
    for (std::size_t i = 1; i < description.tabOrder.size(); ++i) {
        QWidget::setTabOrder(controls_.at(description.tabOrder[i - 1]),
                             controls_.at(description.tabOrder[i]));
    }
}

}  // namespace karune::ui
