#include "ui/qt/DoubleClickLabel.h"

#include <QMouseEvent>

namespace karune::ui {

DoubleClickLabel::DoubleClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void DoubleClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    emit doubleClicked();
}

}  // namespace karune::ui
