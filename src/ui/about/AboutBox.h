#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace karune::ui {

// The about box: the program's icon, title, version and company above its banner.
//
// It is a window of its own (no parent), shown without modality: while it exists it keeps the
// main window disabled, and closing it by any route (OK, Enter, Esc, close box) enables and shows
// the main window again and deletes the box.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* mainWindow);

    void done(int result) override;

private:
    QPointer<QWidget> mainWindow_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* lblCompany_;
    QPushButton* cmdOK_;
};

}  // namespace karune::ui
