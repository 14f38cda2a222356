#pragma once

#include <QDialog>
#include <QPointer>

#include "ui/qt/Controls.h"

namespace karune::ui {

// The about box: the program's icon, title, version and company above its banner.
//
// It is a window of its own (no parent), centred over the main window and shown without modality
// (the main window keeps itself disabled meanwhile); closing it by any route (OK, Enter, Esc,
// close box) shows the main window again and deletes the box.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* mainWindow);

    void done(int result) override;

private:
    QPointer<QWidget> mainWindow_;
    Controls controls_;
};

}  // namespace karune::ui
