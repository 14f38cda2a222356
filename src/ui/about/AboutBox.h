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
    static inline const QString kCaptionSuffix = QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報");

    explicit AboutBox(QWidget* mainWindow);

    void done(int result) override;

private:
    QPointer<QWidget> mainWindow_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QLabel* lblCompany_;
    QPushButton* cmdOK_;
};

// "Ver." and the three version numbers as plain decimals: Ver.3.4.0.
QString versionLabel(int major, int minor, int patch);

}  // namespace karune::ui
