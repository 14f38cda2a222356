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

QWidget* makeLabel(const ControlSpec& spec, QWidget* parent) {
    auto* label = new DoubleClickLabel(text(spec.caption), parent);
    label->setTextFormat(Qt::PlainText);
    if (spec.kind == ControlKind::FramedLabel) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    if (spec.align == Align::Centre) {
        label->setAlignment(Qt::AlignCenter);
    }
    if (spec.multiLine) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }
    if (spec.colourBgr != 0) {
        setColour(*label, QPalette::WindowText, spec.colourBgr);
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

QWidget* makeControl(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
        case ControlKind::Label:
        case ControlKind::FramedLabel:
            return makeLabel(spec, parent);
        case ControlKind::Button:
            return new QPushButton(text(spec.caption), parent);
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->hide();
            return bar;
        }
        case ControlKind::Lamp: {
            auto* lamp = new Lamp(fromBgr(spec.colourBgr), parent);
            lamp->hide();
            return lamp;
        }
        case ControlKind::Frame:
            return new QGroupBox(text(spec.caption), parent);
        case ControlKind::TextBox: {
            auto* box = new QLineEdit(text(spec.caption), parent);
            box->setReadOnly(spec.readOnly);
            return box;
        }
        case ControlKind::ScrollBar:
            return new QScrollBar(Qt::Horizontal, parent);
        case ControlKind::Option:
            return new QRadioButton(text(spec.caption), parent);
        case ControlKind::CheckBox:
            return new QCheckBox(text(spec.caption), parent);
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
            setColour(*line, QPalette::Window, spec.colourBgr);
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

Controls::Controls(const WindowSpec& spec, QWidget& window) {
    window.setObjectName(text(spec.name));
    if (!spec.caption.empty()) {
        window.setWindowTitle(text(spec.caption));
    }
    applyJapaneseFont(window);
    window.setFixedSize(pixelRect({0, 0, spec.clientWidth, spec.clientHeight}).size());
    for (const ControlSpec& control : spec.controls) {
        QWidget* parent = control.parent.empty() ? &window : controls_.at(control.parent);
        QWidget* widget = makeControl(control, parent);
        widget->setObjectName(text(control.name));
        widget->setGeometry(pixelRect(control.place));
        if (!control.hint.empty()) {
            widget->setToolTip(text(control.hint));
        }
        controls_.emplace(control.name, widget);
    }
    for (std::size_t i = 1; i < spec.tabOrder.size(); ++i) {
        QWidget::setTabOrder(controls_.at(spec.tabOrder[i - 1]), controls_.at(spec.tabOrder[i]));
    }
}

}  // namespace karune::ui
