#include "ui/qt/AboutBox.h"

#include <QLabel>
#include <QPushButton>

#include "ui/core/AboutTexts.h"
#include "ui/qt/Artwork.h"

namespace karune::ui {

AboutBox::AboutBox(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      mainWindow_(mainWindow),
      controls_(aboutBoxSpec(), *this) {
    setWindowIcon(programIcon());
    auto* ok = controls_.get<QPushButton>("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    if (mainWindow_) {
        const QRect outer = mainWindow_->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2,
             outer.top() + (outer.height() - height()) / 2);
    }
    const AboutTexts texts = aboutTexts();
    setWindowTitle(QString::fromStdString(texts.caption));
    controls_.get<QLabel>("lblVersion")->setText(QString::fromStdString(texts.version));
    controls_.get<QLabel>("lblTitle")->setText(QString::fromStdString(texts.title));
    controls_.get<QLabel>("lblCompany")->setText(QString::fromStdString(texts.company));
    ok->setFocus();
}

void AboutBox::done(int result) {
    if (mainWindow_) {
        mainWindow_->show();
    }
    QDialog::done(result);
    deleteLater();
}

}  // namespace karune::ui
