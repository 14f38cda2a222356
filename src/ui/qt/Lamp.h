#pragma once

#include <QColor>
#include <QWidget>

namespace karune::ui {

// A filled rounded rectangle in one colour: the idle and running lamps. It takes no mouse input,
// so a double-click on it reaches the window behind.
class Lamp : public QWidget {
    Q_OBJECT
public:
    Lamp(QColor colour, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor colour_;
};

}  // namespace karune::ui
