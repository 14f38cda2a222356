#pragma once

#include <QLabel>

namespace karune::ui {

// A label that keeps its double-clicks to itself (they do not reach the window behind it) and
// reports them.
class DoubleClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit DoubleClickLabel(const QString& text, QWidget* parent);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace karune::ui
